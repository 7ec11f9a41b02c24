// Drives the configuration tool running under Wine from outside, as a user
// would, and checks what it shows. One step per run, so that the script can
// take screenshots between the steps:
//   driver wait-main                  the main window is up
//   driver check-main                 caption, frame, every control, menu, hints
//   driver show-page rpl|pxe          clicks the notebook's tab and checks the pages
//   driver open help|statement menu|toolbar|keys
//                                     opens the window and checks it (left open)
//   driver close help|statement       types into it, closes it by its close box
//   driver check-text NAME TEXT       a control of the main window shows TEXT
//   driver menu H|S                   opens a menu of the bar by its key (for a screenshot)
//   driver escape                     closes an open menu
//   driver leave button|menu|keys|closebox
//                                     leaves the program that way
//   driver set-text NAME TEXT         types TEXT into an edit box of the main window
//   driver click NAME                 presses a button of the main window (posted, so a
//                                     modal window it opens does not hold the driver)
//   driver set-check NAME 0|1         clicks a check box until it shows that state
//   driver answer CAPTION TEXT BUTTON icon|noicon
//                                     waits for a message box, checks its caption, text
//                                     (unless TEXT is *) and icon, and presses OK,
//                                     Cancel, Yes or No
//   driver wait-dialog                the wait dialog is up and counting; checks it
//   driver wait-gone CLASS            no visible window of that class is left
//   driver close-window CLASS         closes a visible top-level window of that class
// Every control is found by its identifier in the window's rows; what
// it should show is written out below from the window's description, not taken
// from the program's own layout tables.
#include "platform/win32/win32_host.h"  // first: it tames windows.h's names

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/unit4.h"
#include "app/unit5.h"
#include "app/server.h"
#include "pxe/unit2.h"

using platform::Narrow;
using platform::Widen;

namespace {

int failures = 0;

// The identifier of a control or menu item of the program's windows, and the
// name of a main-window identifier.
const look::WindowLayout* const kWindows[] = {&app::TForm1::Layout(), &app::TForm4::Layout(),
                                              &app::TForm5::Layout(), &pxe::TForm2::Layout()};

int IdOf(const char* name) {
  for (const look::WindowLayout* w : kWindows) {
    if (const look::ControlLayout* c = look::FindControl(*w, name)) return c->id;
    if (const look::MenuLayout* m = look::FindMenuItem(*w, name)) return m->id;
  }
  return 0;
}

const char* NameOf(int id) {
  const look::ControlLayout* c = look::FindControl(app::TForm1::Layout(), id);
  return c ? c->name : nullptr;
}

void Fail(const std::string& what) {
  std::printf("FAIL: %s\n", what.c_str());
  ++failures;
}

void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}


void CheckEqStr(const std::string& actual, const std::string& expected, const std::string& what) {
  if (actual != expected) Fail(what + ": \"" + actual + "\", expected \"" + expected + "\"");
}

void CheckEqInt(long actual, long expected, const std::string& what) {
  if (actual != expected)
    Fail(what + ": " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

// Waits up to `ms` for a condition, checking every 50 ms.
template <typename F>
bool WaitFor(F condition, int ms = 10000) {
  for (int waited = 0; waited <= ms; waited += 50) {
    if (condition()) return true;
    Sleep(50);
  }
  return false;
}

// A visible top-level window of a class, or nullptr.
HWND FindVisible(const wchar_t* class_name) {
  HWND found = nullptr;
  HWND w = nullptr;
  while ((w = FindWindowExW(nullptr, w, class_name, nullptr)) != nullptr)
    if (IsWindowVisible(w)) found = w;
  return found;
}

HWND MainWindow() { return FindWindowW(L"TForm1", nullptr); }

std::string Text(HWND w) {
  wchar_t buffer[8192] = {0};
  SendMessageW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer));
  return Narrow(buffer);
}

struct FindById {
  int id;
  HWND found;
};

BOOL CALLBACK FindChild(HWND w, LPARAM param) {
  FindById* f = reinterpret_cast<FindById*>(param);
  if (GetDlgCtrlID(w) == f->id) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}

