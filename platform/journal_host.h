// A host that passes every call to another host and keeps the journal of a
// session: for each step, every folder made, every file made, replaced or
// deleted (a replaced or deleted file's old bytes and attributes kept in the
// session's folder), every program started, and what each change left (a
// file's size and the hash of its bytes), so that the step can be taken back
// later. The journal is journal.txt in the session's folder, in code page
// 936, one change a line:
//   步骤 NAME
//   消息 TEXT
//   新建目录 PATH                      删除目录 PATH
//   新建 SIZE HASH PATH                删除 KEPT ATTRIBUTES PATH
//   替换 SIZE HASH KEPT ATTRIBUTES PATH
//   未保留 PATH                        (its old bytes could not be kept)
//   启动 COMMAND                       运行 COMMAND：OUTCOME
// and the lines the caller notes (records added by programs).
// What is below the journal's own folder is never journaled.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/forwarding_host.h"

namespace platform {

// The 64-bit FNV-1a hash of the bytes, as 16 hexadecimal digits.
std::string HashOf(const std::string& bytes);

class JournalHost : public ForwardingHost {
 public:
  // `root`: the folder of all sessions (made when missing); the session's
  // folder is ROOT\STAMP, STAMP the host's local time when the first step
  // begins (with "-2", "-3"... when taken); `heading`: the journal's first line.
  JournalHost(Host& inner, const std::string& root, const std::string& heading);
  // A step still open (a change made outside any step: the exit button's
  // taking away of the account script) is written as it ends.
  ~JournalHost() override;

  // A step begins. The places are the folders and files its programs may
  // change: their files' bytes are kept now, and what is new there at the
  // end is the step's. The session's folder and journal are written first;
  // false, with why in words, when they cannot be: the step must then do
  // nothing.
  bool BeginStep(const std::string& name, const std::vector<std::string>& places, std::string* why);
  // A line into the step as it stands (a message, a record).
  void Note(const std::string& line);
  // Keeps bytes in the session's folder for a line of the caller's: the
  // name they are kept under, "" when they cannot be written.
  std::string Keep(const std::string& bytes);
  // A program the step started, with the bytes of its input or of the file
  // it keeps open (the script it runs), as they were when it started.
  struct Started {
    std::string command_line, input;
    bool waited = false, finished = false;
    int exit_code = 0;
    // The caller's lines of what the program added, written right after it.
    std::vector<std::string> records;
  };
  std::vector<Started>& StepPrograms() { return programs_; }
  // The step ends: what it left is written into the journal. A step that
  // changed nothing and started nothing leaves no line, and a session
  // without steps no folder. False when the journal could not be written.
  bool EndStep();
  bool InStep() const { return in_step_; }
  // The session's folder ("" before its first step) and name.
  const std::string& folder() const { return folder_; }
  std::string session() const;
  const std::string& root() const { return root_; }
  Host& inner() { return inner_; }

  // Places a program of the step is about to change that the step's plan
  // did not name (its plan, made again by the handler, may differ from the
  // step's): kept now, and watched as the step's own.
  void WillChange(const std::vector<std::string>& places) override;
  void RunCommand(const std::string& command_line, ShowMode show) override;
  int StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file = "") override;
  bool StillRunning(int program) override;
  Wait RunToEnd(const std::string& command_line, ShowMode show, unsigned limit, int* exit_code) override;
  Wait RunToEndWithFiles(const std::string& command_line, const std::string& input, const std::string& output,
                         unsigned limit, int* exit_code) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override;
  bool SetFileAttributes(const std::string& path, unsigned attributes) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;

 private:
  // How a path was before the step first touched it.
  struct Before {
    std::string path;
    enum { kAbsent, kFile, kFolder } state = kAbsent;
    std::string kept;  // the kept copy's name; "" when it could not be kept
    std::string kept_hash;
    std::size_t kept_size = 0;
    unsigned attributes = 0;
  };
  // Before the step's first change of `path`: how it is, kept.
  void Touch(const std::string& path);
  // Every file and folder in the places, touched: before a program of the
  // step ran, kept as it is; after, one not seen before is the program's.
  void TouchPlaces();
  void TouchPlaces(const std::vector<std::string>& places, bool after_programs);
  bool Journaled(const std::string& path) const;
  std::string OnDisk(const std::string& path);
  bool WriteJournal();
  void AutoStep();

  std::string root_, heading_, folder_;
  std::vector<std::string> lines_;  // the journal as written
  bool in_step_ = false;
  size_t step_start_ = 0;           // the step's first line in lines_
  // The step's lines in the order they came: a literal line, how a path
  // was before its first change (into befores_), or a program (into programs_).
  struct Event {
    enum { kLine, kPath, kProgram } kind;
    std::string line;
    size_t index = 0;
  };
  std::vector<Event> events_;
  std::map<std::string, size_t> index_;  // by path in upper case, into befores_
  std::vector<Before> befores_;
  std::vector<std::string> places_;
  std::vector<Started> programs_;
  std::map<int, size_t> watched_;  // a started program's number, into programs_
  int kept_count_ = 0;
};

// The window system of a journaled session: every message shown goes into
// the step as it stands ("消息 TEXT", its lines joined), then to `inner`.
class JournalUi : public Ui {
 public:
  JournalUi(Ui& inner, JournalHost& journal) : inner_(inner), journal_(journal) {}
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    Said(text);
    return inner_.MessageBox(text, caption, flags);
  }
  void ShowMessage(const std::string& text) override {
    Said(text);
    inner_.ShowMessage(text);
  }
  void ShowError(const std::string& text) override {
    Said(text);
    inner_.ShowError(text);
  }
  ModalResult ShowModal(ModalWindow& window) override { return inner_.ShowModal(window); }
  void CloseMainWindow() override { inner_.CloseMainWindow(); }
  bool CopyToClipboard(const std::string& text) override { return inner_.CopyToClipboard(text); }
  bool ChooseSaveFile(const std::string& title, std::string* path) override {
    return inner_.ChooseSaveFile(title, path);
  }

 private:
  void Said(const std::string& text);
  Ui& inner_;
  JournalHost& journal_;
};

}  // namespace platform
