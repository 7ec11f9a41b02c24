// Building the controls of a window from its layout (look::WindowLayout):
// every control at its place in tab order within its parent, with its font,
// text, first state and tooltip; and the menu bar.
#pragma once

#include "platform/win32/win32_host.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "look/layout.h"

namespace win32 {

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
  // The first control of a kind, or nullptr.
  HWND OfKind(look::Kind kind) const;
  const look::ControlLayout* Find(const std::string& name) const;
  const look::ControlLayout* LayoutOf(HWND control) const;
  // The font of a layout (nullptr: the system's dialog font), for the Chinese
  // character set; made once, kept for the window's life.
  HFONT Font(const look::Font* font);

  std::map<std::string, HWND> controls;
  HWND tooltip = nullptr;
  HFONT tooltip_font = nullptr;  // the tooltip's font, for the Chinese character set

 private:
  std::map<const look::Font*, HFONT> fonts_;
};

// A copy of a font made for the GB2312 character set; nullptr when `base`
// cannot be read.
HFONT ChineseFont(HFONT base);

// Creates every control of the window's layout inside window->hwnd, each with
// its identifier, in tab order within its parent; sets fonts, texts, first
// states and tooltips.
void BuildControls(BuiltWindow* window);

// The notification that is a kind's event (a click, a change of choice), or
// kNoEvent; a menu item's is kMenuEvent.
constexpr int kNoEvent = -1;
constexpr int kMenuEvent = 0;
int EventOf(look::Kind kind);

// The height of an item of the lists that show a picture before each item.
constexpr int kPictureItemHeight = 18;

}  // namespace win32
