// The check window: the server check's report, read-only, with a button that
// copies it to the clipboard. It opens from the menu "系统" and closes by its
// close button, its close box or Esc.
#pragma once

#include <string>
#include <vector>

#include "look/layout.h"
#include "platform/controls.h"
#include "platform/platform.h"

namespace app {

class TCheckForm : public platform::ModalWindow {
 public:
  // The report to show, and the line that sums it up below it.
  TCheckForm(platform::Ui& ui, const std::string& report, const std::string& summary);
  const char* Kind() const override { return "TCheckForm"; }
  static const look::WindowLayout& Layout();

  void Button1Click();  // copies the report to the clipboard and says so
  // The controls, as the window shows them; its close button is the dialog's own.
  std::vector<platform::Control*> Controls() { return {&Memo1, &Label1, &Button1}; }

  platform::Edit Memo1{"Memo1"};
  platform::Label Label1{"Label1"};
  platform::Button Button1{"Button1"};

 private:
  platform::Ui& ui_;
  std::string report_;
};

}  // namespace app
