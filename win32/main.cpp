// Program start: the main window is made and shown, and the messages are
// handled until it closes. Every other window is a modal dialog made at each
// showing. With "/check FILE" the server's check goes into FILE, with "/run"
// an answer file is done, with "/undo" a session of the journal is listed or
// taken back; no window is made for them.
#include "win32/forms.h"

#include <commctrl.h>

#include <cstdlib>

#include "app/answer_run.h"
#include "app/server.h"
#include "app/server_check.h"
#include "app/undo.h"
#include "base/paths.h"
#include "platform/journal_host.h"
#include "platform/textfile.h"
#include "platform/command_line.h"

namespace {

// The words of the program's command line after its name.
std::vector<std::string> CommandWords() {
  std::vector<std::string> words = platform::SplitCommandLine(platform::Narrow(GetCommandLineW()));
  if (!words.empty()) words.erase(words.begin());
  return words;
}

// Lines for whoever started the program, on its standard output when it
// has one (a command line's redirection), in code page 936.
void Print(const std::vector<std::string>& lines) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE) return;
  const std::string bytes = platform::JoinLines(lines);
  DWORD written = 0;
  ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

// An exception no handler catches ends the program at once. The runtime's
// own handler would first write the exception's type, demangled, to a
// standard error that a windowed program does not have; this one keeps the
// demangler (some 46 KB) out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::Win32Host machine;
  const int checked = app::CheckCommand(machine, CommandWords());
  if (checked >= 0) return checked;
  const int ran = app::RunCommand(machine, CommandWords());
  if (ran >= 0) return ran;
  std::vector<std::string> printed;
  const int undone = app::UndoCommand(machine, CommandWords(), &printed);
  if (undone >= 0) {
    Print(printed);
    return undone;
  }

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_PROGRESS_CLASS | ICC_COOL_CLASSES |
                                                        ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  platform::Win32Ui window_system;
  // Every change the window makes is a step of this session's journal.
  platform::JournalHost host(machine, paths::JournalRoot(machine.CurrentDirectory()), "窗口");
  platform::JournalUi ui(window_system, host);
  // The modal windows the handlers open, by their class.
  window_system.AddModalWindow(win32::ShowTForm5);
  window_system.AddModalWindow(win32::ShowTForm4);
  window_system.AddModalWindow(win32::ShowTForm2);
  window_system.AddModalWindow(win32::ShowTForm3);
  window_system.AddModalWindow(win32::ShowTGetNetDrv);
  window_system.AddModalWindow(win32::ShowTCheckForm);
  window_system.AddModalWindow(win32::ShowTUndoForm);

  // The main window; its creation runs FormCreate.
  app::TForm1 form(host, ui);
  form.SetJournal(&host);
  win32::Form1Window form1(form, window_system);
  HWND main_window = form1.Create();
  if (!main_window) return 1;
  ShowWindow(main_window, SW_SHOWNORMAL);
  UpdateWindow(main_window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!form1.Translate(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
