// The real machine's programs: started with a show mode, waited for, and fed and read through pipes.
#include "platform/win32/win32_host.h"

#include "platform/encoding.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// Starts a command line with a show mode, as WinExec does: a program named
// without a directory would be looked for in the program's directory, the
// current directory, the system directories and the path, so the handlers
// name every program by its full path; a name without extension gets
// ".exe". Given
// inheritable handles `in` and `out`, they are its standard input, output and
// error, and it gets no console of its own: it reads and writes them only,
// and no console process is left holding them once it has ended. Returns the
// process's handle (the caller closes it), or nullptr when nothing started.
HANDLE StartProgram(const std::string& command_line, ShowMode show, HANDLE in = nullptr, HANDLE out = nullptr,
                    bool inherit = false) {
  std::wstring line = Widen(command_line);
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW | (in ? STARTF_USESTDHANDLES : 0);
  si.wShowWindow = static_cast<WORD>(show == kHide ? SW_HIDE : SW_SHOWNORMAL);
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, in || inherit ? TRUE : FALSE, in ? DETACHED_PROCESS : 0,
                      nullptr, nullptr, &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

}  // namespace

void Win32Host::RunCommand(const std::string& command_line, ShowMode show) {
  // The result is not looked at.
  if (HANDLE process = StartProgram(command_line, show)) CloseHandle(process);
}

int Win32Host::StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file) {
  // The file is opened for reading, shared for reading only, by a handle the
  // program inherits: it stays open in the program until the program ends,
  // so that deleting, replacing or writing it fails meanwhile, here and in
  // any other process. This process's own handle is closed at once.
  HANDLE held = nullptr;
  if (!held_file.empty()) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    held = CreateFileW(Widen(held_file).c_str(), GENERIC_READ, FILE_SHARE_READ, &inheritable, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 0;
  }
  HANDLE process = StartProgram(command_line, show, nullptr, nullptr, held != nullptr);
  if (held) CloseHandle(held);
  if (!process) return 0;
  watched_[++last_watched_] = process;
  return last_watched_;
}

bool Win32Host::StillRunning(int program) {
  auto it = watched_.find(program);
  if (it == watched_.end()) return false;
  if (WaitForSingleObject(it->second, 0) == WAIT_TIMEOUT) return true;
  CloseHandle(it->second);
  watched_.erase(it);
  return false;
}

namespace {

// Paints the program's windows that need it and answers what other programs
// send to them (reading a control's state). Nothing else is dispatched: the
// windows take no input while a handler holds the thread.
void PaintWaiting() {
  MSG msg;
  // Peeking answers the messages sent from elsewhere; then the paints.
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
}

// Waits for `handle` (none: only the time) at most `milliseconds`, painting
// the program's windows whenever they need it, so that what the handler set
// before (a progress bar's position) shows. True when the handle was
// signalled.
bool WaitPainting(HANDLE handle, unsigned milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    DWORD count = handle ? 1 : 0;
    DWORD r = MsgWaitForMultipleObjects(count, handle ? &handle : nullptr, FALSE,
                                        milliseconds - elapsed, QS_PAINT | QS_SENDMESSAGE);
    if (handle && r == WAIT_OBJECT_0) return true;
    if (r == WAIT_OBJECT_0 + count) {
      PaintWaiting();
    } else if (r == WAIT_FAILED) {
      Sleep(10);
    }
  }
}

// Waits for a started program, the windows painted meanwhile, and closes its
// handle: its exit code when it has finished; at the time limit the program
// itself is ended, so that it writes nothing more into files the caller
// takes back or the next run uses.
// A started program's end: its exit code when it has finished, else the
// program ended (and waited for a moment) so that it writes nothing more.
void Conclude(HANDLE process, bool finished, int* exit_code) {
  if (finished) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    *exit_code = static_cast<int>(code);
  } else {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
  }
}

Host::Wait WaitForEnd(HANDLE process, unsigned limit, int* exit_code) {
  const bool finished = WaitPainting(process, limit);
  Conclude(process, finished, exit_code);
  CloseHandle(process);
  return finished ? Host::Wait::kFinished : Host::Wait::kTimedOut;
}

}  // namespace

void Win32Host::Pause(unsigned milliseconds) { WaitPainting(nullptr, milliseconds); }

Host::Wait Win32Host::RunToEnd(const std::string& command_line, ShowMode show, unsigned limit,
                               int* exit_code) {
  HANDLE process = StartProgram(command_line, show);
  if (!process) return Wait::kNotStarted;
  return WaitForEnd(process, limit, exit_code);
}

