// The one door to the outside world. Every handler reaches the machine it runs on
// (registry, files, directories, programs, pauses, message boxes, modal windows)
// only through these two interfaces, so that the handlers run alike on the real
// server (platform/win32) and on the simulated host of the tests (platform/sim).
//
// All text crossing this interface is UTF-8. The host converts to and from code
// page 936 where text meets the machine (command lines, file names); file
// contents are bytes, and the text-file helpers of textfile.h do the encoding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/operation_names.h"

namespace platform {

// Show modes of a started program.
enum ShowMode { kHide = 0, kShowNormal = 1 };

// Message-box flags and answers, with the host's values.
enum MessageFlags : unsigned {
  kMbOk = 0,
  kMbOkCancel = 1,
  kMbYesNo = 4,
  kMbIconStop = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
  kMbDefButton2 = 0x100,
};
enum MessageAnswer { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// File attributes, host values.
enum FileAttribute : unsigned {
  kAttrReadOnly = 1,
  kAttrHidden = 2,
  kAttrSystem = 4,
  kAttrDirectory = 16,
  kAttrArchive = 32,
};

struct DirEntry {
  std::string name;
  bool is_directory = false;
  // A file's size in bytes and the time it was last written, in the host's
  // units (compared, never shown); 0 for a directory and for "." and "..".
  std::uint64_t size = 0;
  std::int64_t written = 0;
};

// A drive of the machine: its letter (upper case), whether it is fixed (a hard
// disk) or otherwise (removable, network, CD), and its volume label, read only
// for fixed drives so that an empty floppy drive is never touched.
struct DriveEntry {
  char letter = 'C';
  bool fixed = true;
  std::string label;
};

// What the machine gives: registry, programs, pauses, files and directories.
class Host {
 public:
  virtual ~Host() = default;

  // A program about to start may change these folders and files on its
  // own, past this interface: a host that keeps what the server held (the
  // journal) keeps what they hold now; the machine itself does nothing.
  virtual void WillChange(const std::vector<std::string>& places) { (void)places; }
  // Starts a command line with the given show mode. Never waits and never
  // reports whether the program could be started.
  virtual void RunCommand(const std::string& command_line, ShowMode show) = 0;
  // Starts a command line as RunCommand does, without waiting, and gives the
  // started program a number by which StillRunning tells later whether it
  // still runs; 0 when it could not be started. `held_file`, when given, is
  // kept open by the program for as long as it runs, readable and nothing
  // else: no one, not this program started again either, can delete,
  // replace or write it meanwhile (0 when it cannot be opened).
  virtual int StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file = "") = 0;
  // True while the program StartWatched numbered `program` runs; false once
  // it has ended, and for 0.
  virtual bool StillRunning(int program) = 0;
  // Holds the handler for a time; the program's windows are repainted
  // meanwhile (a progress bar set before shows its new position).
  virtual void Pause(unsigned milliseconds) = 0;
  // Starts a command line and waits for its program to end, at most `limit`
  // milliseconds, keeping the program's windows painted meanwhile. The exit
  // code is set when the program has finished; a program still running when
  // the time is up is ended (kTimedOut), so that it writes nothing more.
  enum class Wait { kFinished, kTimedOut, kNotStarted };
  virtual Wait RunToEnd(const std::string& command_line, ShowMode show, unsigned limit,
                        int* exit_code) = 0;
  // The same for a console program fed from a file, hidden: the program is
  // started itself, not through a command interpreter, with the file
  // `input` as its standard input and the file `output` (created or
  // emptied) as its standard output and error. Its exit code is its own,
  // and at the time limit it is the program itself that is ended. kNotStarted
  // when the input cannot be opened, the output cannot be made, or the
  // program cannot be started.
  virtual Wait RunToEndWithFiles(const std::string& command_line, const std::string& input,
                                 const std::string& output, unsigned limit, int* exit_code) = 0;
  // The same for a console program asked a question that changes nothing
  // (a listing of net or rplcmd), with no file on either side: the program
  // is started itself, hidden and without a console window, reads `input`
  // as its standard input, and what it prints on its standard output and
  // error comes back in `printed`, read while it runs so that it never
  // waits on a full pipe. Both are text, UTF-8 as everything crossing this
  // interface: the program reads `input` in code page 936 and what it
  // printed is converted back, its line ends as it wrote them (CR LF from a
  // console program). At most kMostPrinted bytes of it are kept; the rest is
  // read and dropped. `printed` holds what came before the end, also when
  // the time ran out; kNotStarted when the program cannot be started.
  static constexpr std::size_t kMostPrinted = std::size_t{16} << 20;
  virtual Wait RunToEndCapturing(const std::string& command_line, const std::string& input, std::string* printed,
                                 unsigned limit, int* exit_code) = 0;

