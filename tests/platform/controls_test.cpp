#include "platform/controls.h"

#include <gtest/gtest.h>

#include "tests/recording_peer.h"

namespace {

TEST(CheckBox, AChangeOfStateRunsTheHandlerOnceAndNoChangeRunsItNot) {
  for (bool bound : {false, true}) {
    platform::CheckBox box("CheckBox1");
    RecordingPeer peer;
    if (bound) box.Bind(&peer);
    std::vector<bool> seen;  // the state the handler finds, at each run
    box.on_change = [&] { seen.push_back(box.Checked()); };
    box.SetChecked(false);  // no change
    box.SetChecked(true);
    box.SetChecked(true);   // no change
    box.SetChecked(false);
    EXPECT_EQ(seen, (std::vector<bool>{true, false})) << bound;
    if (bound) EXPECT_EQ(peer.changes, (std::vector<std::string>{"checked 1", "checked 0"}));
  }
}

TEST(CheckBox, AHandlerThatClearsTheBoxRunsOnceMoreAndStops) {
  platform::CheckBox box("CheckBox1");
  int runs = 0;
  box.on_change = [&] {
    ++runs;
    if (box.Checked()) box.SetChecked(false);  // a refusal
  };
  box.SetChecked(true);
  EXPECT_EQ(runs, 2);
  EXPECT_FALSE(box.Checked());
}

}  // namespace
