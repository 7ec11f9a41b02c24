// The statement window (Form4): its text.
#include "app/statement_window.h"

namespace app {
namespace {

const std::vector<look::ControlLayout> kControls = {
    {"Memo1", 300, look::Kind::kMemo, "", 0, 0, 457, 305, "", "", 0, true, true, nullptr, ""},
};

const look::WindowLayout kForm4 = {"Form4", "程序声明", 208, 104, 456, 304, &look::kSansSerif13, &kControls, nullptr};

}  // namespace

const look::WindowLayout& TForm4::Layout() { return kForm4; }

const char* TForm4::Text() {
  return "Korrin Diskless Win98 服务器配置程序  版本 1.2\r\n"
         "\r\n"
         "本程序用于在 Windows NT 4.0 服务器上配置无盘 Windows 98 (SE) 工作站，"
         "支持 PXE 和 RPL 两种启动方式。\r\n"
         "\r\n"
         "1. 本程序免费提供，可以自由复制和传播，但不得修改后冒名发布，也不得用于出售。\r\n"
         "\r\n"
         "2. 本程序会在服务器上建立用户、组、共享和目录，并改写远程启动配置中的文件。"
         "请在使用前备份重要数据。因使用本程序造成的任何损失，作者不承担责任。\r\n"
         "\r\n"
         "3. Windows、Windows NT、PXE PDK 等名称属于其各自的所有者。\r\n"
         "\r\n"
         "4. 欢迎提出意见和报告错误，以便改进本程序。\r\n"
         "\r\n"
         "                                        morva\r\n";
}

}  // namespace app
