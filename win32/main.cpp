// Program start: the windows are created in their fixed order, only the main
// window is shown, and the messages are handled until it closes. With
// "/check FILE" the server's check goes into FILE and no window is shown.
#include "win32/forms.h"

#include <commctrl.h>

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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::Win32Host host;
  const int checked = app::CheckCommand(host, CommandWords());
  if (checked >= 0) return checked;

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

  // 1. The main window; its creation runs FormCreate.
  app::TForm1 form(host, ui);
  win32::Form1Window form1(form, ui);
  HWND main_window = form1.Create();
  if (!main_window) return 1;
  // 2. The boot-image wait dialog, Form2, is made at each run: its countdown
  //    starts with it.
  // 3. The vendor-prefix dialog, hidden, kept for the whole run.
  win32::CreateForm3(main_window, form.Form3);
  // 4. The statement window, hidden; the menu and toolbar open fresh ones.
  win32::CreateForm4(main_window);
  // 5. The driver chooser, hidden, kept for the whole run.
  win32::CreateGetNetDrv(main_window, form.GetNetDrv);

  ShowWindow(main_window, SW_SHOWNORMAL);
  UpdateWindow(main_window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!win32::DialogKeys(main_window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
