// The answer file of an unattended run (Server.exe /run): an INI file in code
// page 936, one section a step, done in the order of the file:
//   [Accounts]          SharedDirectory, UserPrefix, WorkGroup, UserCount,
//                       NamesFile (Yes|No: the empty workstation names file
//                       made when absent, as 编辑信息文件 makes it)
//   [Pdk]               Install (Yes|No: the PDK's installer started, as
//                       安装 PXE starts it, and waited for)
//   [BootImage]         AutoRegistration (Yes|No: the PXE page's 网卡自动注册)
//   [Card]              Type (RTL 8139|RTL 8029|Other), VendorPrefix, Driver
//   [Install]           Profile, DosProfile (Yes|No: the answer to the DOS
//                       profile question)
//   [AutoRegistration]  Profile, On (Yes|No)
//   [Service]           Start (Yes|No)
// A ";" at the start of a line, or after a blank, begins a remark that runs
// to the line's end (after a section's "]" and after a value too); names of
// sections and keys are taken without regard to case; a value may stand in
// double quotes, which keep its blanks and a ";" inside.
#pragma once

#include <string>
#include <vector>

namespace app {

struct AnswerKey {
  std::string name;  // as the table below spells it
  std::string value;
  size_t line = 0;
};

struct AnswerSection {
  std::string name;  // as the table below spells it
  size_t line = 0;
  std::vector<AnswerKey> keys;
  // The key of that name, or nullptr.
  const AnswerKey* Find(const std::string& key) const;
};

struct AnswerFile {
  std::vector<AnswerSection> sections;
};

// The sections and their keys, in the order a saved file gives them.
struct AnswerSectionRule {
  const char* name;
  std::vector<const char*> keys;
};
const std::vector<AnswerSectionRule>& AnswerSectionRules();

// Reads an answer file's bytes. False, with the reason and its line
// ("第 N 行：...") in `error`, for text that is not code page 936 (a zero
// byte among it), a line that
// is neither a section, a key nor a remark, a key outside a section, an
// unknown section or key, or a section or key given twice.
bool ParseAnswerFile(const std::string& bytes, AnswerFile* file, std::string* error);

// The file's lines (UTF-8), sections and keys in the order given.
std::vector<std::string> AnswerFileLines(const AnswerFile& file);
// The file's bytes as saved (code page 936, CR LF); false, with the message
// naming the field, when a value cannot be carried so that the file reads
// back to the same keys and values (a line end, a zero byte, a character
// outside code page 936, quotes that would end it early).
bool AnswerFileBytes(const AnswerFile& file, std::string* bytes, std::string* error);

// The values a yes/no key takes: Yes, 1, True, On; No, 0, False, Off (in
// any case).
bool IsYes(const std::string& value);
bool IsYesOrNo(const std::string& value);

}  // namespace app
