// The server check's advice as the administrator reads and does it: the
// steps of a mend (server_check_parts.h lists the words of the program's
// steps), the answers its dialogs take, and the steps done on the main
// window, a button pressed only while it is enabled.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/server.h"

namespace admin {

struct Advice {
  std::vector<std::string> steps;  // split at "，" and "；", remarks in "（）" left out
  std::string card;                // the card type chosen in 网卡类型, if any
  std::string driver;              // 选驱动程序 PATH
  bool prefix = false;             // 填工作站网卡地址的前六位
  bool close_chooser = false;      // 关闭“客户机网卡信息”
};

Advice ReadAdvice(const std::string& mend);

// Does the steps on the window; the dialogs and questions are answered by
// the caller's window system as the advice says. `pdk_installed` runs the
// PDK's installer to its end. "" when every step was taken, else the step
// the program did not take (a button not enabled, an item not in a list).
std::string DoAdvice(app::TForm1& form, const Advice& advice, const std::function<void()>& pdk_installed);

}  // namespace admin
