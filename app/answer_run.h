// The unattended run: "Server.exe /run ANSWERS [/log FILE]" does the steps of
// an answer file (answer_file.h), in the file's order, through the main
// window's own handlers, with no window shown. Every question the handlers
// ask is answered from the file; one it does not answer stops the run with a
// message naming the key to add. Every message goes to the log, with the
// files, folders and programs each step changed or started.
#pragma once

#include <string>
#include <vector>

#include "app/answer_file.h"
#include "platform/platform.h"

namespace app {

class TForm1;

// The exit status of a run.
enum RunStatus { kRunDone = 0, kRunStopped = 1, kRunBadFile = 2 };

// Runs the answer file on a main window made for the run; the log's lines
// (UTF-8) are appended to `log`.
// Each step is a step of the journal, a session whose heading names `source`.
RunStatus RunAnswers(platform::Host& host, const AnswerFile& answers, std::vector<std::string>* log,
                     const std::string& source = "");

// The dry run: every step's plans, in the file's order, into the log, with
// nothing changed and nothing pressed. A step after one that would change
// the server is planned on the server as it is now, and says so.
RunStatus PlanAnswers(platform::Host& host, const AnswerFile& answers, std::vector<std::string>* log);

// The command line ("/run ANSWERS [/plan] [/log LOG]"): -1 when the words are not "/run ...", else the status.
// The log is written, in code page 936, into the /log file when one is
// given: its first line before anything is done, then whole at the end. A
// log that names the answer file (as Windows takes a path) or holds its
// bytes, or that cannot be written at the start, makes the status 2 with
// nothing done; one that cannot be written at the end makes it 2 too.
int RunCommand(platform::Host& host, const std::vector<std::string>& words);

// The answer file that reproduces what the main window's fields hold now,
// with what this server has of each road (read from `host`, changing nothing).
AnswerFile AnswersOf(platform::Host& host, const TForm1& form);

}  // namespace app
