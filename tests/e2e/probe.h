// How the end-to-end driver looks at the program from outside, as a user
// would: its windows by class, their controls by the names in their layout
// rows, what a control shows (one property at a time), the keyboard, message
// boxes; and the record of what failed.
#pragma once

#include "platform/win32/win32_host.h"  // first: it tames windows.h's names

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "look/layout.h"

namespace e2e {

using Args = std::vector<std::string>;

// Failures so far; Fail prints one.
int Failures();
void Fail(const std::string& what);
void Check(bool ok, const std::string& what);
// A "*" in `expected` stands for any text, none too ("*" matches anything,
// "TEXT*" any text it begins, "A*B" any text from A to B); every other
// character for itself.
bool Matches(const std::string& shown, const std::string& expected);
void CheckMatch(const std::string& shown, const std::string& expected, const std::string& what);
// The first of the items that matches `expected`, or -1.
int IndexOf(const std::vector<std::string>& items, const std::string& expected);
// The parts with the separator between them.
std::string Join(const std::vector<std::string>& parts, const char* separator);

// A file in the folder of a module of this process (nullptr: of its
// program): the driver's and its font probe's, which lie side by side.
inline std::wstring HereFile(HMODULE module, const wchar_t* name) {
  wchar_t path[MAX_PATH] = {0};
  GetModuleFileNameW(module, path, MAX_PATH);
  std::wstring file = path;
  return file.substr(0, file.find_last_of(L'\\') + 1) + name;
}

// How long a step waits for what the program will show or do, in ms: the
// environment's KORRIN_WAIT_MS (demo/waits.sh sets it, scaled for slow
// machines, and Wine passes it on); 0 when it is not set or not a number.
int WaitMs();

// Waits for a condition, checking every 50 ms, until it holds or WaitMs()
// have passed on the clock; true when it held. Every wait for the program is
// this one, so none is shorter.
template <typename F>
bool WaitFor(F condition) {
  const DWORD start = GetTickCount(), ms = static_cast<DWORD>(WaitMs());
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > ms) return false;
    Sleep(50);
  }
}

// Runs `checks` until they find nothing wrong or the wait for the program
// has passed; only the failures of the last try are reported. For a state
// the program reaches in steps (a notebook page, a dialog filling in).
void CheckUntil(const std::function<void()>& checks);

// A visible top-level window of a class ("TForm1", "#32770", ...), with that
// caption when one is given, or nullptr.
HWND FindVisible(const std::string& class_name, const char* caption = nullptr);
// The same, waited for; a failure when none comes.
HWND WaitVisible(const std::string& class_name, const char* caption = nullptr);
HWND MainWindow();
bool IsClass(HWND w, const char* name);
// The whole text by WM_GETTEXT, which reads another process's edit boxes.
std::string Text(HWND w);
// The layout of one of the program's windows by its class, or nullptr.
const look::WindowLayout* LayoutOf(HWND window);
// A control of one of the program's windows by its name in the window's
// rows (a failure when there is none), and the name of the control that is,
// or holds, `w` ("" for none).
HWND Control(HWND window, const std::string& name);
std::string NameOf(HWND window, HWND w);

// What a control shows, by the property's name: text, items, chosen,
// enabled, shown, checked, position, focus, place ("LEFT TOP WIDTH HEIGHT" in
// its parent), style, topline, hint, tabstops. Lists are joined with "|",
// names with " ".
std::string Property(HWND window, HWND control, const std::string& property);
// Numbers separated by blanks, as "place" gives them; a control's place in
// its parent.
std::string Numbers(std::initializer_list<long> numbers);
RECT PlaceInParent(HWND control);
// The items of a list, a drop-down or a notebook; the place of a notebook's
// tab in the notebook; the control with the keyboard focus in the window's
// thread.
std::vector<std::string> Items(HWND control);
RECT TabRect(HWND tab, int index);
HWND Focus(HWND window);

// The keyboard: keys named "tab", "enter", "space", "esc" or one letter, each
// perhaps after "ctrl+", "shift+" or "alt+"; typed 300 ms apart into `window`
// brought to the front.
void Keys(HWND window, const std::vector<std::string>& keys);
// A click of the mouse at a point of a control (which takes the focus).
void ClickOn(HWND control, int x = 4, int y = 4);

// Waits for a message box and checks its caption, text and icon: the box, or
// nullptr when none came.
HWND Shown(const std::string& caption, const std::string& text, const std::string& icon);
// That, and presses OK, Cancel, Yes or No.
void Answer(const std::string& caption, const std::string& text, const std::string& button,
            const std::string& icon);

// The tables of the program's windows (windows.cpp). Checks the window `w`
// of the class and every control of it as the window's description gives
// them (`page`: the notebook page shown, "rpl" or "pxe").
void CheckWindow(HWND w, const std::string& class_name, const std::string& page);
// The names of the tab stops in the order Tab visits them (none for a class
// without a row).
std::vector<std::string> TabCycleOf(const std::string& class_name);
// True for a window that, gone, gives the main window its input back.
bool HandsBack(const std::string& class_name);

// fonts.cpp: every control of the program's shown windows (and their
// tooltips) has a font for the GB2312 character set, read from inside the
// program; each class named is among the windows read.
void CheckFonts(const Args& classes);

// The check window `w` (server_check_window.cpp): its items ("MARK WHAT"
// joined by "，"), its report against the one /check wrote into a file, and
// its copy button (pressed by a click or by Alt+C) filling the clipboard.
void CheckReportItems(HWND w, const std::string& items);
void CheckReportFile(HWND w, const std::string& file);
void CheckReportCopy(HWND w, const std::string& how);
// Every item of the check window is ready; the others are named.
void CheckReportReady(HWND w);

}  // namespace e2e
