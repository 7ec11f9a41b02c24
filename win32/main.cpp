// Program start: the main window is made and shown, and the messages are
// handled until it closes. Every other window is a modal dialog made at each
// showing. With "/check FILE" the server's check goes into FILE and no window
// is made.
#include "win32/forms.h"

#include <commctrl.h>

#include <cstdlib>

#include "app/answer_run.h"
#include "app/server.h"
#include "app/server_check.h"
#include "platform/command_line.h"

namespace {

// The words of the program's command line after its name.
std::vector<std::string> CommandWords() {
  std::vector<std::string> words = platform::SplitCommandLine(platform::Narrow(GetCommandLineW()));
  if (!words.empty()) words.erase(words.begin());
  return words;
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
  platform::Win32Host host;
  const int checked = app::CheckCommand(host, CommandWords());
  if (checked >= 0) return checked;
  const int ran = app::RunCommand(host, CommandWords());
  if (ran >= 0) return ran;

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_PROGRESS_CLASS | ICC_COOL_CLASSES |
                                                        ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  platform::Win32Ui ui;
  // The modal windows the handlers open, by their class.
  ui.AddModalWindow(win32::ShowTForm5);
  ui.AddModalWindow(win32::ShowTForm4);
  ui.AddModalWindow(win32::ShowTForm2);
  ui.AddModalWindow(win32::ShowTForm3);
  ui.AddModalWindow(win32::ShowTGetNetDrv);
  ui.AddModalWindow(win32::ShowTCheckForm);

  // The main window; its creation runs FormCreate.
  app::TForm1 form(host, ui);
  win32::Form1Window form1(form, ui);
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