Host::Wait Win32Host::RunToEndWithFiles(const std::string& command_line, const std::string& input,
                                        const std::string& output, unsigned limit, int* exit_code) {
  // Both files are opened as handles the program inherits; only these two
  // (and the error handle, the output's) are given to it.
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE in = CreateFileW(Widen(input).c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (in == INVALID_HANDLE_VALUE) return Wait::kNotStarted;
  HANDLE out = CreateFileW(Widen(output).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    CloseHandle(in);
    return Wait::kNotStarted;
  }
  HANDLE process = StartProgram(command_line, kHide, in, out);
  // The program holds its own copies of the two handles now.
  CloseHandle(in);
  CloseHandle(out);
  if (!process) return Wait::kNotStarted;
  return WaitForEnd(process, limit, exit_code);
}

namespace {

// A pipe whose one end a started program inherits: `ours` stays with this
// program and is inherited by none, so that the started program sees the
// end of its input once `ours` is closed, and no other program holds the
// pipe open.
struct Pipe {
  HANDLE theirs = nullptr, ours = nullptr;
  // `theirs_read`: the started program reads (its input), else writes.
  bool Make(bool theirs_read, DWORD size) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, size)) return false;
    theirs = theirs_read ? read : write;
    HANDLE own = theirs_read ? write : read;
    if (!DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &ours, 0, FALSE, DUPLICATE_SAME_ACCESS))
      ours = nullptr;
    CloseHandle(own);
    return ours != nullptr;
  }
  void CloseTheirs() {
    if (theirs) CloseHandle(theirs);
    theirs = nullptr;
  }
  ~Pipe() {
    CloseTheirs();
    if (ours) CloseHandle(ours);
  }
};

// The input for a started program, written into its pipe by a thread of its
// own, which owns it and ends when all is written or the program has gone
// (the write then fails): the program's output is read meanwhile, so
// neither side waits for the other.
struct Feed {
  HANDLE pipe;
  std::string bytes;
};

DWORD WINAPI FeedInput(void* parameter) {
  Feed* feed = static_cast<Feed*>(parameter);
  const char* at = feed->bytes.data();
  size_t left = feed->bytes.size();
  DWORD done = 0;
  while (left > 0 &&
         ::WriteFile(feed->pipe, at, static_cast<DWORD>(std::min<size_t>(left, 65536)), &done, nullptr) && done > 0) {
    at += done;
    left -= done;
  }
  CloseHandle(feed->pipe);
  delete feed;
  return 0;
}

// Reads what the pipe holds now, never waiting for more; keeps up to
// Host::kMostPrinted bytes in all. True when something was read.
bool ReadWhatIsThere(HANDLE pipe, std::string* bytes) {
  static char buffer[65536];
  bool read = false;
  DWORD there = 0, got = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &there, nullptr) && there > 0 &&
         ::ReadFile(pipe, buffer, std::min<DWORD>(there, sizeof buffer), &got, nullptr) && got > 0) {
    bytes->append(buffer, std::min<size_t>(got, Host::kMostPrinted - std::min(bytes->size(), Host::kMostPrinted)));
    read = true;
  }
  return read;
}

}  // namespace

Host::Wait Win32Host::RunToEndCapturing(const std::string& command_line, const std::string& input,
                                        std::string* printed, unsigned limit, int* exit_code) {
  printed->clear();
  Pipe in, out;
  if (!in.Make(true, 0) || !out.Make(false, 65536)) return Wait::kNotStarted;
  HANDLE process = StartProgram(command_line, kHide, in.theirs, out.theirs);
  // The program holds its own copies of its ends now; the output pipe ends
  // once it (and whatever it started) has closed them.
  in.CloseTheirs();
  out.CloseTheirs();
  if (!process) return Wait::kNotStarted;
  const std::string bytes = ToCodePage(input);
  if (!bytes.empty()) {
    Feed* feed = new Feed{in.ours, bytes};
    DWORD thread_id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &FeedInput, feed, 0, &thread_id);
    if (thread) {
      in.ours = nullptr;  // the thread's to close
      CloseHandle(thread);
    } else {
      delete feed;
    }
  }
  // Without input (or without its thread) the program reads the end at once.
  if (in.ours) {
    CloseHandle(in.ours);
    in.ours = nullptr;
  }
  // The output is read as it comes, the windows painted in between; the
  // program writes its last output before it ends, so once it has ended
  // the pipe holds the rest.
  std::string output;
  const DWORD start = GetTickCount();
  bool finished = false;
  for (;;) {
    const bool read = ReadWhatIsThere(out.ours, &output);
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      ReadWhatIsThere(out.ours, &output);
      finished = true;
      break;
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= limit) break;
    if (read)
      PaintWaiting();
    else
      WaitPainting(process, std::min<DWORD>(limit - elapsed, 20));
  }
  Conclude(process, finished, exit_code);
  if (!finished) ReadWhatIsThere(out.ours, &output);
  CloseHandle(process);
  *printed = FromCodePage(output);
  return finished ? Wait::kFinished : Wait::kTimedOut;
}

}  // namespace platform