// A control anywhere in a window, by its name's identifier.
HWND Control(HWND window, const char* name) {
  FindById f = {IdOf(name), nullptr};
  if (f.id) EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

// Memory in the program's process, for the messages whose answer lies behind
// a pointer.
class Remote {
 public:
  Remote(HWND window, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_)
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~Remote() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  bool ok() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  void Write(size_t offset, const void* data, size_t n) {
    WriteProcessMemory(process_, at(offset), data, n, nullptr);
  }
  void Read(size_t offset, void* data, size_t n) {
    ReadProcessMemory(process_, at(offset), data, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_;
};

std::string TabCaption(HWND tab, int index) {
  Remote remote(tab, 4096);
  if (!remote.ok()) return "<no remote memory>";
  TCITEMW item;
  ZeroMemory(&item, sizeof item);
  item.mask = TCIF_TEXT;
  item.pszText = reinterpret_cast<wchar_t*>(remote.at(1024));
  item.cchTextMax = 256;
  remote.Write(0, &item, sizeof item);
  if (!SendMessageW(tab, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(remote.at(0))))
    return "<no item>";
  wchar_t text[256] = {0};
  remote.Read(1024, text, sizeof text - sizeof(wchar_t));
  return Narrow(text);
}

RECT TabRect(HWND tab, int index) {
  RECT rc = {0, 0, 0, 0};
  Remote remote(tab, sizeof rc);
  if (remote.ok() && SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.at(0))))
    remote.Read(0, &rc, sizeof rc);
  return rc;
}

std::string StatusText(HWND bar) {
  Remote remote(bar, 4096);
  if (!remote.ok()) return "<no remote memory>";
  SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
  wchar_t text[1024] = {0};
  remote.Read(0, text, sizeof text - sizeof(wchar_t));
  return Narrow(text);
}

// The hint the program's tooltip control holds for a control, or "".
std::string Hint(HWND tooltip, HWND owner, HWND control) {
  Remote remote(tooltip, 8192);
  if (!remote.ok()) return "<no remote memory>";
  TTTOOLINFOW tool;
  ZeroMemory(&tool, sizeof tool);
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = reinterpret_cast<wchar_t*>(remote.at(1024));
  remote.Write(0, &tool, sizeof tool);
  wchar_t empty = 0;
  remote.Write(1024, &empty, sizeof empty);
  SendMessageW(tooltip, TTM_GETTEXTW, 1024 / sizeof(wchar_t), reinterpret_cast<LPARAM>(remote.at(0)));
  wchar_t text[1024] = {0};
  remote.Read(1024, text, sizeof text - sizeof(wchar_t));
  return Narrow(text);
}

struct ToolFinder {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindTooltip(HWND w, LPARAM param) {
  ToolFinder* f = reinterpret_cast<ToolFinder*>(param);
  wchar_t cls[64] = {0};
  GetClassNameW(w, cls, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == f->pid && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}

HWND TooltipOf(HWND main) {
  ToolFinder f = {0, nullptr};
  GetWindowThreadProcessId(main, &f.pid);
  EnumWindows(FindTooltip, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

// A control's place in its parent's client area.
RECT PlaceInParent(HWND control) {
  RECT rc;
  GetWindowRect(control, &rc);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

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

void CheckFrame(HWND w, int left, int top, int width, int height, bool client, const std::string& n) {
  RECT outer, inner;
  GetWindowRect(w, &outer);
  GetClientRect(w, &inner);
  CheckEqInt(outer.left, left, n + " left");
  CheckEqInt(outer.top, top, n + " top");
  if (client) {
    CheckEqInt(inner.right, width, n + " client width");
    CheckEqInt(inner.bottom, height, n + " client height");
  } else {
    CheckEqInt(outer.right - outer.left, width, n + " width");
    CheckEqInt(outer.bottom - outer.top, height, n + " height");
  }
}

void CheckStyle(HWND w, bool sizeable, const std::string& n) {
  LONG style = GetWindowLongW(w, GWL_STYLE);
  Check((style & WS_SYSMENU) != 0, n + " has a system menu");
  CheckEqInt((style & WS_THICKFRAME) != 0, sizeable, n + " sizeable frame");
  CheckEqInt((style & WS_MINIMIZEBOX) != 0, sizeable, n + " minimise box");
  CheckEqInt((style & WS_MAXIMIZEBOX) != 0, sizeable, n + " maximise box");
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
  return failures;
}

// Clicks the tab of a page with the mouse, as a user does.
int ShowPage(Page page) {
  HWND main = MainWindow();
  HWND tab = Control(main, "tabbook1");
  RECT rc = TabRect(tab, page == kRpl ? 0 : 1);
  LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(tab, WM_LBUTTONUP, 0, at);
  WaitFor([&] { return IsWindowVisible(Control(main, page == kRpl ? "Page1" : "Page2")) != 0; }, 3000);
  CheckPages(main, page);
  return failures;
}

struct TextWindow {
  const wchar_t* class_name;
  const char* caption;
  const char* menu_item;
  const char* toolbar_button;
  const char* (*text)();
  bool sizeable, read_only;
};

const TextWindow kHelp = {L"TForm5", "简要说明", "N2", "SpeedButton2", &app::TForm5::Text, true, true};
const TextWindow kStatement = {L"TForm4", "程序声明", "M1", "SpeedButton3", &app::TForm4::Text, false, false};

// The keyboard: Alt and a letter opens a menu, a letter chooses its item.
void Keys(HWND main, const std::vector<WORD>& keys) {
  SetForegroundWindow(main);
  Sleep(200);
  for (WORD key : keys) {
    bool alt = key & 0x100;
    WORD vk = key & 0xFF;
    if (alt) keybd_event(VK_MENU, 0, 0, 0);
    keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
    keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
    if (alt) keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    Sleep(300);
  }
}

int Open(const TextWindow& t, const std::string& how) {
  HWND main = MainWindow();
  if (!main) {
    Fail("no main window");
    return 1;
  }
  if (how == "menu") {
    // What choosing the item with the mouse delivers to the window.
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IdOf(t.menu_item), 0), 0);
  } else if (how == "toolbar") {
    PostMessageW(Control(main, t.toolbar_button), BM_CLICK, 0, 0);
  } else {  // keys
    Keys(main, {static_cast<WORD>(0x100 | 'H'), static_cast<WORD>(t.menu_item[0] == 'N' ? 'U' : 'M')});
  }
  HWND w = nullptr;
  if (!WaitFor([&] { return (w = FindVisible(t.class_name)) != nullptr; })) {
    Fail(Narrow(t.class_name) + " did not open by " + how);
    return failures;
  }
  Sleep(300);
  std::string n = t.caption;
  CheckEqStr(Text(w), t.caption, n + " caption");
  if (t.sizeable)
    CheckFrame(w, 167, 82, 529, 428, false, n);
  else
    CheckFrame(w, 208, 104, 456, 304, true, n);
  CheckStyle(w, t.sizeable, n);
  Check(GetWindow(w, GW_OWNER) == main, n + " is owned by the main window");
  Check(!IsWindowEnabled(main), "the main window takes no input while " + n + " is open");

  HWND memo = Control(w, "Memo1");
  if (!memo) {
    Fail(n + " has no text area");
    return failures;
  }
  CheckEqStr(Text(memo), t.text(), n + " text");
  LONG style = GetWindowLongW(memo, GWL_STYLE);
  Check((style & ES_MULTILINE) && (style & WS_VSCROLL), n + " text area is multi-line with a scroll bar");
  CheckEqInt((style & ES_READONLY) != 0, t.read_only, n + " text area read-only");
  CheckEqInt(static_cast<long>(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0)), 0, n + " shown from the top");
  RECT rc = PlaceInParent(memo), client;
  GetClientRect(w, &client);
  CheckEqInt(rc.left, 0, n + " text area left");
  CheckEqInt(rc.top, 0, n + " text area top");
  if (t.sizeable) {
    CheckEqInt(rc.right, client.right, n + " text area fills the width");
    CheckEqInt(rc.bottom, client.bottom, n + " text area fills the height");
  } else {
    CheckEqInt(rc.right - rc.left, 457, n + " text area width");
    CheckEqInt(rc.bottom - rc.top, 305, n + " text area height");
  }
  return failures;
}

int Close(const TextWindow& t) {
  HWND main = MainWindow();
  HWND w = FindVisible(t.class_name);
  if (!w) {
    Fail(std::string(t.caption) + " is not open");
    return failures;
  }
  HWND memo = Control(w, "Memo1");
  if (!t.read_only) {
    // Typing goes into the text; the next opening must not show it.
    SendMessageW(memo, EM_SETSEL, 0, 0);
    SendMessageW(memo, WM_CHAR, 'X', 0);
    Check(Text(memo) != t.text(), std::string(t.caption) + " takes typing");
  } else {
    SendMessageW(memo, WM_CHAR, 'X', 0);
    CheckEqStr(Text(memo), t.text(), std::string(t.caption) + " refuses typing");
  }
  if (t.sizeable) {
    // The text area follows the window's size.
    SetWindowPos(w, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    Sleep(200);
    RECT rc = PlaceInParent(memo), client;
    GetClientRect(w, &client);
    CheckEqInt(rc.right, client.right, "help text area follows the width");
    CheckEqInt(rc.bottom, client.bottom, "help text area follows the height");
  }
  PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  Check(WaitFor([&] { return !IsWindow(w); }), std::string(t.caption) + " closes");
  Check(WaitFor([&] { return IsWindowEnabled(main) != 0; }), "the main window takes input again");
  return failures;
}

int Leave(const std::string& how) {
  HWND main = MainWindow();
  if (!main) {
    Fail("no main window");
    return 1;
  }
  if (how == "button")
    PostMessageW(Control(main, "BitBtn4"), BM_CLICK, 0, 0);
  else if (how == "keys")
    Keys(main, {static_cast<WORD>(0x100 | 'S'), static_cast<WORD>('E')});
  else if (how == "menu")
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IdOf("E1"), 0), 0);
  else
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  Check(WaitFor([&] { return !IsWindow(main); }), "the program leaves by " + how);
  return failures;
}

// A visible message box (#32770) with this caption, or nullptr.
HWND FindMessageBox(const std::string& caption) {
  HWND w = nullptr;
  while ((w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr)
    if (IsWindowVisible(w) && Text(w) == caption) return w;
  return nullptr;
}

int Answer(const std::string& caption, const std::string& text, const std::string& button,
           const std::string& icon) {
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = FindMessageBox(caption)) != nullptr; }, 30000)) {
    Fail("no message box \"" + caption + "\"");
    return failures;
  }
  HWND text_static = GetDlgItem(box, 0xFFFF);
  if (text != "*") CheckEqStr(text_static ? Text(text_static) : "<none>", text, "message text");
  HWND icon_static = GetDlgItem(box, 1088);
  bool has_icon = icon_static && IsWindowVisible(icon_static) && SendMessageW(icon_static, STM_GETICON, 0, 0) != 0;
  Check(has_icon == (icon == "icon"),
        "message box " + std::string(icon == "icon" ? "with" : "without") + " an icon");
  int id = button == "OK" ? IDOK : button == "Cancel" ? IDCANCEL : button == "Yes" ? IDYES : IDNO;
  HWND b = GetDlgItem(box, id);
  Check(b != nullptr, "message box has the button " + button);
  if (b) PostMessageW(b, BM_CLICK, 0, 0);
  Check(WaitFor([&] { return !IsWindow(box); }), "message box closes");
  return failures;
}

