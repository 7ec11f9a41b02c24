// A host that passes every call to another: the base of the hosts that
// watch what the program does (the record of an unattended run, the
// journal), which override only the calls they watch.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

class ForwardingHost : public Host {
 public:
  explicit ForwardingHost(Host& inner) : inner_(inner) {}

  void RunCommand(const std::string& command_line, ShowMode show) override { inner_.RunCommand(command_line, show); }
  int StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file = "") override {
    return inner_.StartWatched(command_line, show, held_file);
  }
  bool StillRunning(int program) override { return inner_.StillRunning(program); }
  void Pause(unsigned milliseconds) override { inner_.Pause(milliseconds); }
  Wait RunToEnd(const std::string& command_line, ShowMode show, unsigned limit, int* exit_code) override {
    return inner_.RunToEnd(command_line, show, limit, exit_code);
  }
  Wait RunToEndWithFiles(const std::string& command_line, const std::string& input, const std::string& output,
                         unsigned limit, int* exit_code) override {
    return inner_.RunToEndWithFiles(command_line, input, output, limit, exit_code);
  }
  Wait RunToEndCapturing(const std::string& command_line, const std::string& input, std::string* printed,
                         unsigned limit, int* exit_code) override {
    return inner_.RunToEndCapturing(command_line, input, printed, limit, exit_code);
  }
  std::string ReadRegistry(const std::string& key, const std::string& value) override {
    return inner_.ReadRegistry(key, value);
  }
  std::string CurrentDirectory() override { return inner_.CurrentDirectory(); }
  std::vector<DriveEntry> Drives() override { return inner_.Drives(); }
  bool SetCurrentDirectory(const std::string& path) override { return inner_.SetCurrentDirectory(path); }
  std::string WindowsDirectory() override { return inner_.WindowsDirectory(); }
  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
  bool MakeDirectory(const std::string& path) override { return inner_.MakeDirectory(path); }
  bool RemoveDirectory(const std::string& path) override { return inner_.RemoveDirectory(path); }
  void WillChange(const std::vector<std::string>& places) override { inner_.WillChange(places); }
  std::string LocalTime() override { return inner_.LocalTime(); }
  bool DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override {
    return inner_.CopyFile(from, to, fail_if_exists);
  }
  bool SetFileAttributes(const std::string& path, unsigned attributes) override {
    return inner_.SetFileAttributes(path, attributes);
  }
  unsigned FileAttributes(const std::string& path) override { return inner_.FileAttributes(path); }
  bool ReplaceFile(const std::string& from, const std::string& to) override { return inner_.ReplaceFile(from, to); }
  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override {
    return inner_.ListDirectory(dir, entries);
  }
  bool ReadFile(const std::string& path, std::string* bytes, std::size_t limit) override {
    return inner_.ReadFile(path, bytes, limit);
  }
  bool WriteFile(const std::string& path, const std::string& bytes) override { return inner_.WriteFile(path, bytes); }

 protected:
  Host& inner_;
};

}  // namespace platform
