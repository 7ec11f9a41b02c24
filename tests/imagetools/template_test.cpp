// The template boot floppy tree: every file the Windows 98 installation
// copies from it is there, the network start script is the program's own, the
// network card's driver is named alike everywhere (system.dat a registry file
// naming it), and the tree packs onto a 1.44 MB floppy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetools/fat12.h"
#include "imagetools/tree_io.h"
#include "rpl/registry_hive.h"
#include "tests/pxe/startnet_bytes.h"

namespace {

const std::string kTemplate = IMAGE_TEMPLATE_DIR;

std::string Read(const std::string& relative) {
  std::string data, error;
  EXPECT_TRUE(treeio::ReadWholeFile(kTemplate + "/" + relative, 1 << 20, &data, &error)) << error;
  return data;
}

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

TEST(Template, HoldsEveryFileTheInstallationCopies) {
  const char* files[] = {"NDISHLP.SYS",  "NET.EXE",      "NET.MSG",      "PROTMAN.DOS",
                         "PROTMAN.EXE",  "PROTOCOL.INI", "QAUTOLOG.EXE", "QUALCNX.EXE",
                         "QUALREG.EXE",  "RAMDRIVE.SYS", "RTL8139.SYS",  "RTSND.DOS",
                         "SETVARS.BAT",  "SNAPSHOT.EXE", "STARTNET.BAT", "TUNING.BAT",
                         "USERNAME.BAT", "LOGIN.EXE"};
  for (const char* name : files) EXPECT_FALSE(Read(std::string("WINBOOT/") + name).empty()) << name;
}

TEST(Template, StartNetIsTheStandardScript) {
  EXPECT_EQ(Read("WINBOOT/STARTNET.BAT"), kStandard);
}

TEST(Template, TheCardsDriverIsRtsndEverywhere) {
  std::vector<std::string> ini = CrLfLines(Read("WINBOOT/PROTOCOL.INI"));
  std::string section;
  bool driver = false;
  int bindings = 0;
  for (const std::string& line : ini) {
    if (!line.empty() && line[0] == '[') section = line;
    if (section == "[RTSND]" && line == "DRIVERNAME=RTSND$") driver = true;
    if (line == "BINDINGS=RTSND") ++bindings;
  }
  EXPECT_TRUE(driver) << "no DRIVERNAME=RTSND$ in the [RTSND] section";
  EXPECT_GE(bindings, 1) << "nothing is bound to RTSND";
  // system.dat is a registry file in which the installation finds RTSND.
  const std::string system_dat = Read("SYSTEM.DAT");
  std::string edited, why;
  EXPECT_TRUE(rpl::IsRegistryHive(system_dat));
  EXPECT_EQ(rpl::PutDriverNameInRegistry(system_dat, "NE2000", &edited, &why), rpl::DriverNameEdit::kDone)
      << why;
  EXPECT_GE(CrLfLines(Read("WINBOOT/SETVARS.BAT")).size(), 3u);
}

TEST(Template, PacksOntoAFloppy) {
  fat12::Tree tree;
  std::string image, error;
  ASSERT_TRUE(treeio::ReadTree(kTemplate, fat12::kDataCapacity, &tree, &error)) << error;
  EXPECT_TRUE(fat12::Pack(tree, nullptr, &image, &error)) << error;
}

}  // namespace
