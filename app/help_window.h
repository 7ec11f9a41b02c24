// The help window (Form5): the setup steps for both boot methods, read-only.
#pragma once

#include "look/layout.h"
#include "platform/platform.h"

namespace app {

class TForm5 : public platform::ModalWindow {
 public:
  const char* Kind() const override { return "TForm5"; }
  static const look::WindowLayout& Layout();
  // The help text, lines separated by CR LF.
  static const char* Text();
};

}  // namespace app
