// What every step of the end-to-end driver uses to look at the program from
// outside, as a user would: finding its windows and controls, reading their
// texts, waiting, pressing keys, answering message boxes; and the record of
// what failed.
#pragma once

#include "platform/win32/win32_host.h"  // first: it tames windows.h's names

#include <string>
#include <vector>

namespace e2e {

// The words of a step after its name.
using Args = std::vector<std::string>;

// A step of the driver: `driver NAME ARGS...`; its result is the number of
// failures, 0 when all went well.
struct Step {
  const char* name;
  size_t min_args;
  int (*run)(const Args& args);
  const char* usage;
};

// The steps of each window's file.
std::vector<Step> MainWindowSteps();
std::vector<Step> TextWindowSteps();
std::vector<Step> WaitDialogSteps();
std::vector<Step> RplSteps();
std::vector<Step> FontSteps();

// Failures so far; Fail prints one.
int Failures();
void Fail(const std::string& what);
void Check(bool ok, const std::string& what);
void CheckEqStr(const std::string& actual, const std::string& expected, const std::string& what);
void CheckEqInt(long actual, long expected, const std::string& what);

// Waits up to `ms` for a condition, checking every 50 ms.
template <typename F>
bool WaitFor(F condition, int ms = 10000) {
  for (int waited = 0; waited <= ms; waited += 50) {
    if (condition()) return true;
    Sleep(50);
  }
  return false;
}

// Windows and controls.
HWND FindVisible(const wchar_t* class_name);  // a visible top-level window of a class
HWND MainWindow();
std::string Text(HWND w);  // WM_GETTEXT, which reads another process's edit boxes
// The identifier of a control or menu item of the main window by its name,
// and the name of a main-window control by its identifier.
int IdOf(const char* name);
const char* NameOf(int id);
// A control anywhere in one of the program's windows, by its name in that
// window's rows.
HWND Control(HWND window, const char* name);
RECT PlaceInParent(HWND control);
// The window's place and size: the client area's (client) or the whole window's.
void CheckFrame(HWND w, int left, int top, int width, int height, bool client, const std::string& n);
void CheckStyle(HWND w, bool sizeable, const std::string& n);

// Memory in the program's process, for the messages whose answer lies behind
// a pointer.
class Remote {
 public:
  Remote(HWND window, size_t size);
  ~Remote();
  Remote(const Remote&) = delete;
  Remote& operator=(const Remote&) = delete;
  bool ok() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  void Write(size_t offset, const void* data, size_t n);
  void Read(size_t offset, void* data, size_t n);

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

// Texts behind pointers: a notebook tab's caption and place, a status bar's
// text, the hint a tooltip control holds for a control; the tooltip control
// of the main window.
std::string TabCaption(HWND tab, int index);
RECT TabRect(HWND tab, int index);
std::string StatusText(HWND bar);
std::string Hint(HWND tooltip, HWND owner, HWND control);
HWND TooltipOf(HWND main);

// The keyboard. A key is a virtual-key code, with kAlt, kCtrl or kShift held.
enum KeyFlags : unsigned { kAlt = 0x100, kCtrl = 0x200, kShift = 0x400 };
// Brings `window` to the front and types the keys, 300 ms apart.
void Keys(HWND window, const std::vector<unsigned>& keys);
// The control that has the keyboard focus in the thread of `window`.
HWND Focus(HWND window);
// The name of the main-window control with the focus, "" for none.
std::string FocusName(HWND main);
// Tabs from the focus to a control of the main window (at most `limit`
// presses); false when it is never reached.
bool TabTo(HWND main, const char* name, int limit = 40);

// A visible message box (#32770) with this caption, or nullptr.
HWND FindMessageBox(const std::string& caption);
// Waits for a message box, checks its caption, text (unless "*") and icon,
// and presses OK, Cancel, Yes or No.
int Answer(const std::string& caption, const std::string& text, const std::string& button,
           const std::string& icon);

}  // namespace e2e
