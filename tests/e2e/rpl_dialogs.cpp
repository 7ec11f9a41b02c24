// The RPL page's dialogs and the programs it opens: the card list, the
// vendor-prefix dialog (Form3), the driver chooser (GetNetDrv), the
// Remoteboot Manager, and the progress bar of the service start.
//   choose NAME ITEM            chooses an item of a drop-down of the main window
//   check-enabled NAME 0|1      a main-window control's enabled state
//   form3 check|type PREFIX|pick ITEM|expect TEXT|ok|keys|close
//   getnetdrv check|drive LETTER|open NAME|file NAME PATH|mac PREFIX|ok|keys|esc|close
//                               works the chooser as the administrator does
//   rplmgr make CONFIGURATION PROFILE|close
//   watch-bar BUTTON BAR MS     presses the button and watches the bar for MS
//                               ms; checks it steps through 20, 40, 60, 80,
//                               100 and back to 0
#include "tests/e2e/probe.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "standins/rpl/rplmgr_ids.h"

namespace e2e {
namespace {

using platform::Widen;

// A visible dialog of a class, waited for.
HWND Dialog(const wchar_t* class_name) {
  HWND w = nullptr;
  Check(WaitFor([&] { return (w = FindVisible(class_name)) != nullptr; }),
        "a visible " + platform::Narrow(class_name));
  return w;
}

// Chooses an item of a list or drop-down by its text and tells the window,
// as a choice by the user does. False when there is no such item.
bool ChooseItem(HWND control, const std::string& item, bool combo) {
  std::wstring wide = Widen(item);
  LRESULT at = SendMessageW(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(wide.c_str()));
  if (at < 0) return false;
  SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, at, 0);
  SendMessageW(GetParent(control), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(control), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
  return true;
}

std::vector<std::string> Items(HWND control, bool combo) {
  std::vector<std::string> items;
  int n = static_cast<int>(SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t text[512] = {0};
    SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(platform::Narrow(text));
  }
  return items;
}

std::string Join(const std::vector<std::string>& items) {
  std::string all;
  for (const std::string& s : items) all += (all.empty() ? "" : "|") + s;
  return all;
}

// Presses a button of a dialog by posting its click: its handler may end
// the modal loop.
void Press(HWND dialog, const char* name) {
  HWND button = Control(dialog, name);
  Check(button != nullptr, std::string("the button ") + name);
  if (button) PostMessageW(button, BM_CLICK, 0, 0);
}

// The name of the dialog's control with the focus, "" for none.
std::string FocusIn(HWND dialog) {
  HWND focus = Focus(dialog);
  for (const char* name : {"MAC", "Button1", "DirectoryListBox1", "FileListBox1", "DriveComboBox1",
                           "FilterComboBox1", "NDISTALK", "MACTALK", "BitBtn1"}) {
    HWND c = Control(dialog, name);
    if (c && (focus == c || IsChild(c, focus))) return name;
  }
  return "";
}

// Gives the focus to a control of the dialog by clicking it.
void SetFocusTo(HWND dialog, const char* name) {
  HWND c = Control(dialog, name);
  RECT rc;
  GetClientRect(c, &rc);
  LPARAM at = MAKELPARAM(4, 4);
  PostMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(c, WM_LBUTTONUP, 0, at);
  WaitFor([&] { return FocusIn(dialog) == name; }, 2000);
}

void Gone(HWND dialog, const std::string& what) {
  Check(WaitFor([&] { return !IsWindowVisible(dialog); }), what + " closes");
}

int Choose(const Args& a) {
  HWND control = Control(MainWindow(), a[0].c_str());
  Check(control && ChooseItem(control, a[1], true), a[0] + " offers " + a[1]);
  return Failures();
}

int CheckEnabled(const Args& a) {
  HWND control = Control(MainWindow(), a[0].c_str());
  Check(control && (IsWindowEnabled(control) != 0) == (a[1] == "1"), a[0] + " enabled " + a[1]);
  return Failures();
}

int Form3(const Args& a) {
  HWND d = Dialog(L"TForm3");
  if (!d) return Failures();
  HWND mac = Control(d, "MAC");
  if (a[0] == "check") {
    CheckEqStr(Text(d), "输入提示", "Form3's caption");
    CheckFrame(d, 309, 208, 178, 104, true, "Form3");
    CheckEqStr(Text(Control(d, "GroupBox1")), "验正网卡的前六位地址:", "its group");
    CheckEqStr(Join(Items(mac, true)), "00E04C|5254AB|0000B4|52544C", "MAC's items");
    CheckEqStr(Text(Control(d, "Button1")), "确定", "its button");
  } else if (a[0] == "type" && a.size() > 1) {
    SendMessageW(mac, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(a[1]).c_str()));
  } else if (a[0] == "pick" && a.size() > 1) {
    Check(ChooseItem(mac, a[1], true), "MAC offers " + a[1]);
  } else if (a[0] == "expect" && a.size() > 1) {
    CheckEqStr(Text(mac), a[1], "MAC's text");
  } else if (a[0] == "ok") {
    Press(d, "Button1");
    Gone(d, "Form3");
  } else if (a[0] == "keys") {
    // Focus on the field, Tab to the button and back; Enter in the field
    // presses the default button.
    CheckEqStr(FocusIn(d), "MAC", "Form3's first focus");
    Keys(d, {VK_TAB});
    CheckEqStr(FocusIn(d), "Button1", "Tab from the field");
    Keys(d, {VK_TAB});
    CheckEqStr(FocusIn(d), "MAC", "Tab from the button");
    Keys(d, {VK_RETURN});
    Gone(d, "Form3 on Enter");
  } else if (a[0] == "close") {
    PostMessageW(d, WM_CLOSE, 0, 0);
    Gone(d, "Form3");
  } else {
    return -1;
  }
  return Failures();
}

int GetNetDrv(const Args& a) {
  HWND d = Dialog(L"TGetNetDrv");
  if (!d) return Failures();
  HWND drives = Control(d, "DriveComboBox1"), dirs = Control(d, "DirectoryListBox1"),
       files = Control(d, "FileListBox1");
  if (a[0] == "check") {
    CheckEqStr(Text(d), "客户机网卡信息", "the chooser's caption");
    CheckFrame(d, 232, 126, 358, 314, true, "GetNetDrv");
    CheckEqStr(Join(Items(Control(d, "FilterComboBox1"), true)), "NdisDrive(*.DOS)", "the filter");
    Check(!IsWindowEnabled(Control(d, "NDISTALK")), "NDISTALK takes no typing");
    CheckEqStr(Text(Control(d, "BitBtn1")), "确 定", "its button");
    LONG style = GetWindowLongW(d, GWL_STYLE);
    Check((style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)),
          "a close box alone, a fixed border");
    std::printf("drives: %s\ndirectories: %s\nfiles: %s\n", Join(Items(drives, true)).c_str(),
                Join(Items(dirs, false)).c_str(), Join(Items(files, false)).c_str());
  } else if (a[0] == "drive" && a.size() > 1) {
    bool found = false;
    for (const std::string& item : Items(drives, true))
      if (!found && !item.empty() && (item[0] & ~0x20) == (a[1][0] & ~0x20))
        found = ChooseItem(drives, item, true);
    Check(found, "the drive list offers " + a[1]);
  } else if (a[0] == "open" && a.size() > 1) {
    // A double click on the directory: choose it, then tell the window.
    std::wstring wide = Widen(a[1]);
    LRESULT at = SendMessageW(dirs, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
    Check(at >= 0, "the tree offers " + a[1] + " among " + Join(Items(dirs, false)));
    if (at >= 0) {
      SendMessageW(dirs, LB_SETCURSEL, at, 0);
      SendMessageW(d, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(dirs), LBN_DBLCLK), reinterpret_cast<LPARAM>(dirs));
    }
  } else if (a[0] == "file" && a.size() > 2) {
    Check(ChooseItem(files, a[1], false), "the file list offers " + a[1] + " among " + Join(Items(files, false)));
    CheckEqStr(Text(Control(d, "NDISTALK")), a[2], "NDISTALK");
  } else if (a[0] == "mac" && a.size() > 1) {
    SendMessageW(Control(d, "MACTALK"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(a[1]).c_str()));
  } else if (a[0] == "ok") {
    Press(d, "BitBtn1");
    Gone(d, "the chooser");
  } else if (a[0] == "keys") {
    // The tab order of the chooser; NDISTALK takes no focus.
    const char* order[] = {"DirectoryListBox1", "FileListBox1", "DriveComboBox1", "FilterComboBox1",
                           "MACTALK", "BitBtn1", "DirectoryListBox1"};
    SetForegroundWindow(d);
    SetFocusTo(d, order[0]);
    for (size_t i = 1; i < sizeof order / sizeof *order; ++i) {
      Keys(d, {VK_TAB});
      CheckEqStr(FocusIn(d), order[i], std::string("Tab after ") + order[i - 1]);
    }
  } else if (a[0] == "esc") {
    Keys(d, {VK_ESCAPE});
    Gone(d, "the chooser on Esc");
  } else if (a[0] == "close") {
    PostMessageW(d, WM_CLOSE, 0, 0);
    Gone(d, "the chooser");
  } else {
    return -1;
  }
  return Failures();
}

