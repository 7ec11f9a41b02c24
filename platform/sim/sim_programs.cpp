// The simulated host's programs: stand-ins started, held, ended, found foreign, and what they print.
#include "platform/sim/sim_host.h"

#include "platform/command_line.h"
#include "platform/encoding.h"
#include "platform/text.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

// The program name of a command line's first word, as the stand-ins are keyed:
// no directory, lower case, no ".exe" or ".com".
std::string SimHost::ProgramKey(const std::string& word) {
  std::string name = word.substr(word.find_last_of("\\/:") == std::string::npos
                                     ? 0
                                     : word.find_last_of("\\/:") + 1);
  name = Lower(name);
  for (const char* ext : {".exe", ".com"}) {
    size_t n = std::string(ext).size();
    if (name.size() > n && name.compare(name.size() - n, n, ext) == 0) name.resize(name.size() - n);
  }
  return name;
}

void SimHost::RegisterStandin(const std::string& program, Standin standin) {
  standins_[ProgramKey(program)] = std::move(standin);
}

std::vector<SimEvent> SimHost::Runs() const {
  std::vector<SimEvent> runs;
  for (const SimEvent& e : journal_)
    if (e.kind == "run") runs.push_back(e);
  return runs;
}

void SimHost::RunCommand(const std::string& command_line, ShowMode show) {
  journal_.push_back({"run", command_line, "", static_cast<unsigned>(show)});
  std::string output;
  Start(command_line, "", &output, Search::kHost);
}

int SimHost::StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file) {
  journal_.push_back({"run", command_line, "", static_cast<unsigned>(show)});
  std::vector<std::string> words = SplitCommandLine(command_line);
  const std::string key = words.empty() ? "" : ProgramKey(words[0]);
  if (words.empty() || unstartable_.count(key) || Absent(words[0])) return 0;
  // The file to keep open is opened before the program starts.
  if (!held_file.empty() && !IsFile(NativePath(held_file))) return 0;
  ++last_started_;
  // The program is looked for when it starts; another one found in its
  // place has ended by the time anyone looks.
  if (RanForeign(Foreign(words[0], Search::kHost), command_line)) return last_started_;
  if (held_.count(key)) {
    running_[last_started_] = command_line;
    if (!held_file.empty()) held_files_[last_started_] = NativePath(held_file);
  } else {
    std::string output;
    Start(command_line, "", &output, Search::kDone);
  }
  return last_started_;
}

void SimHost::FinishHeld() {
  std::map<int, std::string> ending;
  ending.swap(running_);
  held_files_.clear();
  for (const auto& program : ending) {
    std::string output;
    Start(program.second, "", &output, Search::kDone);
    journal_.push_back({"ended", program.second, "", 0});
  }
}

int SimHost::RunAndWait(const std::string& command_line, const std::string& input,
                        std::string* output) {
  journal_.push_back({"exec", command_line, "", 0});
  return Start(command_line, input, output, Search::kInterpreter);
}

bool SimHost::Absent(const std::string& word) const {
  // A program named by its path is started from that file, or not at all.
  if (!require_program_files_ || word.find_first_of("\\/:") == std::string::npos) return false;
  if (IsFile(NativePath(word))) return false;
  const std::string name = word.substr(word.find_last_of("\\/:") + 1);
  return name.find('.') != std::string::npos || !IsFile(NativePath(word + ".exe"));
}

std::string SimHost::Foreign(const std::string& word, Search search) const {
  if (search == Search::kDone || word.empty() || word.find_first_of("\\/:") != std::string::npos) return "";
  const std::string system = windows_directory_ + "\\system32";
  std::vector<std::string> folders;
  if (search == Search::kHost && !program_directory_.empty()) folders.push_back(program_directory_);
  folders.push_back(current_directory_);
  folders.push_back(system);
  folders.push_back(windows_directory_);
  std::vector<std::string> names;
  if (word.find('.') != std::string::npos) {
    names.push_back(word);
  } else {
    if (search == Search::kInterpreter) names.push_back(word + ".com");
    names.push_back(word + ".exe");
  }
  for (const std::string& folder : folders) {
    for (const std::string& name : names) {
      const std::string dir = !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
      const std::string native = NativePath(dir + name);
      if (!IsFile(native)) continue;
      // The system's own folders hold the program the stand-in plays.
      if (SameName(folder, system) || SameName(folder, windows_directory_)) return "";
      return dir + fs::path(native).filename().string();
    }
  }
  return "";
}

bool SimHost::RanForeign(const std::string& path, const std::string& command_line) {
  if (path.empty()) return false;
  journal_.push_back({"foreign", path, command_line, 0});
  return true;
}

