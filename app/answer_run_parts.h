// Inside the unattended run: what the run (answer_run.cpp) and its plans (answer_plans.cpp) share.
#pragma once

#include <string>
#include <vector>

#include "app/answer_file.h"
#include "base/plan.h"
#include "platform/platform.h"

namespace app {

class TForm1;

namespace unattended {

// The card list's item for the file's Type; "" for a type the list lacks.
std::string CardItem(const std::string& type);

// The value of a section's key; "" when the section lacks it.
std::string Value(const AnswerSection& s, const char* key);

// Every key the steps need, and their values, before anything is done: the
// status that stops the run, or -1 when the file may run.
int Judge(const AnswerFile& answers, std::vector<std::string>* log);

// A refusal known before anything is done: the first plan that refuses
// while no step before it would change the server, which then cannot mend
// it. False when there is none.
bool ForeseenRefusal(platform::Host& host, const AnswerFile& answers, std::string* why);

// The plans of a step, planned on a window holding what the run's window
// holds: the folders and files its programs may change are watched, and
// kept in the journal. Only the plans' own listings are asked; nothing is
// recorded.
std::vector<plan::Plan> SectionPlans(platform::Host& host, const TForm1& run_form, const AnswerSection& s);

}  // namespace unattended
}  // namespace app
