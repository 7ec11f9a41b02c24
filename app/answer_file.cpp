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

// Where a remark begins in a key's text: at a ";" after a blank.
size_t RemarkAt(const std::string& text) {
  for (size_t i = 1; i < text.size(); ++i)
    if (text[i] == ';' && (text[i - 1] == ' ' || text[i - 1] == '\t')) return i;
  return std::string::npos;
}

// The value of the text after a key's "=": in double quotes, up to the
// first closing quote followed by nothing but blanks or a remark; else up
// to a remark, without the blanks at either end.
std::string ValueOf(const std::string& text) {
  const std::string value = Trimmed(text);
  if (!value.empty() && value[0] == '"')
    for (size_t close = value.find('"', 1); close != std::string::npos; close = value.find('"', close + 1)) {
      const std::string after = Trimmed(value.substr(close + 1));
      if (after.empty() || after[0] == ';') return value.substr(1, close - 1);
    }
  return Trimmed(text.substr(0, RemarkAt(text)));
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
  const std::vector<std::string> lines = RawLines(bytes);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find('\0') != std::string::npos) {
      *error = AtLine(i + 1, "有零字节（Unicode 文本？）；应答文件必须是 GBK（代码页 936）文本。");
      return false;
    }
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
      // "[Name]", then at most blanks and a remark.
      const size_t close = line.find(']');
      const std::string after = close == std::string::npos ? "" : Trimmed(line.substr(close + 1));
      const bool whole = close != std::string::npos && (after.empty() || after[0] == ';');
      rule = whole ? RuleOf(Trimmed(line.substr(1, close - 1))) : nullptr;
      if (!rule) {
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
    section.keys.push_back({known, ValueOf(line.substr(equals + 1)), number});
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
      // So would a remark's ";" after a blank.
      const bool quoted = key.value != Trimmed(key.value) || (!key.value.empty() && key.value[0] == '"') ||
                          RemarkAt(key.value) != std::string::npos;
      lines.push_back(key.name + "=" + (quoted ? "\"" + key.value + "\"" : key.value));
    }
  }
  return lines;
}

bool AnswerFileBytes(const AnswerFile& file, std::string* bytes, std::string* error) {
  // The window's field each key comes from, for the message.
  static const std::pair<const char*, const char*> kFields[] = {
      {"SharedDirectory", "共享目录"}, {"UserPrefix", "用户前辍"}, {"WorkGroup", "工作组名"},
      {"UserCount", "用户数目"},       {"Type", "网卡类型"},       {"VendorPrefix", "厂商前缀"},
      {"Driver", "网卡驱动程序"},      {"Profile", "RPL配置名"},
  };
  auto refuse = [&](const AnswerSection& section, const AnswerKey& key, const std::string& why) {
    std::string field = section.name + " " + key.name;
    for (const auto& f : kFields)
      if (key.name == f.first) field = f.second;
    *error = "“" + field + "”" + why + "：应答文件无法照样保存它，没有写入任何文件。请改正这一栏后再保存。";
    return false;
  };
  const std::vector<std::string> lines = AnswerFileLines(file);
  bytes->clear();
  for (const std::string& line : lines) {
    std::string encoded;
    if (!platform::StrictUtf8ToCodePage(line, &encoded)) encoded.clear();
    *bytes += encoded + "\r\n";
  }
  // What the file reads back as must be what was saved, key for key.
  AnswerFile back;
  std::string unread;
  const bool read = ParseAnswerFile(*bytes, &back, &unread);
  for (const AnswerSection& section : file.sections)
    for (const AnswerKey& key : section.keys) {
      const std::string& v = key.value;
      if (v.find_first_of("\r\n") != std::string::npos) return refuse(section, key, "中有回车或换行");
      if (v.find('\0') != std::string::npos) return refuse(section, key, "中有零字节");
      std::string encoded;
      if (!platform::StrictUtf8ToCodePage(v, &encoded) || !platform::IsCodePageText(v))
        return refuse(section, key, "中有 GBK（代码页 936）之外的字符");
      const AnswerSection* again = nullptr;
      for (const AnswerSection& s : back.sections)
        if (s.name == section.name) again = &s;
      const AnswerKey* k = read && again ? again->Find(key.name) : nullptr;
      if (k && k->value != v) return refuse(section, key, "中的双引号会让它读回来成为“" + k->value + "”");
      if (!k) {
        // The file would not read: the key whose line alone does not.
        std::string line_bytes, alone_error;
        AnswerFile alone;
        alone.sections.push_back({section.name, 0, {key}});
        platform::StrictUtf8ToCodePage(AnswerFileLines(alone).back(), &line_bytes);
        if (!ParseAnswerFile("[" + section.name + "]\r\n" + line_bytes + "\r\n", &alone, &alone_error))
          return refuse(section, key, "写进文件后读不回来（" + alone_error + "）");
      }
    }
  if (!read) {
    *error = unread + "应答文件没有保存。";
    return false;
  }
  return true;
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
