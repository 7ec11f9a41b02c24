// The wait dialog (Form2) shown while the boot image is unpacked: a five
// second countdown with a bar, closing itself on its sixth tick.
#pragma once

#include <functional>
#include <vector>

#include "look/layout.h"
#include "platform/controls.h"
#include "platform/platform.h"

namespace pxe {

class TForm2 : public platform::ModalWindow {
 public:
  TForm2();
  const char* Kind() const override { return "TForm2"; }
  static const look::WindowLayout& Layout();
  static const unsigned kTimer2Interval = 1000;  // milliseconds
  // The controls, as the window shows them.
  std::vector<platform::Control*> Controls() { return {&Label1, &Label2, &ProgressBar1}; }

  // One tick of Timer2: the bar and the count move on; at 0 the dialog closes.
  void Timer2Timer();
  bool Closed() const { return closed_; }
  // Called when the dialog closes itself; the front end ends the modal loop.
  std::function<void()> on_close;

  platform::Label Label1{"Label1"};
  platform::Label Label2{"Label2"};  // the count, from 5
  platform::ProgressBar ProgressBar1{"ProgressBar1"};
  platform::Timer Timer2{kTimer2Interval};  // runs from the dialog's creation

 private:
  bool closed_ = false;
};

}  // namespace pxe
