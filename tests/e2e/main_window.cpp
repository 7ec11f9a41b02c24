// The main window (Form1) seen from outside: every control as its
// description gives it, the pages, the menu by its keys, the tab order by the
// Tab key, the buttons by mouse and keyboard, and the ways to leave.
//   wait-main                  the main window is up
//   check-main                 caption, frame, every control, menu, hints
//   show-page rpl|pxe [keys]   clicks the notebook's tab (or types Ctrl+Tab) and checks the pages
//   check-text NAME TEXT       a control shows TEXT
//   menu H|S                   opens a menu of the bar by its key (for a screenshot)
//   escape                     closes an open menu
//   leave button|enter|menu|keys|closebox
//                              leaves the program that way ("enter": Tab to the exit
//                              button and Enter)
//   set-text NAME TEXT         types TEXT into an edit box
//   click NAME                 presses a button (posted, so a modal window it opens
//                              does not hold the driver)
//   press NAME enter|space     Tab to a button, then that key (a modal window it opens
//                              is answered by the next step)
//   set-check NAME 0|1         clicks a check box until it shows that state
//   check-focus NAME           the control has the keyboard focus
//   tab-to NAME                Tab until the control has the focus
//   tab-cycle                  Tab visits the tab stops of the shown page in order and
//                              comes round again; Shift+Tab goes back
#include "tests/e2e/probe.h"

#include <commctrl.h>