int Rplmgr(const Args& a) {
  HWND m = Dialog(L"RplMgrWindow");
  if (!m) return Failures();
  if (a[0] == "make" && a.size() > 2) {
    HWND configs = GetDlgItem(m, kRplmgrConfigurations);
    // The list's lines begin with the configuration's name and a tab.
    std::vector<std::string> lines;
    Check(WaitFor([&] { lines = Items(configs, false); return !lines.empty(); }), "the manager lists configurations");
    int at = -1;
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].compare(0, a[1].size() + 1, a[1] + "\t") == 0) at = static_cast<int>(i);
    Check(at >= 0, "the manager lists " + a[1] + " among " + Join(lines));
    SendMessageW(configs, LB_SETCURSEL, at, 0);
    SendMessageW(GetDlgItem(m, kRplmgrProfileName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(a[2]).c_str()));
    SendMessageW(GetDlgItem(m, kRplmgrMakeProfile), BM_CLICK, 0, 0);
    std::vector<std::string> profiles;
    Check(WaitFor([&] {
            profiles = Items(GetDlgItem(m, kRplmgrProfiles), false);
            for (const std::string& p : profiles)
              if (p.compare(0, a[2].size() + 1, a[2] + "\t") == 0) return true;
            return false;
          }),
          "the manager lists the profile " + a[2] + " (" + Text(GetDlgItem(m, kRplmgrStatus)) + ")");
  } else if (a[0] == "close") {
    PostMessageW(m, WM_CLOSE, 0, 0);
    Check(WaitFor([&] { return !IsWindow(m); }), "the manager closes");
  } else {
    return -1;
  }
  return Failures();
}

