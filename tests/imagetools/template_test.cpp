// The template boot floppy tree: the network start script is the program's
// own, and the network card's driver is named alike in protocol.ini. (That
// system.dat is what make_system_dat writes, naming the same driver, is
// system_dat_test.sh's; that the installation edits such a file, the tests of
// rpl/registry_hive.h.) That it holds every file the installation copies is
// seen by each installation from it (the server check's demo roads, the
// simulated administrator); that it packs, by the build of bootimg.w98.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetools/tree_io.h"
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
  EXPECT_GE(CrLfLines(Read("WINBOOT/SETVARS.BAT")).size(), 3u);
}

}  // namespace
