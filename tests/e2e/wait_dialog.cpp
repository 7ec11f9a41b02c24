// The boot image's wait dialog (Form2) seen from outside while it counts down.
//   wait-dialog   the wait dialog is up and counting; checks it
#include "tests/e2e/probe.h"

#include <commctrl.h>

namespace e2e {
namespace {

int WaitDialog() {
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = FindVisible(L"TForm2")) != nullptr; }, 15000)) {
    Fail("the wait dialog did not appear");
    return Failures();
  }
  CheckEqStr(Text(dialog), "生成引导文件", "wait dialog caption");
  LONG style = GetWindowLongW(dialog, GWL_STYLE);
  Check((style & WS_SYSMENU) == 0, "wait dialog has no system menu and no title-bar buttons");
  Check((style & WS_THICKFRAME) == 0, "wait dialog is not sizeable");
  RECT client, window;
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &window);
  CheckEqInt(client.right, 295, "wait dialog client width");
  CheckEqInt(client.bottom, 76, "wait dialog client height");
  CheckEqInt(window.left, 290, "wait dialog left");
  CheckEqInt(window.top, 227, "wait dialog top");
  Check(!IsWindowEnabled(MainWindow()), "the main window waits");
  CheckEqStr(Text(Control(dialog, "Label1")), "正在建立引导镜像文件，请等待五秒...", "wait dialog message");
  std::string count = Text(Control(dialog, "Label2"));
  Check(count.size() == 1 && count[0] >= '0' && count[0] <= '5', "wait dialog counts: \"" + count + "\"");
  int position = static_cast<int>(SendMessageW(Control(dialog, "ProgressBar1"), PBM_GETPOS, 0, 0));
  CheckEqInt(position, (5 - (count[0] - '0')) * 20, "wait dialog bar follows the count");
  return Failures();
}

}  // namespace

std::vector<Step> WaitDialogSteps() {
  return {{"wait-dialog", 0, [](const Args&) { return WaitDialog(); }, "wait-dialog"}};
}

}  // namespace e2e