namespace e2e {
namespace {

using platform::Narrow;
using platform::Widen;

// ---------------------------------------------------------------------------
// The main window as its description gives it.

enum Page { kNoPage, kRpl, kPxe };

struct Expected {
  const char* name;
  const char* parent;   // the control it lies in, "" for the client area
  Page page;            // the notebook page it lies on
  int left, top;
  int width, height;    // 0: sized to its text
  const char* text;     // nullptr: not checked (pictures, bars, lists)
  bool enabled, visible;
  const char* hint;     // "" for none
};

const Expected kMain[] = {
    {"CoolBar1", "", kNoPage, 0, 0, 441, 29, nullptr, true, true, ""},
    {"Panel1", "CoolBar1", kNoPage, 9, 2, 424, 25, nullptr, true, true, ""},
    {"SpeedButton1", "Panel1", kNoPage, 0, 0, 25, 25, "", true, true, "DHCP for Windows200"},
    {"SpeedButton2", "Panel1", kNoPage, 25, 0, 25, 25, "", true, true, "使用帮助"},
    {"SpeedButton3", "Panel1", kNoPage, 50, 0, 25, 25, "", true, true, "程序声明"},
    {"GroupBox1", "", kNoPage, 16, 39, 409, 130, "用户及目录信息：", true, true, ""},
    {"Label1", "GroupBox1", kNoPage, 16, 27, 0, 0, "共享目录：", true, true, ""},
    {"Edit1", "GroupBox1", kNoPage, 80, 23, 159, 24, "D:\\PVDROOT", true, true, ""},
    {"Label2", "GroupBox1", kNoPage, 16, 53, 0, 0, "用户前辍：", true, true, ""},
    {"Edit2", "GroupBox1", kNoPage, 80, 48, 159, 24, "USER", true, true, ""},
    {"Label4", "GroupBox1", kNoPage, 16, 78, 0, 0, "工作组名：", true, true, ""},
    {"Edit4", "GroupBox1", kNoPage, 80, 72, 159, 24, "PXEUSERS", true, true, ""},
    {"Label3", "GroupBox1", kNoPage, 16, 102, 0, 0, "用户数目：", true, true, ""},
    {"Edit3", "GroupBox1", kNoPage, 80, 98, 159, 24, "30", true, true, ""},
    {"BitBtn1", "GroupBox1", kNoPage, 264, 20, 121, 29, "生成用户及目录", true, true, ""},
    {"BitBtn8", "GroupBox1", kNoPage, 264, 54, 121, 27, "编辑信息文件", true, true, ""},
    {"BitBtn4", "GroupBox1", kNoPage, 264, 86, 121, 29, "退出系统", true, true, ""},
    {"ProgressBar1", "", kNoPage, 16, 170, 409, 13, nullptr, true, false, ""},
    {"tabbook1", "", kNoPage, 16, 184, 409, 217, nullptr, true, true, ""},
    // The RPL page.
    {"Label6", "Page1", kRpl, 16, 10, 0, 0, "网卡类型：", true, true, ""},
    {"ComboBox1", "Page1", kRpl, 16, 26, 129, 21, nullptr, true, true, ""},
    {"Label5", "Page1", kRpl, 16, 55, 73, 16, "RPL配置名：", true, true, ""},
    {"ComboBox2", "Page1", kRpl, 16, 72, 129, 21, nullptr, true, true, ""},
    {"CheckBox1", "Page1", kRpl, 16, 104, 129, 25, "工作站自动注册", true, true, ""},
    {"BitBtn10", "Page1", kRpl, 157, 18, 114, 33, "检测", true, true, "RPL 8139 网卡是否配置！"},
    {"BitBtn12", "Page1", kRpl, 157, 58, 113, 33, "更  新", true, true, ""},
    {"BitBtn6", "Page1", kRpl, 157, 98, 114, 33, "开启远程启动", true, true, ""},
    {"BitBtn9", "Page1", kRpl, 277, 18, 113, 33, "配置Rpl", false, true, "注册RTL8139 网卡"},
    {"BitBtn11", "Page1", kRpl, 277, 58, 113, 33, "安装", false, true, "安装RPL WIN98 所需文件"},
    {"SpeedButton7", "Page1", kRpl, 277, 98, 113, 33, "启动管理器", true, true, ""},
    {"ProgressBar2", "Page1", kRpl, 9, 146, 382, 23, nullptr, true, true, ""},
    // The PXE page.
    {"Image1", "Page2", kPxe, 8, 8, 217, 161, nullptr, true, true, ""},
    {"BitBtn3", "Page2", kPxe, 240, 8, 145, 33, "安装 PXE", true, true, "安装PXE-PDK2.0"},
    {"BitBtn5", "Page2", kPxe, 240, 44, 145, 33, "配置 DHCP", true, true, "设置DHCP"},
    {"BitBtn2", "Page2", kPxe, 241, 81, 144, 33, "配置 PXE", true, true, "配置PXE-PDK2.0"},
    {"BitBtn7", "Page2", kPxe, 240, 117, 145, 33, "生成镜像文件", true, true, "自动生成启动镜像文件"},
    {"CheckBox2", "Page2", kPxe, 240, 153, 105, 14, "网卡自动注册", true, true, ""},
    {"StatusBar1", "", kNoPage, 0, 410, 441, 21, nullptr, true, true, ""},
};

// Tab stops of each parent, in tab order.
const std::vector<std::vector<const char*>> kTabOrder = {
    {"GroupBox1", "Edit1", "Edit2", "Edit4", "Edit3", "BitBtn1", "BitBtn8", "BitBtn4"},
    {"Page1", "ComboBox2", "BitBtn11", "BitBtn9", "BitBtn10", "ComboBox1", "BitBtn6", "BitBtn12",
     "CheckBox1"},
    {"Page2", "BitBtn3", "BitBtn2", "BitBtn5", "BitBtn7", "CheckBox2"},
};

const char kCaption[] = "Korrin Diskless Win98   Server Version:1.2  by morva";

void CheckControl(HWND main, const Expected& e, Page shown) {
  HWND w = Control(main, e.name);
  if (!w) {
    Fail(std::string(e.name) + " is missing");
    return;
  }
  std::string n = e.name;
  HWND parent = *e.parent ? Control(main, e.parent) : main;
  Check(GetParent(w) == parent, n + " lies in " + (*e.parent ? e.parent : "the client area"));
  RECT rc = PlaceInParent(w);
  CheckEqInt(rc.left, e.left, n + " left");
  CheckEqInt(rc.top, e.top, n + " top");
  if (e.width) {
    CheckEqInt(rc.right - rc.left, e.width, n + " width");
    CheckEqInt(rc.bottom - rc.top, e.height, n + " height");
  } else {
    // Sized to its text: wide enough for every character, one line high.
    int chars = 0;
    for (const char* p = e.text; *p; ++p) chars += (*p & 0xC0) != 0x80;
    Check(rc.right - rc.left >= chars * 10, n + " is wide enough for its text");
    Check(rc.bottom - rc.top >= 12 && rc.bottom - rc.top <= 20, n + " is one line high");
  }
  if (e.text) CheckEqStr(Text(w), e.text, n + " text");
  CheckEqInt(IsWindowEnabled(w) != 0, e.enabled, n + " enabled");
  CheckEqInt((GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0, e.visible, n + " visible state");
  bool on_screen = e.visible && (e.page == kNoPage || e.page == shown);
  CheckEqInt(IsWindowVisible(w) != 0, on_screen, n + " shown");
}

void CheckPages(HWND main, Page shown) {
  HWND tab = Control(main, "tabbook1");
  CheckEqInt(static_cast<long>(SendMessageW(tab, TCM_GETCURSEL, 0, 0)), shown == kRpl ? 0 : 1,
             "selected tab");
  CheckEqInt(IsWindowVisible(Control(main, "Page1")) != 0, shown == kRpl, "RPL page shown");
  CheckEqInt(IsWindowVisible(Control(main, "Page2")) != 0, shown == kPxe, "PXE page shown");
  for (const Expected& e : kMain) CheckControl(main, e, shown);
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {0};
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(Narrow(text));
  }
  return items;
}

// Menus of another process cannot be read under Wine, so the menu is checked
// by what its keys do: Alt+H then U or M opens help or the statement, Alt+S
// then E leaves (the "keys" variants of open and leave), and the screenshot
// of the open help menu shows its captions.
void CheckMenu(HWND main) { Check(GetMenu(main) != nullptr, "the main window has a menu bar"); }

void CheckTabOrder(HWND main) {
  for (const auto& order : kTabOrder) {
    HWND parent = Control(main, order[0]);
    std::vector<std::string> stops;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
      if (GetWindowLongW(w, GWL_STYLE) & WS_TABSTOP) stops.push_back(NameOf(GetDlgCtrlID(w)) ?: "?");
    std::string actual, expected;
    for (const std::string& s : stops) actual += s + " ";
    for (size_t i = 1; i < order.size(); ++i) expected += std::string(order[i]) + " ";
    CheckEqStr(actual, expected, std::string("tab order in ") + order[0]);
  }
}

int CheckMain() {
  HWND main = MainWindow();
  if (!main) {
    Fail("no main window");
    return 1;
  }
  CheckEqStr(Text(main), kCaption, "main window caption");
  CheckFrame(main, 196, 37, 441, 431, true, "main window");
  CheckStyle(main, false, "main window");
  // The window's icon cannot be asked for from another process under Wine
  // (WM_GETICON answers nothing); the screenshots show it in the title bar.
  CheckPages(main, kRpl);
  CheckTabOrder(main);
  CheckMenu(main);

  HWND tab = Control(main, "tabbook1");
  CheckEqInt(static_cast<long>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)), 2, "notebook pages");
  CheckEqStr(TabCaption(tab, 0), "RPL 启式设置 ", "first tab");
  CheckEqStr(TabCaption(tab, 1), "PXE 启动设置", "second tab");