int WaitDialog() {
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = FindVisible(L"TForm2")) != nullptr; }, 15000)) {
    Fail("the wait dialog did not appear");
    return failures;
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
  return failures;
}

int Usage() {
  std::printf("usage: driver wait-main | check-main | show-page rpl|pxe |\n"
              "       open help|statement menu|toolbar|keys | close help|statement |\n"
              "       check-text NAME TEXT | menu H|S | escape | leave button|menu|keys|closebox\n");
  return 2;
}

}  // namespace

// Opens a menu of the bar with its key and leaves it open for a screenshot.
int ShowMenu(char letter) {
  HWND main = MainWindow();
  Keys(main, {static_cast<WORD>(0x100 | letter)});
  HWND popup = nullptr;
  Check(WaitFor([&] { return (popup = FindVisible(L"#32768")) != nullptr; }, 3000),
        std::string("Alt+") + letter + " opens its menu");
  return failures;
}

int main() {
  // The words of the command line as UTF-8, Chinese ones included (the
  // narrow argv holds them in the system's code page).
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(Narrow(wide[i]));
  LocalFree(wide);
  if (argc < 2) return Usage();
  std::string step = args[1], arg = argc > 2 ? args[2] : "", arg2 = argc > 3 ? args[3] : "";
  int result;
  if (step == "wait-main") {
    result = WaitFor([] { return MainWindow() && IsWindowVisible(MainWindow()); }, 20000) ? 0 : 1;
    if (result) Fail("the main window did not appear");
  } else if (step == "check-main") {
    result = CheckMain();
  } else if (step == "show-page" && (arg == "rpl" || arg == "pxe")) {
    result = ShowPage(arg == "rpl" ? kRpl : kPxe);
  } else if (step == "open" && (arg == "help" || arg == "statement")) {
    result = Open(arg == "help" ? kHelp : kStatement, arg2);
  } else if (step == "close" && (arg == "help" || arg == "statement")) {
    result = Close(arg == "help" ? kHelp : kStatement);
  } else if (step == "check-text" && !arg.empty()) {
    HWND main = MainWindow();
    HWND control = main ? Control(main, arg.c_str()) : nullptr;
    if (control)
      CheckEqStr(Text(control), arg2, arg + " text");
    else
      Fail("no control " + arg);
    result = failures;
  } else if (step == "menu" && arg.size() == 1) {
    result = ShowMenu(arg[0]);
  } else if (step == "escape") {
    Keys(MainWindow(), {VK_ESCAPE, VK_ESCAPE});
    result = 0;
  } else if (step == "leave") {
    result = Leave(arg);
  } else if (step == "set-text" && argc > 3) {
    HWND control = MainWindow() ? Control(MainWindow(), arg.c_str()) : nullptr;
    if (control)
      SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(arg2).c_str()));
    else
      Fail("no control " + arg);
    result = failures;
  } else if (step == "click" && !arg.empty()) {
    HWND control = MainWindow() ? Control(MainWindow(), arg.c_str()) : nullptr;
    if (control)
      PostMessageW(control, BM_CLICK, 0, 0);
    else
      Fail("no control " + arg);
    result = failures;
  } else if (step == "set-check" && (arg2 == "0" || arg2 == "1")) {
    HWND box = MainWindow() ? Control(MainWindow(), arg.c_str()) : nullptr;
    LRESULT want = arg2 == "1" ? BST_CHECKED : BST_UNCHECKED;
    if (box && SendMessageW(box, BM_GETCHECK, 0, 0) != want) SendMessageW(box, BM_CLICK, 0, 0);
    Check(box && SendMessageW(box, BM_GETCHECK, 0, 0) == want, arg + " shows " + arg2);
    result = failures;
  } else if (step == "answer" && argc > 5) {
    result = Answer(arg, arg2, args[4], args[5]);
  } else if (step == "wait-dialog") {
    result = WaitDialog();
  } else if (step == "wait-gone" && !arg.empty()) {
    Check(WaitFor([&] { return FindVisible(Widen(arg).c_str()) == nullptr; }, 20000), arg + " goes");
    result = failures;
  } else if (step == "close-window" && !arg.empty()) {
    HWND w = nullptr;
    Check(WaitFor([&] { return (w = FindVisible(Widen(arg).c_str())) != nullptr; }), "a window " + arg);
    if (w) PostMessageW(w, WM_CLOSE, 0, 0);
    Check(w && WaitFor([&] { return !IsWindow(w); }), arg + " closes");
    result = failures;
  } else {
    return Usage();
  }
  std::printf("%s %s %s %s\n", result ? "FAILED" : "ok", step.c_str(), arg.c_str(), arg2.c_str());
  std::fflush(stdout);
  return result ? 1 : 0;
}
