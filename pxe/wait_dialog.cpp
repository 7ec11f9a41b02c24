// The wait dialog (Form2): its countdown ticks and the bar they move.
#include "pxe/wait_dialog.h"

#include <cstdlib>

namespace pxe {
namespace {

const std::vector<look::ControlLayout> kControls = {
    {"Label1", 111, look::Kind::kLabel, "", 26, 17, 0, 0, "正在建立引导镜像文件，请等待五秒...", "", -1, true, true, &look::kSong12, ""},
    // Wide enough for the count at its last tick, "-1".
    {"Label2", 112, look::Kind::kLabel, "", 268, 19, 16, 14, "5", "", -1, true, true, nullptr, ""},
    {"ProgressBar1", 130, look::Kind::kProgressBar, "", 24, 40, 253, 17, "", "", -1, true, true, nullptr, ""},
};

const look::WindowLayout kForm2 = {"Form2", "生成引导文件", 290, 227, 295, 76, &look::kSansSerif13, &kControls, nullptr};

}  // namespace

TForm2::TForm2() {
  look::SetFirstStates(kForm2, Controls());
  Timer2.on_tick = [this] { Timer2Timer(); };
}

const look::WindowLayout& TForm2::Layout() { return kForm2; }

void TForm2::Timer2Timer() {
  // 1. The count the dialog shows.
  int n = std::atoi(Label2.Text().c_str());
  // 2. The bar moves a fifth on, the count one down, on every tick.
  ProgressBar1.SetPosition((6 - n) * 20);
  Label2.SetText(std::to_string(n - 1));
  // 3. The tick that finds 0 closes the dialog.
  if (n == 0 && !closed_) {
    closed_ = true;
    if (on_close) on_close();
  }
}

}  // namespace pxe
