// A dialog made once, at its first showing, and kept, hidden, for the rest of
// the run: shown modally at each use, hidden again by its OK button (the OK
// result), its close box or Esc (any other result).
#pragma once

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
  // showing what it holds. Its OK button is the control of identifier IDOK.
  HWND Create(const wchar_t* class_name, const look::WindowLayout& layout, HWND owner,
              const std::vector<platform::Control*>& controls);
  bool Made() const { return window_.hwnd != nullptr; }
  // Shows it modally over its owner; returns how it ended.
  platform::ModalResult Show();

  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) override;
  // Enter on a list that opens its items (a directory tree) opens the chosen
  // one, as a double click does, rather than pressing the OK button.
  bool PreTranslate(const MSG& msg) override;

 private:
  BuiltWindow window_;
  HWND owner_ = nullptr;
  Peers peers_;
};

}  // namespace win32
