// The journal of the sessions as the window and the unattended run keep it
// (platform/journal_host.h): each step begun with its buttons' plans and
// ended with what its programs added, and the sessions read back.
#pragma once

#include <string>
#include <vector>

#include "accounts/accounts_made.h"
#include "base/plan.h"
#include "platform/journal_host.h"
#include "platform/platform.h"

namespace app {

// What a step must know before it runs, to say afterwards what its
// programs added: the accounts there before the account script runs, and
// whether the Remoteboot service ran before it is started.
struct StepBefore {
  bool accounts = false;
  accounts::Listed listed;
  bool service = false, service_ran = false;
  // Why net could not tell beforehand, when it could not: the step goes on,
  // and its journal says what it does not know.
  std::string unasked;
};

// A step begins, with the plans of the buttons it presses: the places
// their programs may change are kept. False, with why, when the journal
// cannot be written: the step must then do nothing. What net cannot tell
// beforehand (the accounts there, the services started) is written as not
// known, and an undo of the step is refused.
bool BeginJournalStep(platform::JournalHost& journal, const std::string& name, const std::vector<plan::Plan>& plans,
                      const std::string& group, StepBefore* before, std::string* why);
// The step ends: the records its programs added are noted (the account
// script's accounts, rplcmd's records, the service started), each with how
// to take it back, and the journal is written.
void EndJournalStep(platform::JournalHost& journal, const StepBefore& before);

// A session as its journal.txt holds it.
struct JournalStep {
  std::string name;
  std::vector<std::string> lines;
};
struct JournalSession {
  std::string name;     // its folder's name, YYYYMMDD-HHMMSS
  std::string heading;  // the journal's first line
  std::vector<JournalStep> steps;
};
// The sessions below `root`, newest first; a folder without a readable
// journal is left out.
std::vector<JournalSession> ReadJournal(platform::Host& host, const std::string& root);

}  // namespace app
