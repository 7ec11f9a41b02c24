#include "win32/peers.h"

#include <commctrl.h>

#include "win32/owner_draw.h"

namespace win32 {

using platform::Narrow;
using platform::Widen;

std::string WindowPeer::GetText() {
  int n = static_cast<int>(Send(WM_GETTEXTLENGTH));
  std::wstring text(n + 1, L'\0');
  n = static_cast<int>(Send(WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(&text[0])));
  text.resize(n > 0 ? n : 0);
  return Narrow(text);
}

void WindowPeer::SetText(const std::string& text) {
  Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void ProgressBarPeer::SetPosition(int position) {
  position_ = position;
  Send(PBM_SETPOS, position < 0 ? 0 : position > 100 ? 100 : position);
  // The bar may be updated inside a long handler; show it at once.
  UpdateWindow(hwnd_);
}

std::vector<std::string> ListPeer::GetItems() {
  std::vector<std::string> items;
  int count = static_cast<int>(Send(LB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    int n = static_cast<int>(Send(LB_GETTEXTLEN, i));
    std::wstring item((n > 0 ? n : 0) + 1, L'\0');
    n = static_cast<int>(Send(LB_GETTEXT, i, reinterpret_cast<LPARAM>(&item[0])));
    item.resize(n > 0 ? n : 0);
    items.push_back(Narrow(item));
  }
  return items;
}

void ListPeer::SetItems(const std::vector<std::string>& items) {
  Send(LB_RESETCONTENT);
  for (const std::string& item : items) Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
}

void ListPeer::SetItemLooks(const std::vector<platform::ItemLook>& looks) {
  for (size_t i = 0; i < looks.size(); ++i) Send(LB_SETITEMDATA, i, ItemLookData(looks[i]));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

std::vector<std::string> ComboPeer::GetItems() {
  std::vector<std::string> items;
  int count = static_cast<int>(Send(CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    int n = static_cast<int>(Send(CB_GETLBTEXTLEN, i));
    std::wstring item((n > 0 ? n : 0) + 1, L'\0');
    n = static_cast<int>(Send(CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&item[0])));
    item.resize(n > 0 ? n : 0);
    items.push_back(Narrow(item));
  }
  return items;
}

void ComboPeer::SetItems(const std::vector<std::string>& items) {
  Send(CB_RESETCONTENT);
  for (const std::string& item : items) Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
}

void ComboPeer::SetItemLooks(const std::vector<platform::ItemLook>& looks) {
  for (size_t i = 0; i < looks.size(); ++i) Send(CB_SETITEMDATA, i, ItemLookData(looks[i]));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

std::unique_ptr<platform::ControlPeer> MakePeer(HWND hwnd, look::Kind kind) {
  switch (kind) {
    case look::Kind::kGlyphButton:
    case look::Kind::kSpeedButton:
      return std::make_unique<ButtonPeer>(hwnd);
    case look::Kind::kCheckBox:
      return std::make_unique<CheckBoxPeer>(hwnd);
    case look::Kind::kProgressBar:
      return std::make_unique<ProgressBarPeer>(hwnd);
    case look::Kind::kListBox:
    case look::Kind::kDirectoryList:
      return std::make_unique<ListPeer>(hwnd);
    case look::Kind::kComboBox:
    case look::Kind::kDriveCombo:
    case look::Kind::kEditCombo:
      return std::make_unique<ComboPeer>(hwnd);
    case look::Kind::kEdit:
    case look::Kind::kMemo:
      return std::make_unique<EditPeer>(hwnd);
    default:
      return std::make_unique<LabelPeer>(hwnd);
  }
}

void Peers::Bind(const BuiltWindow& window, const std::vector<platform::Control*>& controls) {
  for (platform::Control* control : controls) {
    const std::string& name = control->name();
    if (const look::ControlLayout* row = window.Find(name)) {
      HWND hwnd = window.Control(name);
      if (!hwnd) continue;
      peers_.push_back(MakePeer(hwnd, row->kind));
      control->Bind(peers_.back().get());
      by_id_[row->id] = {control, hwnd, EventOf(row->kind)};
    } else if (const look::MenuLayout* item = look::FindMenuItem(*window.layout, name.c_str())) {
      by_id_[item->id] = {control, nullptr, kMenuEvent};
    }
  }
}

void Peers::Unbind() {
  for (auto& entry : by_id_) entry.second.control->Unbind();
  by_id_.clear();
  peers_.clear();
}

bool Peers::Notify(int id, int code) {
  auto it = by_id_.find(id);
  if (it == by_id_.end() || it->second.event != code) return false;
  it->second.control->Notify();
  return true;
}

HWND Peers::HwndOf(const platform::Control& control) const {
  for (const auto& entry : by_id_)
    if (entry.second.control == &control) return entry.second.hwnd;
  return nullptr;
}

}  // namespace win32
