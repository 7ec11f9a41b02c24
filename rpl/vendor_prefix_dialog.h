// The vendor-prefix dialog (Form3): asks for the first six hexadecimal digits
// of the workstation cards' addresses. Made once for the whole run, so the
// field keeps what was entered last. The dialog itself checks nothing.
#pragma once

#include "look/layout.h"
#include "platform/controls.h"
#include "platform/platform.h"

namespace rpl {

class TForm3 : public platform::ModalWindow {
 public:
  TForm3();
  const char* Kind() const override { return "TForm3"; }
  static const look::WindowLayout& Layout();
  // The controls, as the window shows them; its OK button is the dialog's own.
  std::vector<platform::Control*> Controls() { return {&MAC}; }

  platform::EditComboBox MAC{"MAC"};  // the known prefixes, the first shown
};

}  // namespace rpl
