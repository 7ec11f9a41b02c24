// A Windows machine simulated in a directory, for the tests and for Linux runs.
//
// Layout of the directory (the "root"):
//   c/, d/, ...        one subdirectory per drive letter
//   registry.txt       HKEY_LOCAL_MACHINE values: KEY <tab> VALUE <tab> DATA per line
//   attributes.txt     file attributes kept beside the tree: ATTRS <tab> PATH per line
// Names are looked up without regard to case and created with the case given,
// as on NTFS. A listing gives "." and ".." first (but for a drive root), then
// the entries in name order. Every program start, pause, message box, notice,
// modal window and close is recorded in one journal, in order; a message box is
// answered from a script, and a program with a registered stand-in runs in
// process.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "platform/platform.h"

namespace platform {

struct SimEvent {
  // "run", "exec", "wait", "ask", "pause", "message", "notice", "error",
  // "modal", "close";
  // "foreign": a program started by a bare name was found outside the
  // system's folders, its path as the text and the command line as caption.
  std::string kind;
  std::string text;  // command line, message text, window class
  std::string caption;
  unsigned flags = 0;  // show mode, milliseconds, message-box flags
  bool operator==(const SimEvent& o) const {
    return kind == o.kind && text == o.text && caption == o.caption && flags == o.flags;
  }
};

class SimHost;

// A stand-in for an outside program: receives the host, the words of the
// command line after the program's name and its standard input; returns its
// exit code and what it printed.
using Standin = std::function<int(SimHost& host, const std::vector<std::string>& args,
                                  const std::string& input, std::string* output)>;

class SimHost : public Host {
 public:
  // `root` is created if missing. The current directory starts at C:\.
  explicit SimHost(const std::string& root);

  // Setting up a session.
  void SetRegistry(const std::string& key, const std::string& value, const std::string& data);
  void SetWindowsDirectory(const std::string& path) { windows_directory_ = path; }
  // The volume label of a drive (a drive is a subdirectory of one letter).
  void SetVolumeLabel(char letter, const std::string& label) { labels_[letter] = label; }
  // A drive from C: on that is no hard disk (a CD, a network drive); A: and
  // B: are always floppy drives, the others hard disks unless made so.
  void MakeRemovable(char letter) { removable_.insert(letter); }
  // Registers a stand-in under a program name ("net", "command.com", "undisk.exe");
  // a started command whose program name matches (without regard to case, with
  // or without the directory and the ".exe"/".com" extension) runs it.
  //
  // A program named without a directory is looked for as Windows does: when
  // the host starts it, in the program directory, the current directory, the
  // system folder (WINDIR\system32) and the Windows directory; when the
  // command interpreter starts it (RunAndWait), in the current directory and
  // then those two folders of its path. A name without an extension is
  // looked for as NAME.exe (and, by the interpreter, NAME.com before it).
  // Found in a folder other than those two, it is some other program of that
  // name: its stand-in does not run; a "foreign" event records the file, and
  // the program ends at once with exit code 0, having done nothing. Found
  // nowhere, the stand-in runs, as the system's own program. With
  // RequireProgramFiles, a program named by its path runs only when its file
  // is there, as on Windows.
  void RequireProgramFiles() { require_program_files_ = true; }
  void RegisterStandin(const std::string& program, Standin standin);
  // The folder of the program's own executable, searched first for a program
  // the host starts by a bare name; "" (at first) for none.
  void SetProgramDirectory(const std::string& dir) { program_directory_ = dir; }
  // A program of this name never finishes: waiting for it runs out of time,
  // it does nothing, and it is ended (an "end" event).
  void MakeEndless(const std::string& program) { endless_.push_back(ProgramKey(program)); }
  // A program of this name finishes only after `milliseconds`: a wait shorter
  // than that runs out of time and ends it before it has done anything.
  void MakeSlow(const std::string& program, unsigned milliseconds) {
    slow_[ProgramKey(program)] = milliseconds;
  }
  // A program of this name, started by StartWatched, keeps running (its
  // stand-in not yet run) until FinishHeld lets it end.
  void HoldRunning(const std::string& program) { held_.insert(ProgramKey(program)); }
  // Programs of this name started from now on end as usual again.
  void StopHolding(const std::string& program) { held_.erase(ProgramKey(program)); }
  // The held programs that run now end, in the order they were started,
  // each stand-in run to its end (an "ended" event each).
  void FinishHeld();
  // The command lines of the programs held running now.
  std::vector<std::string> HeldPrograms() const {
    std::vector<std::string> lines;
    for (const auto& program : running_) lines.push_back(program.second);
    return lines;
  }
  // A program of this name cannot be started by StartWatched or
  // RunToEndCapturing, as when its file is missing.
  void MakeUnstartable(const std::string& program) { unstartable_.insert(ProgramKey(program)); }
  // Nothing new can be made directly in this folder, neither a file nor a
  // folder: one the program's account may read but not write to, or a
  // write-protected disk. (Not the read-only attribute, which Windows
  // ignores on folders.)
  void MakeUnwritable(const std::string& dir) { unwritable_.insert(NativePath(dir)); }
  // The disk holds only `bytes` more: a write beyond them writes what fits
  // and fails, as on a full disk. SIZE_MAX lifts the limit.
  void LimitDiskSpace(std::size_t bytes) { disk_space_ = bytes; }
  // The key a program is registered under: its name in lower case, without
  // directory and without ".exe" or ".com".
  static std::string ProgramKey(const std::string& program);
  // Makes ReadFile fail for this path, as for a file locked by another program.
  void MakeUnreadable(const std::string& path);
  // Listings give no "." and ".." entries, as some file systems do not.
  void OmitDotEntries() { omit_dot_entries_ = true; }

