#include "platform/controls.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/recording_peer.h"

namespace {

TEST(CheckBox, AChangeOfStateRunsTheHandlerOnceAndNoChangeRunsItNot) {
  for (bool bound : {false, true}) {
    platform::CheckBox box("CheckBox1");
    RecordingPeer peer;
    if (bound) box.Bind(&peer);
    peer.changes.clear();  // what binding handed over
    std::vector<bool> seen;  // the state the handler finds, at each run
    box.on_change = [&] { seen.push_back(box.Checked()); };
    box.SetChecked(false);  // no change
    box.SetChecked(true);
    box.SetChecked(true);   // no change
    box.SetChecked(false);
    EXPECT_EQ(seen, (std::vector<bool>{true, false})) << bound;
    EXPECT_EQ(peer.changes, (bound ? std::vector<std::string>{"checked 1", "checked 0"} : std::vector<std::string>{}));
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

// A window shows what its form holds, and the form keeps what the window
// showed when it goes: each kind's state is handed to the real control at
// binding (a list's items before its choice, a typed drop-down's text after
// its items, which empty it), taken back at unbinding, and handed to the
// control of the next showing.
TEST(Binding, StateGoesToTheControlAndComesBackForTheNextShowing) {
  platform::Edit edit("MACTALK");
  edit.SetText("00E04C");
  edit.SetEnabled(false);
  platform::CheckBox box("CheckBox1");
  box.SetChecked(true);
  int box_runs = 0;
  box.on_change = [&] { ++box_runs; };
  platform::ProgressBar bar("ProgressBar2");
  bar.SetPosition(40);
  bar.SetVisible(false);
  platform::ListBox list("DirectoryListBox1");
  list.SetItems({"C:\\", "Korrin"}, {{0, "open"}, {1, "open"}});
  list.SetItemIndex(1);
  platform::EditComboBox combo("MAC");
  combo.SetItems({"00E04C", "5254AB"});
  combo.SetText("001122");
  const std::string kOn = "enabled 1", kShown = "visible 1";
  struct Case {
    platform::Control& control;
    std::vector<std::string> pushed;              // the real control's changes at binding
    std::function<void(RecordingPeer&)> user;     // what the administrator does in it
    std::function<std::string()> held;            // the state, read from the value object
    std::string first, kept;                      // held before binding, and after the window went
  } cases[] = {
      {edit, {"enabled 0", kShown, "text 00E04C"}, [](RecordingPeer& p) { p.text = "5254AB", p.enabled = true; },
       [&] { return edit.Text() + (edit.Enabled() ? "" : " off"); }, "00E04C off", "5254AB"},
      {box, {kOn, kShown, "checked 1"}, [](RecordingPeer& p) { p.checked = false; },
       [&] { return std::string(box.Checked() ? "checked" : "clear"); }, "checked", "clear"},
      {bar, {kOn, "visible 0", "position 40"}, [](RecordingPeer& p) { p.position = 100, p.visible = true; },
       [&] { return std::to_string(bar.Position()) + (bar.Visible() ? "" : " hidden"); }, "40 hidden", "100"},
      {list, {kOn, kShown, "items", "looks", "index 1"}, [](RecordingPeer& p) { p.index = 0; },
       [&] { return list.Items().at(0) + "|" + list.Items().at(1) + " chosen " + std::to_string(list.ItemIndex()); },
       "C:\\|Korrin chosen 1", "C:\\|Korrin chosen 0"},
      {combo, {kOn, kShown, "items", "text 001122"}, [](RecordingPeer& p) { p.text = "0000B4"; },
       [&] { return combo.Text() + " of " + combo.Items().at(0) + "|" + combo.Items().at(1); },
       "001122 of 00E04C|5254AB", "0000B4 of 00E04C|5254AB"},
  };
  for (Case& c : cases) {
    const std::string& kind = c.control.name();
    RecordingPeer shown;
    c.control.Bind(&shown);
    EXPECT_EQ(shown.changes, c.pushed) << kind;
    EXPECT_EQ(c.held(), c.first) << kind << ": the real control shows what was held";
    c.user(shown);
    c.control.Unbind();
    EXPECT_EQ(c.control.peer(), nullptr) << kind;
    EXPECT_EQ(c.held(), c.kept) << kind << ": kept when the window has gone";
    RecordingPeer again;
    c.control.Bind(&again);
    EXPECT_EQ(c.held(), c.kept) << kind << ": shown again at the next showing";
    c.control.Bind(nullptr);
  }
  EXPECT_EQ(list.Looks(), (std::vector<platform::ItemLook>{{0, "open"}, {1, "open"}}));
  EXPECT_EQ(box_runs, 0) << "binding and unbinding run no change handler";
}

}  // namespace
