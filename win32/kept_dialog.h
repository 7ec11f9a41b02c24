// A dialog made once, at its first showing, and kept, hidden, for the rest of
// the run, so that its fields keep what was entered: shown modally at each
// use, hidden again by its OK button (the OK result), its close box or Esc
// (any other result).
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"
#include "win32/peers.h"
#include "win32/window_builder.h"
#include "win32/window_class.h"

namespace win32 {

class KeptDialog : public WindowHandler {
 public:
  // Creates the window from its layout with a fixed dialog border, a close
  // box and no other title-bar button, and binds the form's controls, each
  // showing what it holds.
  HWND Create(const wchar_t* class_name, const look::WindowLayout& layout, HWND owner,
              const std::vector<platform::Control*>& controls, const char* ok_button);
  bool Made() const { return window_.hwnd != nullptr; }
  // Shows it modally over its owner; returns how it ended.
  platform::ModalResult Show();

  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  // A notification of one of the dialog's controls (WM_COMMAND).
  virtual void Notify(const look::ControlLayout& control, int code) = 0;

  BuiltWindow window_;
  HWND owner_ = nullptr;

 private:
  Peers peers_;
  const char* ok_button_ = nullptr;
};

}  // namespace win32