  // Reads one string value under HKEY_LOCAL_MACHINE. The key is opened
  // read-only and never created; a missing key or value reads as "".
  virtual std::string ReadRegistry(const std::string& key, const std::string& value) = 0;

  virtual std::string CurrentDirectory() = 0;
  // The machine's drives, by letter.
  virtual std::vector<DriveEntry> Drives() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  virtual std::string WindowsDirectory() = 0;

  // True only for an existing file; a directory of that name counts as absent.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // One level only: the parent must exist. False when it exists already.
  virtual bool MakeDirectory(const std::string& path) = 0;
  // Removes an empty folder; false when it holds anything or is not there.
  virtual bool RemoveDirectory(const std::string& path) = 0;
  // The machine's local time as "YYYYMMDD-HHMMSS", to name what is kept of a session.
  virtual std::string LocalTime() = 0;
  // Fails on a read-only file.
  virtual bool DeleteFile(const std::string& path) = 0;
  // The copy takes the source's attributes, read-only among them, and is on
  // the disk when this returns true. Fails on a read-only, hidden or system
  // `to`, as WriteFile does.
  virtual bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) = 0;
  virtual bool SetFileAttributes(const std::string& path, unsigned attributes) = 0;
  // The attributes of an existing file or directory; 0 when there is none.
  virtual unsigned FileAttributes(const std::string& path) = 0;
  // Moves the file `from` to `to`, replacing a file there, in one step: when
  // it fails, `to` is still the file it was. It fails on a read-only `to`.
  // The new file's data is put on the disk before it takes the name.
  virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
  // Entries of a directory in the order the file system gives them, "." and
  // ".." included where it gives them (every directory but a drive root);
  // entries marked hidden or system are left out. False when the directory
  // cannot be listed.
  virtual bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) = 0;

  // Whole files as bytes. ReadFile fails on a file that cannot be opened or
  // read; at most `limit` bytes are read. WriteFile creates or empties the
  // file, and has put the bytes on the disk when it returns true; it fails on
  // a read-only, hidden or system file, which it cannot empty.
  virtual bool ReadFile(const std::string& path, std::string* bytes,
                        std::size_t limit = SIZE_MAX) = 0;
  virtual bool WriteFile(const std::string& path, const std::string& bytes) = 0;
};

// A modal window the handlers open: a portable class holding its controls as
// value objects, its handlers, and plain input and output fields. The front
// end knows how to show each class (by its type); the simulated host answers
// it from a typed script.
class ModalWindow {
 public:
  virtual ~ModalWindow() = default;
  virtual const char* Kind() const = 0;  // the window class name, e.g. "TForm5", for the journal
  // Runs each time the window is about to be shown, before it takes input.
  virtual void FormShow() {}
};

// How a modal window ended: by its OK button, or otherwise (its close box,
// Esc, or closing itself).
enum ModalResult { kMrOk = 1, kMrCancel = 2 };

// What the window system gives the handlers: the modal things and the main window.
class Ui {
 public:
  virtual ~Ui() = default;
  // Modal to the whole program; returns the button pressed.
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // The text, one OK button, no icon; the program's title as caption.
  virtual void ShowMessage(const std::string& text) = 0;
  // The error box of the application: stop icon, the program's title as caption.
  virtual void ShowError(const std::string& text) = 0;
  // Shows a window modally and returns its result when it has closed.
  virtual ModalResult ShowModal(ModalWindow& window) = 0;
  // Closes the main window, which ends the program once the handler returns.
  virtual void CloseMainWindow() = 0;
  // Puts the text on the clipboard for other programs to paste, in place of
  // what it held; false when the clipboard cannot be taken.
  virtual bool CopyToClipboard(const std::string& text) = 0;
  // Asks where to save a file, in the system's save dialog, starting from
  // `path` (a folder and a suggested name); false when the administrator
  // cancels. `path` then holds the file chosen.
  virtual bool ChooseSaveFile(const std::string& title, std::string* path) = 0;
};

}  // namespace platform
