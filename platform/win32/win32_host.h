// The real machine: the Host and Ui of platform.h on the Win32 API. Every call
// uses the wide functions, so file names, command lines and window texts keep
// their Chinese characters whatever the system's code page is.
#pragma once

#include <windows.h>

#include "platform/operation_names.h"
#include "platform/platform.h"
#include "platform/win32/wide.h"

#include <functional>
#include <map>
#include <string>
#include <typeindex>
#include <typeinfo>

namespace platform {


// The program's title: the executable's file name without directory and
// extension, its first letter as it is and the rest in lower case
// ("C:\Korrin\SERVER.EXE" gives "SERVER" -> "Server").
std::wstring ProgramTitle(const std::wstring& exe_path);

class Win32Host : public Host {
 public:
  void RunCommand(const std::string& command_line, ShowMode show) override;
  int StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file = "") override;
  bool StillRunning(int program) override;
  void Pause(unsigned milliseconds) override;
  Wait RunToEnd(const std::string& command_line, ShowMode show, unsigned limit,
                int* exit_code) override;
  Wait RunToEndWithFiles(const std::string& command_line, const std::string& input,
                         const std::string& output, unsigned limit, int* exit_code) override;
  Wait RunToEndCapturing(const std::string& command_line, const std::string& input, std::string* printed,
                         unsigned limit, int* exit_code) override;
  std::string ReadRegistry(const std::string& key, const std::string& value) override;
  std::string CurrentDirectory() override;
  std::vector<DriveEntry> Drives() override;
  bool SetCurrentDirectory(const std::string& path) override;
  std::string WindowsDirectory() override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  std::string LocalTime() override;
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  bool SetFileAttributes(const std::string& path, unsigned attributes) override;
  unsigned FileAttributes(const std::string& path) override;
  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override;
  bool ReadFile(const std::string& path, std::string* bytes, std::size_t limit) override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;

 private:
  // The programs StartWatched started that have not been seen to end, by
  // their numbers, with their process handles.
  std::map<int, HANDLE> watched_;
  int last_watched_ = 0;
};

class Win32Ui : public Ui {
 public:

  // The main window: owner of every message box and modal window shown
  // from it; one shown from a modal window is that window's (Owner).
  void SetMainWindow(HWND window) { main_window_ = window; }
  HWND main_window() const { return main_window_; }
  // Makes a class of modal window known to ShowModal: `show` shows it over
  // its owner and returns its result when it has closed.
  template <class W>
  void AddModalWindow(ModalResult (*show)(HWND owner, W& window)) {
    modal_[std::type_index(typeid(W))] = [show](HWND owner, ModalWindow& w) {
      return show(owner, static_cast<W&>(w));
    };
  }

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  ModalResult ShowModal(ModalWindow& window) override;
  void CloseMainWindow() override;
  bool CopyToClipboard(const std::string& text) override;
  bool ChooseSaveFile(const std::string& title, std::string* path) override;

 private:
  // The window that takes input now: the main window, or the modal window
  // shown over it.
  HWND Owner() const;
  HWND main_window_ = nullptr;
  std::map<std::type_index, std::function<ModalResult(HWND, ModalWindow&)>> modal_;
};

}  // namespace platform
