// The two network start scripts, byte for byte.
#include "pxe/startnet.h"

#include "platform/textfile.h"
#include "pxe/wait_dialog.h"
#include "tests/pxe/startnet_bytes.h"
#include "tests/sim_session.h"

namespace {

using pxe::StartNetVariant;

using StartNet = SimSession;

// Each variant is written byte for byte over any old content: none, shorter,
// longer, and the other variant.
TEST_F(StartNet, EachVariantIsWrittenByteForByteOverAnyOldContent) {
  const struct {
    StartNetVariant variant;
    const char* bytes;
    const char* other;
  } cases[] = {{StartNetVariant::AutoRegister, kAutoRegister, kStandard},
               {StartNetVariant::Standard, kStandard, kAutoRegister}};
  for (const auto& c : cases) {
    for (const std::string& old : {std::string(), std::string("x\r\n"), std::string(5000, 'y'), std::string(c.other)}) {
      Put("C:\\w\\startnet.bat", old);
      pxe::WriteStartNet(host, "C:\\w\\startnet.bat", c.variant);
      EXPECT_EQ(Get("C:\\w\\startnet.bat"), c.bytes);
    }
  }
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