  std::vector<std::string> items = ComboItems(Control(main, "ComboBox1"));
  std::string all;
  for (const std::string& s : items) all += s + "|";
  CheckEqStr(all, "RTL 8139|RTL 8029|Other NetCARD|", "card types");
  CheckEqInt(static_cast<long>(SendMessageW(Control(main, "ComboBox1"), CB_GETCURSEL, 0, 0)), -1,
             "no card type chosen");
  CheckEqInt(static_cast<long>(SendMessageW(Control(main, "ComboBox2"), CB_GETCOUNT, 0, 0)), 0,
             "no profiles yet");
  for (const char* combo : {"ComboBox1", "ComboBox2"})
    Check((GetWindowLongW(Control(main, combo), GWL_STYLE) & 3) == CBS_DROPDOWNLIST,
          std::string(combo) + " allows no typing");
  for (const char* box : {"CheckBox1", "CheckBox2"})
    CheckEqInt(static_cast<long>(SendMessageW(Control(main, box), BM_GETCHECK, 0, 0)), BST_UNCHECKED,
               std::string(box) + " clear");
  CheckEqInt(static_cast<long>(SendMessageW(Control(main, "ProgressBar2"), PBM_GETPOS, 0, 0)), 0,
             "ProgressBar2 at 0");

  std::string status = StatusText(Control(main, "StatusBar1"));
  Check(status.rfind("Korrin Diskless", 0) == 0 && status.find("Win98") != std::string::npos,
        "status banner \"" + status + "\" names the product and Win98");

