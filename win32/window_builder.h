// Building any window of the program from its layout (look::WindowLayout): the
// frame, the fonts, every control at its place in tab order, the tooltips, the
// menu bar; and the drawing of the controls the program paints itself (the
// picture buttons and the illustration).
#pragma once

#include "platform/win32/win32_host.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "look/layout.h"

namespace win32 {

// What a window procedure of the program answers to: the window's object.
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  virtual LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) = 0;
};

// Registers a window class whose windows pass every message to the
// WindowHandler given as the creation parameter. Registering twice is harmless.
void RegisterHandlerClass(const wchar_t* class_name, HICON icon);

// A window made from its layout, with the handles of its controls.
class BuiltWindow {
 public:
  BuiltWindow() = default;
  BuiltWindow(const BuiltWindow&) = delete;
  BuiltWindow& operator=(const BuiltWindow&) = delete;
  ~BuiltWindow();

  HWND hwnd = nullptr;
  const look::WindowLayout* layout = nullptr;

  HWND Control(const std::string& name) const;
  const look::ControlLayout* Find(const std::string& name) const;
  const look::ControlLayout* LayoutOf(HWND control) const;
  HFONT Font(const look::Font* font);  // made once, kept for the window's life

  std::map<std::string, HWND> controls;
  HWND tooltip = nullptr;

 private:
  std::map<const look::Font*, HFONT> fonts_;
};

// Creates a top-level window of a class registered with RegisterHandlerClass.
// With `client_size` the layout's size is the client area (the frame and the
// menu bar are added), otherwise `outer_width` x `outer_height` is the whole
// window. The window stays hidden.
HWND CreateFrame(const wchar_t* class_name, const look::WindowLayout& layout, DWORD style,
                 DWORD ex_style, HWND owner, HMENU menu, bool client_size, int outer_width,
                 int outer_height, WindowHandler* handler);

// The menu bar of a layout, each item with its identifier.
HMENU BuildMenu(const std::vector<look::MenuLayout>& menu);

// Creates every control of the window's layout inside window->hwnd, each with
// its identifier, in tab order within its parent; sets fonts, texts, first
// states and tooltips.
void BuildControls(BuiltWindow* window);

// Paints an owner-drawn control of the window (picture buttons, the image);
// false for a control it does not know.
bool DrawControl(const BuiltWindow& window, const DRAWITEMSTRUCT& item);

// The program's icon, `size` pixels square.
HICON MakeIcon(int size);

// Shows `window` modally over `owner` and returns when it has been destroyed.
// The window's WM_CLOSE must call EndModal.
// Returns how it ended: the result EndModal was given, or kMrCancel.
platform::ModalResult RunModal(HWND owner, HWND window);
// Gives input back to the owner, then destroys the modal window.
void EndModal(HWND owner, HWND window, platform::ModalResult result = platform::kMrCancel);

// A window of one multi-line text area filling it: the help and statement
// windows.
struct TextWindowSpec {
  const wchar_t* class_name;
  const look::WindowLayout* layout;
  DWORD style;
  bool client_size;              // the layout gives the client area
  int outer_width, outer_height; // otherwise: the whole window
  bool read_only;
  bool follow_size;              // the text area follows the window's size
  const char* text;
};
// Creates the window, hidden, with the text shown from its top.
HWND CreateTextWindow(const TextWindowSpec& look, HWND owner);

}  // namespace win32
