// The undo: a session, or one of its steps, taken back, newest change
// first, after a check that everything it gives back or deletes is still as
// the session left it; in the window (撤销) and on the command line (/undo).
#pragma once

#include <string>
#include <vector>

#include "app/journal.h"
#include "base/plan.h"
#include "platform/journal_host.h"
#include "platform/platform.h"

namespace app {

// An undo, planned: its plan (the refusal, or every change in order) and
// what carrying it out needs.
struct Undo {
  plan::Plan plan;
  JournalSession session;  // what is taken back: the session, and its step (-1: all)
  std::string root;
  int step = -1;
  std::string title;  // "撤销 SESSION" or "撤销 SESSION 的第 N 步（NAME）"
  struct Command {
    std::string command, input;  // input: the kept file fed to it, "" for none
    // After the last command of a record: the record line of the undo's own
    // journal, the other way round: the files that add and take back, and
    // the program they are fed to ("" when each line is a command).
    bool inverse = false, added_back = false;
    std::string made, taken, program;
  };
  std::vector<Command> first, last;  // records taken away before the files, added back after them
  std::vector<std::string> make;     // folders to make, the outer first
  struct Restore {
    std::string path, kept;
    unsigned attributes = 0;
  };
  std::vector<Restore> restore;
  std::vector<std::string> remove;  // files to delete
  std::vector<std::string> folders;  // folders to remove when empty, the inner first
  std::vector<std::string> kept;     // folders made that hold other files: they stay
};
// `step` from 0 in the session's order, or -1 for the whole session. Reads only.
Undo PlanUndo(platform::Host& host, const std::string& root, const JournalSession& session, int step);
// Carries out the plan as a step of `journal`; a whole session a step at a
// time, newest first. False at the first failure, with the message in
// `said` (which also says which folders stayed).
bool ApplyUndo(platform::JournalHost& journal, const Undo& undo, std::string* said);

// "/undo [SESSION [/plan]] [/log LOG]": -1 when the words are not "/undo
// ...". With no session, lists the sessions; with one, takes it back, or
// with /plan only says what taking it back would do. 0 done, 1 the
// undo refused or stopped, 2 a wrong command line, an unknown session or a
// log that cannot be written. The lines said go into `printed` and the log.
int UndoCommand(platform::Host& host, const std::vector<std::string>& words, std::vector<std::string>* printed);

}  // namespace app
