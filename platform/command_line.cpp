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

}  // namespace platform
