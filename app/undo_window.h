// The undo window: the sessions of the journal and their steps, newest
// first; the undo of the one chosen, as it would be done, below them; and
// the button that does it, after asking. It opens from the menu "系统" and
// closes by its close button, its close box or Esc.
#pragma once

#include <string>
#include <vector>

#include "app/undo.h"
#include "look/layout.h"
#include "platform/controls.h"
#include "platform/platform.h"

namespace app {

class TUndoForm : public platform::ModalWindow {
 public:
  // `host`: the machine itself; each undo is a step of the window's session
  // `journal` (a session of its own without one) in the journal below `root`.
  TUndoForm(platform::Host& host, platform::Ui& ui, const std::string& root, platform::JournalHost* journal);
  const char* Kind() const override { return "TUndoForm"; }
  static const look::WindowLayout& Layout();

  void ListBox1Change();  // a session or a step chosen: its undo planned and shown
  void Button1Click();    // the undo chosen, after asking, then the list again
  std::vector<platform::Control*> Controls() { return {&ListBox1, &Memo1, &Button1}; }

  platform::ListBox ListBox1{"ListBox1"};
  platform::Edit Memo1{"Memo1"};
  platform::Button Button1{"Button1"};

 private:
  void Fill();
  // The session and step (-1: the whole session) of the chosen line.
  bool Chosen(size_t* session, int* step) const;

  platform::Host& host_;
  platform::Ui& ui_;
  std::string root_;
  platform::JournalHost* journal_;
  std::vector<JournalSession> sessions_;
  std::vector<std::pair<size_t, int>> lines_;  // each list line's session and step
};

}  // namespace app
