#include "rpl/service.h"

#include "tests/recording_peer.h"
#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

// A bar whose every move goes into the journal, between the pauses.
class JournalBar : public RecordingPeer {
 public:
  explicit JournalBar(platform::SimHost& host) : host_(host) {}
  void SetPosition(int p) override {
    RecordingPeer::SetPosition(p);
    host_.Record({"position", "", "", static_cast<unsigned>(p)});
  }

 private:
  platform::SimHost& host_;
};

// The service is started by the system's net start, hidden, as often as asked, the bar
// following the clock; its manager is started shown, without any test.
TEST_F(RplSession, TheServiceRunsNetStartHiddenWithTheBarByTheClockAndTheManagerRunsShown) {
  JournalBar bar(host);
  form->ProgressBar2.Bind(&bar);
  journal().clear();  // binding shows the bar at 0
  std::vector<SimEvent> once = {{"run", "C:\\WINNT\\system32\\net.exe start 远程启动服务", "", platform::kHide}};
  for (unsigned p : {20u, 40u, 60u, 80u, 100u, 0u}) {
    once.push_back({"pause", "", "", 600});
    once.push_back({"position", "", "", p});
  }
  form->BitBtn6Click();
  form->BitBtn6Click();
  form->SpeedButton7Click();
  std::vector<SimEvent> expected = once;
  expected.insert(expected.end(), once.begin(), once.end());
  expected.push_back({"run", "C:\\WINNT\\system32\\rplmgr.exe", "", platform::kShowNormal});
  // The bar ends at 0: its position is its last move, which the journal holds.
  EXPECT_EQ(journal(), expected);
}

}  // namespace
