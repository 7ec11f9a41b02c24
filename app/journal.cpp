// The journal of the sessions: a step begun and ended, what its programs
// added, and the sessions read back.
#include "app/journal.h"

#include <algorithm>
#include <map>

#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/encoding.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "rpl/records.h"

namespace app {

bool BeginJournalStep(platform::JournalHost& journal, const std::string& name, const std::vector<plan::Plan>& plans,
                      const std::string& group, StepBefore* before, std::string* why) {
  std::vector<std::string> places;
  const std::string windows = journal.WindowsDirectory();
  for (const plan::Plan& p : plans) {
    if (p.Refused()) continue;
    for (const plan::Change& c : p.changes) {
      if (c.kind != plan::Change::kProgram) continue;
      // The Remoteboot database is the service's, held open while it runs:
      // what rplcmd adds is taken back through rplcmd, not by its bytes. A
      // window the administrator works in changes its places after the
      // step: a file the step made and the administrator then edited is
      // found changed, and not taken back.
      if (!c.shown && !platform::SameName(platform::ProgramFileName(c.path), "rplcmd.exe")) {
        const std::vector<std::string> more = plan::PlacesOf(c);
        places.insert(places.end(), more.begin(), more.end());
      }
      if (c.path == paths::AccountScriptCommand(windows)) before->accounts = true;
      if (c.path == paths::RemotebootStart(windows)) before->service = true;
    }
  }
  // What is there before the programs run, asked of the programs
  // themselves: what they then add is the step's to take back.
  // Without them the journal cannot tell what the programs add: the step
  // goes on, and its journal says so.
  if (before->accounts && !accounts::ListAccounts(journal, group, &before->listed, &before->unasked))
    before->accounts = false;
  if (before->service && !accounts::NetRecordThere(journal, paths::RemotebootStart(windows), &before->service_ran)) {
    before->service = false;
    before->unasked = "net start 没有列出运行的服务";
  }
  return journal.BeginStep(name, places, why);
}

void EndJournalStep(platform::JournalHost& journal, const StepBefore& before) {
  const std::string windows = journal.WindowsDirectory();
  for (platform::JournalHost::Started& p : journal.StepPrograms()) {
    std::vector<std::string> made, taken;  // the lines that add, the lines that take back
    std::string program;                   // the program both are fed to, "" when each line is a command
    const std::vector<std::string> input = platform::SplitLines(platform::FromCodePage(p.input));
    if (before.accounts && p.command_line == paths::AccountScriptCommand(windows)) {
      for (const auto& line : accounts::AddedByScript(input, before.listed, paths::NetProgram(windows))) {
        made.push_back(line.first);
        if (!line.second.empty()) taken.insert(taken.begin(), line.second);
      }
    } else if (platform::SameName(platform::ProgramFileName(p.command_line), "rplcmd.exe") && p.finished && p.exit_code == 0) {
      std::vector<rpl::Record> records;
      if (rpl::AddedRecords(input, &records) && !records.empty()) {
        made = input;
        taken = rpl::DeletionScript(records);
        program = p.command_line;
      }
    } else if (before.service && !before.service_ran && p.command_line == paths::RemotebootStart(windows)) {
      made = {p.command_line};
      taken = {paths::RemotebootStop(windows)};
    }
    const bool script = p.command_line == paths::AccountScriptCommand(windows);
    if (!before.unasked.empty() && (script || p.command_line == paths::RemotebootStart(windows)) && made.empty() &&
        !(script ? before.accounts : before.service))
      p.records.push_back("未保留记录 " + p.command_line + " 添加的记录（" + before.unasked + "）");
    if (made.empty()) continue;
    const std::string made_file = journal.Keep(platform::JoinLines(made)),
                      taken_file = journal.Keep(platform::JoinLines(taken));
    p.records.push_back(made_file.empty() || taken_file.empty()
                            ? "未保留记录 " + p.command_line + " 添加的记录"
                            : "记录 新增 " + made_file + " " + taken_file + (program.empty() ? "" : " " + program));
  }
  journal.EndStep();
}

std::vector<JournalSession> ReadJournal(platform::Host& host, const std::string& root) {
  std::vector<JournalSession> sessions;
  std::vector<platform::DirEntry> entries;
  if (!host.ListDirectory(root, &entries)) return sessions;
  for (const platform::DirEntry& e : entries) {
    if (!e.is_directory || e.name == "." || e.name == "..") continue;
    std::vector<std::string> lines;
    if (!platform::ReadTextLines(host, root + "\\" + e.name + "\\journal.txt", &lines) || lines.empty() ||
        lines[0].rfind("会话 ", 0) != 0)
      continue;
    JournalSession s{e.name, lines[0], {}};
    for (size_t i = 1; i < lines.size(); ++i) {
      if (lines[i].rfind("步骤 ", 0) == 0)
        s.steps.push_back({lines[i].substr(std::string("步骤 ").size()), {}});
      else if (!s.steps.empty())
        s.steps.back().lines.push_back(lines[i]);
    }
    if (!s.steps.empty()) sessions.push_back(s);
  }
  std::sort(sessions.begin(), sessions.end(),
            [](const JournalSession& a, const JournalSession& b) { return a.name > b.name; });
  return sessions;
}

}  // namespace app
