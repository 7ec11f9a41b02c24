// The statement window (Form4): a short statement about the program. The
// administrator may type into it; nothing typed is kept.
#pragma once

#include "look/layout.h"
#include "platform/platform.h"

namespace app {

class TForm4 : public platform::ModalWindow {
 public:
  const char* Kind() const override { return "TForm4"; }
  static const look::WindowLayout& Layout();
  static const char* Text();
};

}  // namespace app
