// The real control behind a value object of platform/controls.h: one peer per
// window handle, answering the calls that fit its kind of control.
#pragma once

#include "platform/win32/win32_host.h"

#include "look/layout.h"
#include "platform/controls.h"

namespace win32 {

class HwndPeer : public platform::ControlPeer {
 public:
  HwndPeer(HWND hwnd, look::Kind kind) : hwnd_(hwnd), kind_(kind) {}

  std::string GetText() override;
  void SetText(const std::string& text) override;
  bool GetEnabled() override;
  void SetEnabled(bool enabled) override;
  // The control's own visible state; a control on a hidden page is visible.
  bool GetVisible() override;
  void SetVisible(bool visible) override;
  bool GetChecked() override;
  void SetChecked(bool checked) override;
  // The position as set, which may lie beyond the bar's range of 0 to 100;
  // the bar shows it clamped to that range.
  int GetPosition() override;
  void SetPosition(int position) override;
  std::vector<std::string> GetItems() override;
  void SetItems(const std::vector<std::string>& items) override;
  int GetItemIndex() override;
  void SetItemIndex(int index) override;
  void SetItemLooks(const std::vector<platform::ItemLook>& looks) override { looks_ = looks; }
  const std::vector<platform::ItemLook>& looks() const { return looks_; }

 private:
  HWND hwnd_;
  look::Kind kind_;
  int position_ = 0;
  std::vector<platform::ItemLook> looks_;
};

}  // namespace win32
