// The undo window: its look, its list and its button.
#include "app/undo_window.h"


namespace app {
namespace {

const std::vector<look::ControlLayout> kControls = {
    // name, id, kind, parent, left, top, width, height, text, hint, tab, enabled, visible, font, picture
    {"ListBox1", 701, look::Kind::kListBox, "", 8, 8, 524, 180, "", "", 0, true, true, nullptr, ""},
    {"Memo1", 702, look::Kind::kMemo, "", 8, 196, 524, 180, "", "", 1, true, true, nullptr, ""},
    {"Button1", 703, look::Kind::kButton, "", 324, 386, 100, 26, "撤销(&U)", "", 2, false, true, nullptr, ""},
    // The close button is the window's cancel command, as Esc is.
    {"Button2", 2, look::Kind::kButton, "", 432, 386, 100, 26, "关闭", "", 3, true, true, nullptr, ""},
};

const look::WindowLayout kUndoForm = {"UndoForm", "撤销", 160, 80, 540, 420, &look::kSansSerif13, &kControls, nullptr};

}  // namespace

TUndoForm::TUndoForm(platform::Host& host, platform::Ui& ui, const std::string& root, platform::JournalHost* journal)
    : host_(host), ui_(ui), root_(root), journal_(journal) {
  look::SetFirstStates(kUndoForm, Controls());
  ListBox1.on_change = [this] { ListBox1Change(); };
  Button1.on_click = [this] { Button1Click(); };
  Fill();
}

const look::WindowLayout& TUndoForm::Layout() { return kUndoForm; }

void TUndoForm::Fill() {
  sessions_ = ReadJournal(host_, root_);
  std::vector<std::string> items;
  lines_.clear();
  for (size_t s = 0; s < sessions_.size(); ++s) {
    // "会话 YYYYMMDD-HHMMSS KIND" shown with its date and time, and its steps counted.
    std::string heading = sessions_[s].heading;
    const std::string& n = sessions_[s].name;
    if (n.size() >= 15 && n[8] == '-' && heading.compare(0, 7 + n.size(), "会话 " + n) == 0)
      heading = "会话 " + n.substr(0, 4) + "-" + n.substr(4, 2) + "-" + n.substr(6, 2) + " " + n.substr(9, 2) + ":" +
                n.substr(11, 2) + ":" + n.substr(13, 2) + n.substr(15) + heading.substr(7 + n.size());
    items.push_back(heading + "（" + std::to_string(sessions_[s].steps.size()) + " 步）");
    lines_.push_back({s, -1});
    for (size_t i = sessions_[s].steps.size(); i-- > 0;) {
      items.push_back("    第 " + std::to_string(i + 1) + " 步：" + sessions_[s].steps[i].name);
      lines_.push_back({s, static_cast<int>(i)});
    }
  }
  ListBox1.SetItems(items);
  Memo1.SetText(sessions_.empty() ? "操作记录中没有会话：本程序还没有改动过这台服务器。"
                                  : "选择要撤销的会话，或会话中的某个步骤：这里列出撤销时要做的改动。");
  Button1.SetEnabled(false);
}

bool TUndoForm::Chosen(size_t* session, int* step) const {
  const int i = ListBox1.ItemIndex();
  if (i < 0 || static_cast<size_t>(i) >= lines_.size()) return false;
  *session = lines_[static_cast<size_t>(i)].first;
  *step = lines_[static_cast<size_t>(i)].second;
  return true;
}

void TUndoForm::ListBox1Change() {
  size_t session = 0;
  int step = -1;
  if (!Chosen(&session, &step)) return;
  const Undo undo = PlanUndo(host_, root_, sessions_[session], step);
  std::vector<std::string> text = {undo.title + "："};
  for (const std::string& line : plan::Describe(undo.plan)) text.push_back(line);
  if (!undo.plan.Refused() && undo.plan.changes.empty()) text.push_back("没有要撤销的改动。");
  for (const std::string& f : undo.kept) text.push_back("保留目录 " + f + "（里面还有别的文件）");
  std::string shown;
  for (const std::string& line : text) shown += line + "\r\n";
  Memo1.SetText(shown);
  Button1.SetEnabled(!undo.plan.Refused() && !undo.plan.changes.empty());
}

void TUndoForm::Button1Click() {
  size_t session = 0;
  int step = -1;
  if (!Chosen(&session, &step)) return;
  const Undo undo = PlanUndo(host_, root_, sessions_[session], step);
  if (undo.plan.Refused() || undo.plan.changes.empty()) {
    ui_.MessageBox(undo.plan.Refused() ? undo.plan.message : undo.title + "：没有要撤销的改动。", "撤销",
                   undo.plan.Refused() ? undo.plan.flags : platform::kMbIconInformation);
    return ListBox1Change();
  }
  if (ui_.MessageBox(undo.title + "？\r\n改动按从新到旧的顺序撤销，文件恢复成原来的样子。", "撤销",
                     platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefButton2) != platform::kIdYes)
    return;
  // The undo is a step of the window's session, so that the session's steps
  // stay in the order they were taken, and it can be taken back too.
  platform::JournalHost own(host_, root_, "撤销 " + sessions_[session].name);
  std::string said;
  const bool done = ApplyUndo(journal_ ? *journal_ : own, undo, &said);
  ui_.MessageBox(said, "撤销", done ? platform::kMbIconInformation : platform::kMbIconExclamation);
  Fill();
}

}  // namespace app
