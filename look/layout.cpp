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

namespace {

std::vector<std::string> Items(const std::string& text) {
  std::vector<std::string> items;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    items.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace

void SetFirstStates(const WindowLayout& window, const std::vector<platform::Control*>& controls) {
  for (platform::Control* control : controls) {
    const ControlLayout* row = FindControl(window, control->name().c_str());
    if (!row) continue;
    std::vector<std::string> items = Items(row->text);
    if (auto* combo = dynamic_cast<platform::EditComboBox*>(control)) {
      combo->SetItems(items);
      combo->SetText(items.empty() ? "" : items[0]);
    } else if (auto* text = dynamic_cast<platform::TextControl*>(control)) {
      text->SetText(row->text);
    } else if (auto* list = dynamic_cast<platform::ListBox*>(control)) {
      list->SetItems(items);
    }
    control->SetEnabled(row->enabled);
    control->SetVisible(row->visible);
  }
}

}  // namespace look