  // Runs a command line to its end as a started program does when another
  // program waits for it (a batch line, a tool with its input redirected):
  // recorded as an "exec" event. Returns the exit code, -1 when no stand-in
  // answers to the program's name.
  int RunAndWait(const std::string& command_line, const std::string& input, std::string* output);

  // Inspecting a session.
  std::string NativePath(const std::string& path) const;  // where a Windows path lies
  std::vector<SimEvent>& journal() { return journal_; }
  std::vector<SimEvent> Runs() const;  // the "run" events alone
  void Record(SimEvent event) { journal_.push_back(std::move(event)); }
  unsigned Attributes(const std::string& path) const;
  std::string root() const { return root_; }
  // The command line after the program's name, as typed, of the stand-in
  // running now.
  const std::string& RunningArguments() const { return running_arguments_; }

  // Host
  void RunCommand(const std::string& command_line, ShowMode show) override;
  int StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file = "") override;
  bool StillRunning(int program) override { return running_.count(program) != 0; }
  void Pause(unsigned milliseconds) override;
  Wait RunToEnd(const std::string& command_line, ShowMode show, unsigned limit,
                int* exit_code) override;
  // Recorded as a "wait" event with the command line, "<INPUT >OUTPUT" as
  // its caption and the hidden show mode; the stand-in reads the input
  // file's text and its output goes into the output file, lines ending in
  // CR LF, in code page 936, as a console program's output redirected.
  Wait RunToEndWithFiles(const std::string& command_line, const std::string& input,
                         const std::string& output, unsigned limit, int* exit_code) override;
  // Recorded as an "ask" event with the command line, the input as its
  // caption and the hidden show mode; the stand-in reads the input and its
  // output comes back as a console program's would: lines ending in CR LF,
  // through code page 936 and back, cut at kMostPrinted bytes.
  Wait RunToEndCapturing(const std::string& command_line, const std::string& input, std::string* printed,
                         unsigned limit, int* exit_code) override;
  std::string ReadRegistry(const std::string& key, const std::string& value) override;
  std::string CurrentDirectory() override { return current_directory_; }
  std::vector<DriveEntry> Drives() override;
  bool SetCurrentDirectory(const std::string& path) override;
  std::string WindowsDirectory() override { return windows_directory_; }
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  // A clock of its own, a second later at every reading, so that runs repeat.
  std::string LocalTime() override;
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override;
  bool SetFileAttributes(const std::string& path, unsigned attributes) override;
  unsigned FileAttributes(const std::string& path) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override;
  bool ReadFile(const std::string& path, std::string* bytes, std::size_t limit) override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;

  // Splits a Windows path into its drive letter and components, resolving
  // ".", ".." and paths relative to the current directory. False for a path
  // that names no drive.
  bool Split(const std::string& path, char* drive, std::vector<std::string>* parts) const;