  HWND tooltip = TooltipOf(main);
  Check(tooltip != nullptr, "the main window has a tooltip control");
  if (tooltip) {
    for (const Expected& e : kMain)
      if (*e.hint) CheckEqStr(Hint(tooltip, main, Control(main, e.name)), e.hint, std::string(e.name) + " hint");
  }
  return Failures();
}

// Clicks the tab of a page with the mouse, as a user does.
// With "keys", Ctrl+Tab turns to the page, and the focus goes to the page's
// first tab stop.
int ShowPage(Page page, bool keys, bool check_controls = true) {
  HWND main = MainWindow();
  HWND tab = Control(main, "tabbook1");
  if (keys) {
    Keys(main, {kCtrl | VK_TAB});
  } else {
    RECT rc = TabRect(tab, page == kRpl ? 0 : 1);
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tab, WM_LBUTTONUP, 0, at);
  }
  WaitFor([&] { return IsWindowVisible(Control(main, page == kRpl ? "Page1" : "Page2")) != 0; }, 3000);
  if (check_controls) CheckPages(main, page);
  if (keys) CheckEqStr(FocusName(main), page == kRpl ? "ComboBox2" : "BitBtn3", "focus after Ctrl+Tab");
  return Failures();
}

int Leave(const std::string& how) {
  HWND main = MainWindow();
  if (!main) {
    Fail("no main window");
    return 1;
  }
  if (how == "button") {
    PostMessageW(Control(main, "BitBtn4"), BM_CLICK, 0, 0);
  } else if (how == "enter") {
    if (!TabTo(main, "BitBtn4")) Fail("Tab never reaches BitBtn4");
    Keys(main, {VK_RETURN});
  } else if (how == "keys") {
    Keys(main, {kAlt | 'S', 'E'});
  } else if (how == "menu") {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IdOf("E1"), 0), 0);
  } else {
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  Check(WaitFor([&] { return !IsWindow(main); }), "the program leaves by " + how);
  return Failures();
}

// Opens a menu of the bar with its key and leaves it open for a screenshot.
int ShowMenu(char letter) {
  HWND main = MainWindow();
  Keys(main, {kAlt | static_cast<unsigned>(letter)});
  HWND popup = nullptr;
  Check(WaitFor([&] { return (popup = FindVisible(L"#32768")) != nullptr; }, 3000),
        std::string("Alt+") + letter + " opens its menu");
  return Failures();
}

// The tab stops of the main window with the RPL page shown, in the order Tab
// visits them: the account group, then the page (its disabled buttons and the
// bar are skipped).
const char* const kTabCycle[] = {"Edit1",    "Edit2",     "Edit4",    "Edit3",   "BitBtn1",
                                 "BitBtn8",  "BitBtn4",   "ComboBox2", "BitBtn10", "ComboBox1",
                                 "BitBtn6",  "BitBtn12",  "CheckBox1"};

int TabCycle() {
  HWND main = MainWindow();
  const int n = sizeof kTabCycle / sizeof *kTabCycle;
  if (!TabTo(main, kTabCycle[0])) {
    Fail("Tab never reaches Edit1");
    return Failures();
  }
  std::string visited = FocusName(main), expected = kTabCycle[0];
  for (int i = 1; i <= n; ++i) {
    Keys(main, {VK_TAB});
    visited += " " + FocusName(main);
    expected += std::string(" ") + kTabCycle[i % n];
  }
  CheckEqStr(visited, expected, "Tab visits");
  Keys(main, {kShift | VK_TAB});
  CheckEqStr(FocusName(main), kTabCycle[n - 1], "Shift+Tab goes back");
  return Failures();
}

