#include "win32/controls_win32.h"

#include <commctrl.h>

namespace win32 {

std::string HwndPeer::GetText() {
  int n = GetWindowTextLengthW(hwnd_);
  std::wstring text(n + 1, L'\0');
  n = GetWindowTextW(hwnd_, &text[0], n + 1);
  text.resize(n > 0 ? n : 0);
  return platform::Narrow(text);
}

void HwndPeer::SetText(const std::string& text) {
  SetWindowTextW(hwnd_, platform::Widen(text).c_str());
  // Pictured buttons paint their caption themselves.
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool HwndPeer::GetEnabled() { return IsWindowEnabled(hwnd_) != 0; }

void HwndPeer::SetEnabled(bool enabled) {
  EnableWindow(hwnd_, enabled ? TRUE : FALSE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool HwndPeer::GetVisible() { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void HwndPeer::SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

bool HwndPeer::GetChecked() {
  return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void HwndPeer::SetChecked(bool checked) {
  // BM_SETCHECK sends no notification; the value object runs the change handler.
  SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int HwndPeer::GetPosition() { return position_; }

void HwndPeer::SetPosition(int position) {
  position_ = position;
  int shown = position < 0 ? 0 : position > 100 ? 100 : position;
  SendMessageW(hwnd_, PBM_SETPOS, shown, 0);
  // The bar may be updated inside a long handler; show it at once.
  UpdateWindow(hwnd_);
}

std::vector<std::string> HwndPeer::GetItems() {
  std::vector<std::string> items;
  int count = static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    int n = static_cast<int>(SendMessageW(hwnd_, CB_GETLBTEXTLEN, i, 0));
    if (n < 0) n = 0;
    std::wstring item(n + 1, L'\0');
    n = static_cast<int>(SendMessageW(hwnd_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&item[0])));
    item.resize(n > 0 ? n : 0);
    items.push_back(platform::Narrow(item));
  }
  return items;
}

void HwndPeer::SetItems(const std::vector<std::string>& items) {
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    std::wstring wide = platform::Widen(item);
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

int HwndPeer::GetItemIndex() { return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)); }

void HwndPeer::SetItemIndex(int index) { SendMessageW(hwnd_, CB_SETCURSEL, index, 0); }

}  // namespace win32
