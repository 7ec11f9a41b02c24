#include "standins/win32/console.h"

#include "platform/command_line.h"

#include "platform/encoding.h"
#include "platform/win32/win32_host.h"

namespace standins {
namespace {

// Text for another program or a file: code page 936, lines ending in CR LF.
std::string ForTheMachine(const std::string& utf8) {
  std::string crlf;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) crlf += '\r';
    crlf += utf8[i];
  }
  return platform::ToCodePage(crlf);
}

void Write(DWORD which, const std::string& utf8) {
  if (utf8.empty()) return;
  HANDLE out = GetStdHandle(which);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD mode, done;
  std::string bytes = ForTheMachine(utf8);
  if (GetConsoleMode(out, &mode)) {
    // A console shows UTF-16 whatever its code page.
    std::wstring wide = platform::Widen(platform::FromCodePage(bytes));
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
    return;
  }
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0 && ::WriteFile(out, p, static_cast<DWORD>(left), &done, nullptr) && done > 0) {
    p += done;
    left -= done;
  }
}

std::string ReadStandardInput() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string bytes;
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD got;
  while (::ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return platform::FromCodePage(bytes);
}

HANDLE Inheritable(HANDLE handle) {
  HANDLE copy = nullptr;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                       DUPLICATE_SAME_ACCESS))
    return nullptr;
  return copy;
}

class ConsoleContext : public Context {
 public:
  explicit ConsoleContext(platform::Host& host) : Context(host) {}

  // What the stand-in printed so far goes out before another program prints.
  void Flush() {
    Write(STD_OUTPUT_HANDLE, output);
    Write(STD_ERROR_HANDLE, error);
    output.clear();
    error.clear();
  }

  // The program's standard input is always a file holding `input` (empty:
  // at once at its end), never this program's console; its output and error
  // are this program's.
  int RunAndWait(const std::string& command_line, const std::string& input_text,
                 std::string* printed) override {
    Flush();
    wchar_t dir[MAX_PATH + 1], name[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH, dir) || !GetTempFileNameW(dir, L"cmi", 0, name)) return -1;
    std::string bytes = platform::ToCodePage(input_text);
    HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr);
    DWORD done = 0;
    bool written = file != INVALID_HANDLE_VALUE &&
                   (bytes.empty() || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                  &done, nullptr) &&
                                      done == bytes.size()));
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    int code = -1;
    if (written) code = Start(command_line, name, printed);
    DeleteFileW(name);
    return code;
  }

 private:
  // With `printed`, the program's output and error go into a file of their
  // own, read back into `printed` when it has ended.
  int Start(const std::string& command_line, const wchar_t* input_file, std::string* printed) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE in = CreateFileW(input_file, GENERIC_READ, FILE_SHARE_READ, &sa, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return -1;
    std::wstring capture_name;
    HANDLE out, err;
    if (printed) {
      wchar_t dir[MAX_PATH + 1], name[MAX_PATH + 1];
      if (!GetTempPathW(MAX_PATH, dir) || !GetTempFileNameW(dir, L"cmo", 0, name)) {
        CloseHandle(in);
        return -1;
      }
      capture_name = name;
      out = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_TEMPORARY, nullptr);
      if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return -1;
      }
      err = Inheritable(out);
    } else {
      out = Inheritable(GetStdHandle(STD_OUTPUT_HANDLE));
      err = Inheritable(GetStdHandle(STD_ERROR_HANDLE));
    }
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    std::wstring line = platform::Widen(command_line);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION pi;
    int code = -1;
    if (CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                       &pi)) {
      WaitForSingleObject(pi.hProcess, INFINITE);
      DWORD exit_code = 0;
      GetExitCodeProcess(pi.hProcess, &exit_code);
      code = static_cast<int>(exit_code);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
    CloseHandle(in);
    if (printed && out) {
      SetFilePointer(out, 0, nullptr, FILE_BEGIN);
      std::string bytes;
      char buffer[4096];
      DWORD got;
      while (::ReadFile(out, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
      *printed += platform::FromCodePage(bytes);
    }
    if (out) CloseHandle(out);
    if (err) CloseHandle(err);
    if (!capture_name.empty()) DeleteFileW(capture_name.c_str());
    return code;
  }
};

}  // namespace

std::vector<std::string> ArgumentsOf(const std::wstring& command_line) {
  // The program's name: a quoted run, or up to the first blank.
  size_t i = 0;
  if (i < command_line.size() && command_line[i] == L'"') {
    size_t close = command_line.find(L'"', 1);
    i = close == std::wstring::npos ? command_line.size() : close + 1;
  }
  while (i < command_line.size() && command_line[i] != L' ' && command_line[i] != L'\t') ++i;
  return platform::SplitCommandLine(platform::Narrow(command_line.substr(i)));
}

int RunConsoleStandin(Main main, WantsInput wants_input) {
  platform::Win32Host host;
  ConsoleContext context(host);
  std::vector<std::string> args = ArgumentsOf(GetCommandLineW());
  context.arguments = platform::ArgumentsText(platform::Narrow(GetCommandLineW()));
  if (wants_input && wants_input(args)) context.input = ReadStandardInput();
  int code = main(context, args);
  context.Flush();
  return code;
}

}  // namespace standins