int SimHost::Start(const std::string& command_line, const std::string& input, std::string* output,
                   Search search) {
  std::vector<std::string> words = SplitCommandLine(command_line);
  if (words.empty() || Absent(words[0])) return -1;
  if (RanForeign(Foreign(words[0], search), command_line)) return 0;
  auto it = standins_.find(ProgramKey(words[0]));
  if (it == standins_.end()) return -1;
  words.erase(words.begin());
  std::string outer = running_arguments_;
  running_arguments_ = ArgumentsText(command_line);
  int code = it->second(*this, words, input, output);
  running_arguments_ = outer;
  return code;
}

void SimHost::Pause(unsigned milliseconds) { journal_.push_back({"pause", "", "", milliseconds}); }

Host::Wait SimHost::RunToEnd(const std::string& command_line, ShowMode show, unsigned limit,
                             int* exit_code) {
  journal_.push_back({"wait", command_line, "", static_cast<unsigned>(show)});
  std::vector<std::string> words = SplitCommandLine(command_line);
  if (!words.empty() && RanForeign(Foreign(words[0], Search::kHost), command_line)) {
    *exit_code = 0;
    return Wait::kFinished;
  }
  if (words.empty() || !standins_.count(ProgramKey(words[0])) || Absent(words[0])) return Wait::kNotStarted;
  if (OutOfTime(command_line, limit)) return Wait::kTimedOut;
  std::string output;
  *exit_code = Start(command_line, "", &output, Search::kDone);
  return Wait::kFinished;
}

bool SimHost::OutOfTime(const std::string& command_line, unsigned limit) {
  const std::vector<std::string> words = SplitCommandLine(command_line);
  const std::string key = words.empty() ? "" : ProgramKey(words[0]);
  const bool endless = std::find(endless_.begin(), endless_.end(), key) != endless_.end();
  if (!endless && !(slow_.count(key) && slow_[key] > limit)) return false;
  journal_.push_back({"pause", "", "", limit});  // the whole time runs out
  journal_.push_back({"end", command_line, "", 0});
  return true;
}

namespace {

// What a console program prints, as the machine gets it: lines ending in
// CR LF, in code page 936.
std::string ConsoleBytes(const std::string& printed) {
  std::string crlf;
  for (size_t i = 0; i < printed.size(); ++i) {
    if (printed[i] == '\n' && (i == 0 || printed[i - 1] != '\r')) crlf += '\r';
    crlf += printed[i];
  }
  return ToCodePage(crlf);
}

}  // namespace

Host::Wait SimHost::RunToEndWithFiles(const std::string& command_line, const std::string& input,
                                      const std::string& output, unsigned limit, int* exit_code) {
  journal_.push_back({"wait", command_line, "<" + input + " >" + output, kHide});
  std::vector<std::string> words = SplitCommandLine(command_line);
  const std::string foreign = words.empty() ? "" : Foreign(words[0], Search::kHost);
  std::string bytes;
  // The input is opened and the output made before the program starts.
  if (words.empty() || (foreign.empty() && !standins_.count(ProgramKey(words[0]))) || Absent(words[0]) ||
      !ReadFile(input, &bytes, SIZE_MAX) || !WriteFile(output, ""))
    return Wait::kNotStarted;
  if (RanForeign(foreign, command_line)) {
    *exit_code = 0;
    return Wait::kFinished;
  }
  if (OutOfTime(command_line, limit)) return Wait::kTimedOut;
  std::string printed;
  *exit_code = Start(command_line, FromCodePage(bytes), &printed, Search::kDone);
  // What does not fit on the disk is lost, as for a program's own writes.
  WriteFile(output, ConsoleBytes(printed));
  return Wait::kFinished;
}

Host::Wait SimHost::RunToEndCapturing(const std::string& command_line, const std::string& input,
                                      std::string* printed, unsigned limit, int* exit_code) {
  journal_.push_back({"ask", command_line, input, kHide});
  printed->clear();
  std::vector<std::string> words = SplitCommandLine(command_line);
  const std::string foreign = words.empty() ? "" : Foreign(words[0], Search::kHost);
  if (words.empty() || (foreign.empty() && !standins_.count(ProgramKey(words[0]))) || Absent(words[0]) ||
      unstartable_.count(ProgramKey(words[0])))
    return Wait::kNotStarted;
  if (RanForeign(foreign, command_line)) {
    *exit_code = 0;
    return Wait::kFinished;
  }
  if (OutOfTime(command_line, limit)) return Wait::kTimedOut;
  // The input reaches the program through its code page, and so does what
  // it prints on the way back.
  std::string output;
  *exit_code = Start(command_line, FromCodePage(ToCodePage(input)), &output, Search::kDone);
  std::string bytes = ConsoleBytes(output);
  if (bytes.size() > kMostPrinted) bytes.resize(kMostPrinted);
  *printed = FromCodePage(bytes);
  return Wait::kFinished;
}

}  // namespace platform
