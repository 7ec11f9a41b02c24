// The check window: its look and its copy button.
#include "app/server_check_window.h"

namespace app {
namespace {

const std::vector<look::ControlLayout> kControls = {
    // name, id, kind, parent, left, top, width, height, text, hint, tab, enabled, visible, font, picture
    {"Memo1", 601, look::Kind::kMemo, "", 8, 8, 604, 392, "", "", 0, true, true, nullptr, ""},
    {"Label1", 602, look::Kind::kLabel, "", 8, 414, 388, 16, "", "", -1, true, true, nullptr, ""},
    {"Button1", 603, look::Kind::kButton, "", 404, 408, 100, 26, "复制报告(&C)", "", 1, true, true, nullptr, ""},
    // The close button is the window's cancel command, as Esc is.
    {"Button2", 2, look::Kind::kButton, "", 512, 408, 100, 26, "关闭", "", 2, true, true, nullptr, ""},
};

const look::WindowLayout kCheckForm = {"CheckForm", "检查服务器", 140, 60, 620, 442, &look::kSansSerif13, &kControls, nullptr};

}  // namespace

TCheckForm::TCheckForm(platform::Ui& ui, const std::string& report, const std::string& summary)
    : ui_(ui), report_(report) {
  look::SetFirstStates(kCheckForm, Controls());
  Button1.on_click = [this] { Button1Click(); };
  Memo1.SetText(report);
  Label1.SetText(summary);
}

const look::WindowLayout& TCheckForm::Layout() { return kCheckForm; }

void TCheckForm::Button1Click() {
  if (ui_.CopyToClipboard(report_))
    Label1.SetText("报告已复制到剪贴板。");
  else
    ui_.MessageBox("无法把报告复制到剪贴板（剪贴板可能正被别的程序使用），请稍后再试。", "检查服务器",
                   platform::kMbIconExclamation);
}

}  // namespace app
