// The two network start scripts, byte for byte.
#include "pxe/startnet.h"

#include "platform/textfile.h"
#include "pxe/wait_dialog.h"
#include "tests/pxe/startnet_bytes.h"
#include "tests/sim_session.h"

namespace {

using pxe::StartNetVariant;

using StartNet = SimSession;

TEST_F(StartNet, EachVariantIsWrittenByteForByteOverAnyOldContent) {
  struct Case {
    StartNetVariant variant;
    const char* bytes;
    size_t lines;
  } cases[] = {{StartNetVariant::AutoRegister, kAutoRegister, 28},
               {StartNetVariant::Standard, kStandard, 23}};
  for (const Case& c : cases) {
    for (const std::string& old : {std::string(), std::string("x\r\n"), std::string(5000, 'y')}) {
      Put("C:\\w\\startnet.bat", old);
      pxe::WriteStartNet(host, "C:\\w\\startnet.bat", c.variant);
      EXPECT_EQ(Get("C:\\w\\startnet.bat"), c.bytes);
    }
    EXPECT_EQ(pxe::StartNetLines(c.variant).size(), c.lines);
  }
}

TEST_F(StartNet, TheOtherVariantReplacesTheWholeFile) {
  MakeDirs("C:\\w");
  pxe::WriteStartNet(host, "C:\\w\\startnet.bat", StartNetVariant::AutoRegister);
  pxe::WriteStartNet(host, "C:\\w\\startnet.bat", StartNetVariant::Standard);
  EXPECT_EQ(Get("C:\\w\\startnet.bat"), kStandard);
}

TEST(WaitDialog, CountsDownFiveSecondsAndClosesOnTheSixthTick) {
  struct Tick {
    std::string label;
    int bar;
    bool closed;
  } ticks[] = {{"4", 20, false}, {"3", 40, false}, {"2", 60, false},
               {"1", 80, false}, {"0", 100, false}, {"-1", 120, true}};
  pxe::TForm2 dialog;
  int closes = 0;
  dialog.on_close = [&] { ++closes; };
  EXPECT_EQ(dialog.Label2.Text(), "5");
  EXPECT_EQ(dialog.ProgressBar1.Position(), 0);
  for (const Tick& t : ticks) {
    dialog.Timer2Timer();
    EXPECT_EQ(dialog.Label2.Text(), t.label);
    EXPECT_EQ(dialog.ProgressBar1.Position(), t.bar);
    EXPECT_EQ(dialog.Closed(), t.closed);
  }
  EXPECT_EQ(closes, 1);
}

}  // namespace
