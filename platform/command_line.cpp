#include "platform/command_line.h"

namespace platform {

std::vector<std::string> SplitCommandLine(const std::string& command_line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : command_line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

std::string ArgumentsText(const std::string& command_line) {
  size_t i = 0;
  while (i < command_line.size() && (command_line[i] == ' ' || command_line[i] == '\t')) ++i;
  if (i < command_line.size() && command_line[i] == '"') {
    size_t close = command_line.find('"', i + 1);
    i = close == std::string::npos ? command_line.size() : close + 1;
  }
  while (i < command_line.size() && command_line[i] != ' ' && command_line[i] != '\t') ++i;
  return command_line.substr(i);
}

std::string QuotedIfBlank(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

std::string ProgramFileName(const std::string& command_line) {
  const std::vector<std::string> words = SplitCommandLine(command_line);
  if (words.empty()) return "";
  const size_t cut = words[0].find_last_of("\\/");
  return cut == std::string::npos ? words[0] : words[0].substr(cut + 1);
}

}  // namespace platform
