// A host that passes every call to a simulated machine and fails the one call
// a test chooses, as the real machine fails it: a write that stops halfway
// (a full disk), a move, a delete, a copy or a folder refused, a program that
// exits with an error or runs past its time. Only the program's own calls go
// through it: the stand-ins of the outside programs work on the simulated
// machine itself, so a fault is the program's and never a stand-in's.
//
// It also counts the calls of one press, so that a handler that runs away
// (a loop over two thousand million users) is stopped by an exception
// instead of running until the machine gives out.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/sim/sim_host.h"

namespace platform {

struct Fault {
  enum Kind {
    kNone,
    kChange,        // the at-th change fails (from 0): write, copy, move, delete, attributes, folder
    kProgramFails,  // the at-th program started exits with 1 without doing anything
    kProgramHangs,  // the at-th program started runs past any time given to it
  };
  Kind kind = kNone;
  int at = 0;
};

// Thrown when a press makes more host calls than any press needs.
struct RunawayPress : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class FaultHost : public Host {
 public:
  explicit FaultHost(SimHost& sim) : sim_(sim) {}

  // The fault for what follows; the counts start again.
  void Plant(Fault fault, long call_limit = 200000);
  // Whether the planted fault has struck, and where (for a test's message).
  bool struck() const { return struck_; }
  const std::string& struck_at() const { return struck_at_; }
  // The changes made and programs started through this host so far, a
  // program only asked (RunToEndCapturing) not counted: what must not move
  // while a plan is made.
  long touched() const { return touched_; }

  void RunCommand(const std::string& command_line, ShowMode show) override;
  int StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file = "") override;
  bool StillRunning(int program) override { return sim_.StillRunning(program); }
  void Pause(unsigned milliseconds) override { sim_.Pause(milliseconds); }
  Wait RunToEnd(const std::string& command_line, ShowMode show, unsigned limit, int* exit_code) override;
  Wait RunToEndWithFiles(const std::string& command_line, const std::string& input, const std::string& output,
                         unsigned limit, int* exit_code) override;
  Wait RunToEndCapturing(const std::string& command_line, const std::string& input, std::string* printed,
                         unsigned limit, int* exit_code) override;
  std::string ReadRegistry(const std::string& key, const std::string& value) override {
    Count();
    return sim_.ReadRegistry(key, value);
  }
  std::string CurrentDirectory() override { return sim_.CurrentDirectory(); }
  std::vector<DriveEntry> Drives() override { return sim_.Drives(); }
  bool SetCurrentDirectory(const std::string& path) override { return sim_.SetCurrentDirectory(path); }
  std::string WindowsDirectory() override { return sim_.WindowsDirectory(); }
  bool FileExists(const std::string& path) override {
    Count();
    return sim_.FileExists(path);
  }
  bool DirectoryExists(const std::string& path) override {
    Count();
    return sim_.DirectoryExists(path);
  }
  bool MakeDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  std::string LocalTime() override { return sim_.LocalTime(); }
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override;
  bool SetFileAttributes(const std::string& path, unsigned attributes) override;
  unsigned FileAttributes(const std::string& path) override { return sim_.FileAttributes(path); }
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override {
    Count();
    return sim_.ListDirectory(dir, entries);
  }
  bool ReadFile(const std::string& path, std::string* bytes, std::size_t limit) override {
    Count();
    return sim_.ReadFile(path, bytes, limit);
  }
  bool WriteFile(const std::string& path, const std::string& bytes) override;

 private:
  void Count();
  // True when this change is the one to fail.
  bool Strikes(const char* what, const std::string& path);
  // The program fault for this start, or kNone.
  Fault::Kind ProgramFault(const std::string& command_line);

  SimHost& sim_;
  Fault fault_;
  int changes_ = 0, programs_ = 0;
  long calls_ = 0, call_limit_ = 200000, touched_ = 0;
  bool struck_ = false;
  std::string struck_at_;
};

}  // namespace platform
