// The control IDs of the Remoteboot Manager's window (caption
// "远程启动管理器", window class "RplMgrWindow"), for the window and for a
// program that drives it.
//
// Driving it: choose a configuration with LB_SETCURSEL on
// kRplmgrConfigurations, type the profile's name with WM_SETTEXT on
// kRplmgrProfileName (and a comment on kRplmgrProfileComment), press
// kRplmgrMakeProfile with BM_CLICK; the outcome is the text of kRplmgrStatus
// (WM_GETTEXT), and kRplmgrProfiles lists the profiles, one a line
// "NAME<tab>CONFIGURATION<tab>COMMENT" (LB_GETCOUNT, LB_GETTEXT). Deleting asks
// first in a message box (press IDYES there); post its BM_CLICK, do not send it.
// Each list's lines are the fields separated by tabs.
#pragma once

enum RplmgrControl {
  kRplmgrVendors = 1001,         // list: NAME, COMMENT
  kRplmgrBootBlocks = 1002,      // list: NAME, VENDOR, BOOT-BLOCK FILE, COMMENT
  kRplmgrConfigurations = 1003,  // list: NAME, 可用|不可用|未检查, BOOT BLOCK, DOS|Windows, COMMENT
  kRplmgrProfiles = 1004,        // list: NAME, CONFIGURATION, COMMENT
  kRplmgrReport = 1005,          // read-only text: the last check's report
  kRplmgrProfileName = 1006,     // edit: the new profile's name
  kRplmgrProfileComment = 1007,  // edit: its comment
  kRplmgrCheck = 1010,           // button 检查配置
  kRplmgrMakeProfile = 1011,     // button 新建配置文件, the default button
  kRplmgrDeleteProfile = 1012,   // button 删除配置文件
  kRplmgrRefresh = 1013,         // button 刷新
  kRplmgrClose = 2,              // button 关闭 (IDCANCEL: Esc presses it)
  kRplmgrStatus = 1020,          // static: what the last action did
};