int WatchBar(const Args& a) {
  // The button is pressed here, so that the watching starts before the
  // handler's first step, whatever the time a new driver takes to start.
  HWND button = Control(MainWindow(), a[0].c_str());
  HWND bar = Control(MainWindow(), a[1].c_str());
  Check(button && bar, "the button and the bar");
  if (!button || !bar) return Failures();
  PostMessageW(button, BM_CLICK, 0, 0);
  std::vector<long> seen;
  int ms = std::atoi(a[2].c_str());
  for (int waited = 0; waited < ms; waited += 20) {
    long pos = static_cast<long>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    if (seen.empty() || seen.back() != pos) seen.push_back(pos);
    Sleep(20);
  }
  std::string shown;
  for (long p : seen) shown += std::to_string(p) + " ";
  CheckEqStr(shown, "0 20 40 60 80 100 0 ", "the positions the bar showed");
  return Failures();
}

}  // namespace

std::vector<Step> RplSteps() {
  return {
      {"choose", 2, Choose, "choose NAME ITEM"},
      {"check-enabled", 2, CheckEnabled, "check-enabled NAME 0|1"},
      {"form3", 1, Form3, "form3 check|type PREFIX|pick ITEM|expect TEXT|ok|keys|close"},
      {"getnetdrv", 1, GetNetDrv, "getnetdrv check|drive LETTER|open NAME|file NAME PATH|mac PREFIX|ok|keys|esc|close"},
      {"rplmgr", 1, Rplmgr, "rplmgr make CONFIGURATION PROFILE|close"},
      {"watch-bar", 3, WatchBar, "watch-bar BUTTON BAR MS"},
  };
}

}  // namespace e2e
