// The look of a window as data: every control with its kind, parent, place,
// text, hint, tab order, font and first state. The Win32 front end creates
// the real controls from it; the tests read it to check the window.
#pragma once

#include <cstring>
#include <vector>

#include "platform/controls.h"

namespace look {

enum class Kind {
  kCoolBar,      // the toolbar strip
  kPanel,        // a plain container without bevel
  kSpeedButton,  // a flat picture button, no focus
  kGroupBox,
  kLabel,
  kEdit,
  kGlyphButton,  // a push button with a caption and a small two-state picture
  kCheckBox,
  kComboBox,     // a drop-down list without typing
  kProgressBar,
  kTabBook,      // a tabbed notebook
  kPage,         // one page of the notebook
  kImage,
  kStatusBar,
  kMemo,         // a multi-line text area with a vertical scroll bar
  kListBox,      // a list of items with a vertical scroll bar
  kDirectoryList,  // a list box showing each item indented, its small picture before it
  kDriveCombo,   // a drop-down list without typing, each item with its small picture
  kEditCombo,    // a drop-down list whose text is typed or chosen
  kButton,       // a plain push button
};

// A font of the program's text. Every one is made for the GB2312 character
// set: the text is Chinese, and asking for that set has the system's font
// mapper pick a Chinese face wherever one is installed, whatever the
// system's own code page (a face without Chinese gives way to one with it).
struct Font {
  const char* face;
  int height;    // character height in pixels
};

extern const Font kSansSerif13;  // "MS Sans Serif", 13 px
extern const Font kSansSerif11;  // "MS Sans Serif", 11 px
extern const Font kSong13;       // "宋体", 13 px
extern const Font kSong12;       // "宋体", 12 px

struct ControlLayout {
  const char* name;
  int id;              // the control's identifier in its window, 0 for none
  Kind kind;
  const char* parent;  // "" for the window's client area
  int left, top, width, height;  // width and height 0: sized to the text
  // Caption, text, or items separated by '\n'; a drop-down that takes typing
  // shows its first item.
  const char* text;
  const char* hint;    // tooltip, or ""
  int tab_order;       // -1: not a tab stop
  bool enabled;
  bool visible;
  const Font* font;    // nullptr: the parent's font
  const char* picture; // the picture of a picture button or image, or ""
};

struct MenuLayout {
  const char* name;
  int id;               // the command identifier of the item
  const char* caption;  // "-" for a separator; "&" marks the Alt letter
  const char* parent;   // "" for a menu of the bar
};

struct WindowLayout {
  const char* name;     // "Form1"
  const char* caption;
  int left, top;        // screen position
  int client_width, client_height;
  const Font* font;
  const std::vector<ControlLayout>* controls;
  const std::vector<MenuLayout>* menu;  // nullptr: no menu bar
};

// The row of a control or menu item of a window, by name or by identifier;
// nullptr when the window has none.
const ControlLayout* FindControl(const WindowLayout& window, const char* name);
const ControlLayout* FindControl(const WindowLayout& window, int id);
const MenuLayout* FindMenuItem(const WindowLayout& window, const char* name);
const MenuLayout* FindMenuItem(const WindowLayout& window, int id);

// Gives each control the first state of its row: its text or its items, its
// enabled and visible states. A form calls it on its controls when it is
// made, so the value objects start as the window the front end builds from
// the same rows.
void SetFirstStates(const WindowLayout& window, const std::vector<platform::Control*>& controls);

}  // namespace look
