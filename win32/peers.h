// The real controls behind the value objects of platform/controls.h: one peer
// per kind of control, each method one message to the control. A kind answers
// the calls that do not fit it trivially (nothing read, nothing done).
#pragma once

#include "platform/win32/win32_host.h"

#include <map>
#include <memory>
#include <vector>

#include "look/layout.h"
#include "platform/controls.h"
#include "win32/window_builder.h"

namespace win32 {

// What every control answers: its text, enabled and visible states.
class WindowPeer : public platform::ControlPeer {
 public:
  explicit WindowPeer(HWND hwnd) : hwnd_(hwnd) {}
  std::string GetText() override;
  void SetText(const std::string& text) override;
  bool GetEnabled() override { return IsWindowEnabled(hwnd_) != 0; }
  void SetEnabled(bool enabled) override { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
  // The control's own visible state; a control on a hidden page is visible.
  bool GetVisible() override { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
  void SetVisible(bool visible) override { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

  bool GetChecked() override { return false; }
  void SetChecked(bool) override {}
  int GetPosition() override { return 0; }
  void SetPosition(int) override {}
  std::vector<std::string> GetItems() override { return {}; }
  void SetItems(const std::vector<std::string>&) override {}
  int GetItemIndex() override { return -1; }
  void SetItemIndex(int) override {}
  void SetItemLooks(const std::vector<platform::ItemLook>&) override {}

 protected:
  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendMessageW(hwnd_, message, wparam, lparam);
  }
  HWND hwnd_;
};

// Edit boxes and labels: the base's text.
using EditPeer = WindowPeer;
using LabelPeer = WindowPeer;

// A button the program paints itself: a new caption or state repaints it.
class ButtonPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  void SetText(const std::string& text) override {
    WindowPeer::SetText(text);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void SetEnabled(bool enabled) override {
    WindowPeer::SetEnabled(enabled);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
};

class CheckBoxPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  bool GetChecked() override { return Send(BM_GETCHECK) == BST_CHECKED; }
  // BM_SETCHECK sends no notification; the value object runs the change handler.
  void SetChecked(bool checked) override { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
};

// A bar of range 0 to 100. The position is kept as set, which may lie beyond
// that range; the bar shows it clamped.
class ProgressBarPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  int GetPosition() override { return position_; }
  void SetPosition(int position) override;

 private:
  int position_ = 0;
};

// A list box; an owner-drawn one shows each item's look.
class ListPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  std::vector<std::string> GetItems() override;
  void SetItems(const std::vector<std::string>& items) override;
  int GetItemIndex() override { return static_cast<int>(Send(LB_GETCURSEL)); }
  void SetItemIndex(int index) override { Send(LB_SETCURSEL, index); }
  void SetItemLooks(const std::vector<platform::ItemLook>& looks) override;
};

// A drop-down list (the text of an editable one is its window text); an
// owner-drawn one shows each item's look.
class ComboPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  std::vector<std::string> GetItems() override;
  void SetItems(const std::vector<std::string>& items) override;
  int GetItemIndex() override { return static_cast<int>(Send(CB_GETCURSEL)); }
  void SetItemIndex(int index) override { Send(CB_SETCURSEL, index); }
  void SetItemLooks(const std::vector<platform::ItemLook>& looks) override;
};

// The peer of a control of that kind.
std::unique_ptr<platform::ControlPeer> MakePeer(HWND hwnd, look::Kind kind);

// The peers of a window's controls. Binding gives a value object its peer,
// which takes the state the object holds; unbinding, while the window still
// stands, takes each control's state back into its object (a form outlives
// its window, and shows the same at the next showing).
//
// The one way an event reaches its handler: the window's notification of a
// control (its identifier and code) finds the control's row, the row its
// value object, and when the code is the event of the row's kind (a button's
// click, a list's change), the object's Notify runs the handler the form put
// on it.
class Peers {
 public:
  Peers() = default;
  Peers(const Peers&) = delete;
  Peers& operator=(const Peers&) = delete;
  ~Peers() { Unbind(); }
  // Binds each value object to the control of its row in the window, and a
  // menu item's to its identifier.
  void Bind(const BuiltWindow& window, const std::vector<platform::Control*>& controls);
  void Unbind();
  // A notification of the window's control or menu item `id`; false when no
  // value object hears of it.
  bool Notify(int id, int code);
  // The real control of a value object, or nullptr.
  HWND HwndOf(const platform::Control& control) const;

 private:
  struct Bound {
    platform::Control* control;
    HWND hwnd;   // nullptr for a menu item
    int event;   // the notification code of the kind's event
  };
  std::map<int, Bound> by_id_;
  std::vector<std::unique_ptr<platform::ControlPeer>> peers_;
};

}  // namespace win32
