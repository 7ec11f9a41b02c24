#include "look/layout.h"

namespace look {

const Font kSansSerif13 = {"MS Sans Serif", 13};
const Font kSansSerif11 = {"MS Sans Serif", 11};
const Font kSong13 = {"宋体", 13};
const Font kSong12 = {"宋体", 12};

const ControlLayout* FindControl(const WindowLayout& window, const char* name) {
  for (const ControlLayout& c : *window.controls)
    if (std::strcmp(c.name, name) == 0) return &c;
  return nullptr;
}

const ControlLayout* FindControl(const WindowLayout& window, int id) {
  for (const ControlLayout& c : *window.controls)
    if (id != 0 && c.id == id) return &c;
  return nullptr;
}

const MenuLayout* FindMenuItem(const WindowLayout& window, const char* name) {
  if (window.menu)
    for (const MenuLayout& m : *window.menu)
      if (std::strcmp(m.name, name) == 0) return &m;
  return nullptr;
}

const MenuLayout* FindMenuItem(const WindowLayout& window, int id) {
  if (window.menu)
    for (const MenuLayout& m : *window.menu)
      if (id != 0 && m.id == id) return &m;
  return nullptr;
}

}  // namespace look
