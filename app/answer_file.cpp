// The answer file of an unattended run: reading and writing its sections.
#include "app/answer_file.h"

#include "platform/encoding.h"
#include "platform/text.h"

namespace app {
namespace {

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The raw lines: a line ends at CR LF, CR or LF.
std::vector<std::string> RawLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') {
      line += bytes[i];
      continue;
    }
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// A line that reads as UTF-8 with characters of three bytes (Chinese among
// them) was written in UTF-8, not code page 936: code page 936 text almost
// never forms such sequences.
bool LooksLikeUtf8(const std::string& s) {
  bool three = false;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    three = three || n >= 3;
    i += n;
  }
  return three;
}

const AnswerSectionRule* RuleOf(const std::string& name) {
  for (const AnswerSectionRule& rule : AnswerSectionRules())
    if (platform::SameName(rule.name, name)) return &rule;
  return nullptr;
}

std::string AtLine(size_t line, const std::string& what) { return "第 " + std::to_string(line) + " 行：" + what; }

}  // namespace

const std::vector<AnswerSectionRule>& AnswerSectionRules() {
  static const std::vector<AnswerSectionRule> rules = {
      {"Accounts", {"SharedDirectory", "UserPrefix", "WorkGroup", "UserCount", "NamesFile"}},
      {"Pdk", {"Install"}},
      {"BootImage", {"AutoRegistration"}},
      {"Card", {"Type", "VendorPrefix", "Driver"}},
      {"Install", {"Profile", "DosProfile"}},
      {"AutoRegistration", {"Profile", "On"}},
      {"Service", {"Start"}},
  };
  return rules;
}

const AnswerKey* AnswerSection::Find(const std::string& key) const {
  for (const AnswerKey& k : keys)
    if (platform::SameName(k.name, key)) return &k;
  return nullptr;
}

bool ParseAnswerFile(const std::string& bytes, AnswerFile* file, std::string* error) {
  file->sections.clear();
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    *error = AtLine(1, "文件以 UTF-8 的字节顺序标记开头；应答文件必须是 GBK（代码页 936）文本。");
    return false;
  }
  if (bytes.find('\0') != std::string::npos) {
    *error = "文件中有零字节（Unicode 文本？）；应答文件必须是 GBK（代码页 936）文本。";
    return false;
  }
  const std::vector<std::string> lines = RawLines(bytes);
  const AnswerSectionRule* rule = nullptr;
  for (size_t i = 0; i < lines.size(); ++i) {
    const size_t number = i + 1;
    const std::string text = platform::FromCodePage(lines[i]);
    if (!platform::IsCodePageText(text) || LooksLikeUtf8(lines[i])) {
      *error = AtLine(number, "不是 GBK（代码页 936）文本；请用“记事本”另存为 ANSI 编码。");
      return false;
    }
    const std::string line = Trimmed(text);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const std::string name = line.back() == ']' ? Trimmed(line.substr(1, line.size() - 2)) : "";
      rule = RuleOf(name);
      if (line.back() != ']' || !rule) {
        *error = AtLine(number, "未知的节 " + line + "。");
        return false;
      }
      for (const AnswerSection& s : file->sections)
        if (s.name == rule->name) {
          *error = AtLine(number, "节 [" + std::string(rule->name) + "] 已在第 " + std::to_string(s.line) + " 行出现过。");
          return false;
        }
      file->sections.push_back({rule->name, number, {}});
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      *error = AtLine(number, "既不是节也不是“键=值”：" + line);
      return false;
    }
    if (!rule) {
      *error = AtLine(number, "键 " + Trimmed(line.substr(0, equals)) + " 不在任何节中。");
      return false;
    }
    const std::string key = Trimmed(line.substr(0, equals));
    const char* known = nullptr;
    for (const char* k : rule->keys)
      if (platform::SameName(k, key)) known = k;
    if (!known) {
      *error = AtLine(number, "节 [" + std::string(rule->name) + "] 中没有键 " + key + "。");
      return false;
    }
    AnswerSection& section = file->sections.back();
    if (const AnswerKey* before = section.Find(known)) {
      *error = AtLine(number, "键 " + std::string(known) + " 已在第 " + std::to_string(before->line) + " 行给出。");
      return false;
    }
    std::string value = Trimmed(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    section.keys.push_back({known, value, number});
  }
  return true;
}

std::vector<std::string> AnswerFileLines(const AnswerFile& file) {
  std::vector<std::string> lines;
  for (const AnswerSection& section : file.sections) {
    if (!lines.empty()) lines.push_back("");
    lines.push_back("[" + section.name + "]");
    for (const AnswerKey& key : section.keys) {
      // Spaces at either end, or a quote at the start, would be lost when
      // read: such a value stands in quotes.
      const bool quoted = key.value != Trimmed(key.value) || (!key.value.empty() && key.value[0] == '"');
      lines.push_back(key.name + "=" + (quoted ? "\"" + key.value + "\"" : key.value));
    }
  }
  return lines;
}

bool IsYes(const std::string& value) {
  for (const char* yes : {"Yes", "1", "True", "On"})
    if (platform::SameName(value, yes)) return true;
  return false;
}

bool IsYesOrNo(const std::string& value) {
  for (const char* no : {"No", "0", "False", "Off"})
    if (platform::SameName(value, no)) return true;
  return IsYes(value);
}

}  // namespace app