 private:
  // Who looks for a program named without a directory: the host, the
  // command interpreter, or no one (found when it was started).
  enum class Search { kHost, kInterpreter, kDone };
  int Start(const std::string& command_line, const std::string& input, std::string* output, Search search);
  // The file a program named by a bare `word` is found as, when that is in a
  // folder other than the system folder and the Windows directory; "" else.
  std::string Foreign(const std::string& word, Search search) const;
  // True for a program named by a path where no file is (with ".exe" added
  // when the name has no extension), which Windows cannot start.
  bool Absent(const std::string& word) const;
  // True, with a "pause" of the whole limit and an "end" event, when the
  // program is endless or slower than `limit`: it is ended unfinished.
  bool OutOfTime(const std::string& command_line, unsigned limit);
  // Records that `path` ran in place of the stand-in; true when `path` is set.
  bool RanForeign(const std::string& path, const std::string& command_line);
  std::string Resolve(char drive, const std::vector<std::string>& parts) const;
  // What is at a native path, never throwing: a name the disk cannot hold (a
  // part longer than 255 bytes) is no file or folder, as Windows finds none.
  static bool IsFile(const std::string& native);
  static bool IsFolder(const std::string& native);
  static bool Exists(const std::string& native);
  std::string Key(const std::string& native) const;  // attributes key
  void LoadAttributes();
  void SaveAttributes() const;

  std::string root_;
  std::string current_directory_ = "C:\\";
  std::string windows_directory_ = "C:\\WINNT";
  std::string program_directory_;
  bool require_program_files_ = false;
  std::vector<SimEvent> journal_;
  std::map<std::string, Standin> standins_;
  std::map<std::string, unsigned> attributes_;
  std::vector<std::string> unreadable_;
  std::map<char, std::string> labels_;
  std::set<char> removable_;
  std::vector<std::string> endless_;
  std::map<std::string, unsigned> slow_;
  std::size_t disk_space_ = SIZE_MAX;
  bool omit_dot_entries_ = false;
  std::string running_arguments_;
  std::set<std::string> held_, unstartable_, unwritable_;
  std::map<int, std::string> running_;  // held programs by number, their command lines
  long clock_ = 0;  // seconds read from LocalTime
  std::map<int, std::string> held_files_;  // the native path each running program keeps open
  bool HeldOpen(const std::string& native) const;
  int last_started_ = 0;
};

// The window system of the simulated host: records what is shown into the
// host's journal and answers from a script.
class SimUi : public Ui {
 public:
  explicit SimUi(SimHost& host) : host_(host) {}

  // Answers for the coming message boxes, in order; an empty script answers OK
  // (for a yes/no question, its default button).
  void Answer(int answer) { answers_.push_back(answer); }
  // Once the script is used up, every question is answered yes (OK) or no
  // (Cancel), whatever its buttons, instead of with its default button.
  void AnswerAll(bool yes) { answer_all_ = yes ? kIdYes : kIdNo; }
  // The script for every showing of a modal window of class W: it receives
  // the window, fills or clicks its controls (or lets its timer tick) and
  // returns how the window ends. A window without a script ends as if closed
  // by its close box. The journal records the window and its result.
  template <class W>
  void OnModal(std::function<ModalResult(W&)> script) {
    modal_scripts_[std::type_index(typeid(W))] = [script](ModalWindow& w) {
      return script(static_cast<W&>(w));
    };
  }
  // The script for every modal window whose class has none of its own.
  void OnOtherModal(std::function<ModalResult(ModalWindow&)> script) { other_script_ = std::move(script); }
  bool main_window_closed() const { return closed_; }
  // Runs while each message box, notice, error box or modal window is up,
  // before it is answered: what another program does meanwhile, or a look
  // at the machine at that moment.
  void WhileShown(std::function<void(const SimEvent&)> action) { while_shown_ = std::move(action); }

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  ModalResult ShowModal(ModalWindow& window) override;
  void CloseMainWindow() override;
  // Recorded as a "clipboard" event with the text; refused while the
  // clipboard is held by another program.
  bool CopyToClipboard(const std::string& text) override;
  // Recorded as a "save" event with the suggested path; answered with the
  // next path given here, or cancelled when none is left.
  bool ChooseSaveFile(const std::string& title, std::string* path) override;
  void AnswerSaveFile(const std::string& path) { save_answers_.push_back(path); }
  void HoldClipboard(bool held) { clipboard_held_ = held; }
  const std::string& clipboard() const { return clipboard_; }

  // The caption of notices: the program's title.
  static constexpr const char* kTitle = "Server";

 private:
  void Shown(const SimEvent& event);

  SimHost& host_;
  std::function<void(const SimEvent&)> while_shown_;
  std::deque<int> answers_;
  int answer_all_ = 0;
  std::map<std::type_index, std::function<ModalResult(ModalWindow&)>> modal_scripts_;
  std::function<ModalResult(ModalWindow&)> other_script_;
  bool closed_ = false;
  bool clipboard_held_ = false;
  std::string clipboard_;
  std::deque<std::string> save_answers_;
};

}  // namespace platform