// Tab to a button and press it by a key; the handler runs as by a click.
int Press(const std::string& name, const std::string& key) {
  HWND main = MainWindow();
  if (!TabTo(main, name.c_str())) {
    Fail("Tab never reaches " + name);
    return Failures();
  }
  Keys(main, {key == "enter" ? static_cast<unsigned>(VK_RETURN) : static_cast<unsigned>(VK_SPACE)});
  return Failures();
}

HWND MainControl(const std::string& name) {
  HWND control = MainWindow() ? Control(MainWindow(), name.c_str()) : nullptr;
  if (!control) Fail("no control " + name);
  return control;
}

int WaitMain(const Args&) {
  if (!WaitFor([] { return MainWindow() && IsWindowVisible(MainWindow()); }, 20000))
    Fail("the main window did not appear");
  return Failures();
}

int CheckText(const Args& a) {
  if (HWND control = MainControl(a[0])) CheckEqStr(Text(control), a[1], a[0] + " text");
  return Failures();
}

int SetText(const Args& a) {
  if (HWND control = MainControl(a[0]))
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(a[1]).c_str()));
  return Failures();
}

int Click(const Args& a) {
  if (HWND control = MainControl(a[0])) PostMessageW(control, BM_CLICK, 0, 0);
  return Failures();
}

int SetCheck(const Args& a) {
  HWND box = MainControl(a[0]);
  LRESULT want = a[1] == "1" ? BST_CHECKED : BST_UNCHECKED;
  if (box && SendMessageW(box, BM_GETCHECK, 0, 0) != want) SendMessageW(box, BM_CLICK, 0, 0);
  Check(box && SendMessageW(box, BM_GETCHECK, 0, 0) == want, a[0] + " shows " + a[1]);
  return Failures();
}

int CheckFocus(const Args& a) {
  CheckEqStr(FocusName(MainWindow()), a[0], "the control with the focus");
  return Failures();
}

}  // namespace

std::vector<Step> MainWindowSteps() {
  return {
      {"wait-main", 0, WaitMain, "wait-main"},
      {"check-main", 0, [](const Args&) { return CheckMain(); }, "check-main"},
      {"show-page", 1,
       [](const Args& a) {
         if (a[0] != "rpl" && a[0] != "pxe") return -1;
         return ShowPage(a[0] == "rpl" ? kRpl : kPxe, a.size() > 1 && a[1] == "keys",
                         !(a.size() > 1 && a[1] == "only"));
       },
       "show-page rpl|pxe [keys|only]: only turns the page without checking the controls' first states"},
      {"check-text", 2, CheckText, "check-text NAME TEXT"},
      {"menu", 1, [](const Args& a) { return a[0].size() == 1 ? ShowMenu(a[0][0]) : -1; }, "menu H|S"},
      {"escape", 0,
       [](const Args&) {
         Keys(MainWindow(), {VK_ESCAPE, VK_ESCAPE});
         return 0;
       },
       "escape"},
      {"leave", 1, [](const Args& a) { return Leave(a[0]); }, "leave button|enter|menu|keys|closebox"},
      {"set-text", 2, SetText, "set-text NAME TEXT"},
      {"click", 1, Click, "click NAME"},
      {"press", 2,
       [](const Args& a) { return a[1] == "enter" || a[1] == "space" ? Press(a[0], a[1]) : -1; },
       "press NAME enter|space"},
      {"set-check", 2, [](const Args& a) { return a[1] == "0" || a[1] == "1" ? SetCheck(a) : -1; },
       "set-check NAME 0|1"},
      {"check-focus", 1, CheckFocus, "check-focus NAME"},
      {"tab-to", 1,
       [](const Args& a) {
         if (!TabTo(MainWindow(), a[0].c_str())) Fail("Tab never reaches " + a[0]);
         return Failures();
       },
       "tab-to NAME"},
      {"tab-cycle", 0, [](const Args&) { return TabCycle(); }, "tab-cycle"},
  };
}

}  // namespace e2e
