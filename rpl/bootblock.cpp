#include "rpl/bootblock.h"

#include <algorithm>
#include <vector>

#include "base/paths.h"
#include "platform/textfile.h"
#include "rpl/registry_hive.h"
#include "rpl/tree.h"

namespace rpl {

std::string ReplaceFirst(const std::string& line, const std::string& token, const std::string& name) {
  size_t at = line.find(token);
  if (at == std::string::npos) return line;
  return line.substr(0, at) + name + line.substr(at + token.size());
}

std::vector<std::string> RplScriptLines(const std::string& driver, const std::string& vendor,
                                        const std::string& dos_comment, const std::string& windows_comment,
                                        const std::string& vendor_comment) {
  const std::string& d = driver;
  const std::string& v = vendor;
  return {
      // The vendor.
      "V", "A", v, vendor_comment,
      // The DOS boot block and its configuration.
      "B", "A", v + "DOS", v, "BBLOCK\\NETBEUI\\" + d + "\\DOSBB.CNF", "START" + v + "DOS", "0",
      "C", "A", "DOS" + v, v + "DOS", kDosConfiguration.directory, kDosConfiguration.directory2,
      kDosConfiguration.fit_shared, kDosConfiguration.fit_personal, dos_comment, "", "",
      // The Windows boot block and its configuration.
      "B", "A", v + "WIN", v, "BBLOCK\\NETBEUI\\" + d + "\\W95BB.CNF", "START" + d + "WIN", "0",
      "C", "A", "WIN" + v, v + "WIN", kWindowsConfiguration.directory, kWindowsConfiguration.directory2,
      kWindowsConfiguration.fit_shared, kWindowsConfiguration.fit_personal, windows_comment, "", "",
      // The end of the input.
      "q"};
}

const char* const kBootBlockFiles[3] = {"dosbb.cnf", "w95bb.cnf", "protocol.ini"};

std::vector<std::string> BootBlockFileNames() { return {kBootBlockFiles, kBootBlockFiles + 3}; }

bool MakeBootBlockFiles(platform::Host& host, platform::Ui& ui, const std::string& driver,
                        std::string* failed, const std::vector<std::string>& files) {
  static const char* const kTokens[3] = {"NE2000", "NE2000", "ms2000"};
  const std::string root = host.WindowsDirectory();
  failed->clear();
  // 1. Every template needed is read before any output is written. One that
  // is missing, or there but unreadable (locked, a folder in its place), is
  // reported alike.
  std::vector<std::string> lines[3];
  bool present[3];
  for (int i = 0; i < 3; ++i) {
    present[i] = false;
    if (std::find(files.begin(), files.end(), kBootBlockFiles[i]) == files.end()) continue;
    const std::string from = paths::BootBlockTemplate(root, kBootBlockFiles[i]);
    present[i] = host.FileExists(from) && platform::ReadTextLines(host, from, &lines[i]);
    if (present[i]) continue;
    ui.ShowMessage("远程启动可能没有正确安装!");
    if (failed->empty()) *failed = from;
  }
  // 2. Each template read gives its file, line by line, the first token of a
  // line replaced, beside the card's file: the card's own file is not
  // touched here.
  for (int i = 0; i < 3; ++i) {
    if (!present[i]) continue;
    for (std::string& line : lines[i]) line = ReplaceFirst(line, kTokens[i], driver);
    const std::string to = paths::BootBlockFile(root, driver, kBootBlockFiles[i]) + ".new";
    if (!host.WriteFile(to, platform::JoinLines(lines[i])) && failed->empty()) *failed = to;
  }
  return failed->empty();
}

}  // namespace rpl
