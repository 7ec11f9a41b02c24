// The program's windows as their descriptions give them, written out here
// rather than taken from the program's own layout tables: one row a window
// (caption, frame, border, owner), one row a control (parent, page, place,
// text, state, hint), one row for each further first state of a control,
// and the order Tab visits each window's controls in.
#include "tests/e2e/probe.h"  // first: it includes windows.h

#include "app/help_window.h"
#include "app/statement_window.h"

namespace e2e {
namespace {

// The wait dialog counts down from 5, its bar a fifth further at each tick.
void CountAndBar(HWND window) {
  std::string count = Text(Control(window, "Label2"));
  Check(count.size() == 1 && count[0] >= '0' && count[0] <= '5', "the wait dialog counts: \"" + count + "\"");
  if (count.size() == 1)
    CheckMatch(Property(window, Control(window, "ProgressBar1"), "position"),
               std::to_string((5 - (count[0] - '0')) * 20), "the wait dialog's bar follows the count");
}

// client: the size is the client area's, else the whole window's; system
// menu: and a close box; sizeable: a sizing border, minimise and maximise
// boxes; modal: owned by the main window, which takes no input meanwhile;
// hands back: gone, it gives the main window its input back (else the
// program goes on); also: a further check, or nullptr.
struct WindowRow {
  const char *class_name, *caption;
  int left, top, width, height;
  bool client, system_menu, sizeable, modal, hands_back, menu_bar;
  void (*also)(HWND);
};

const WindowRow kWindows[] = {
    {"TForm1", "Korrin Diskless Win98   Server Version:1.2  by morva", 196, 37, 441, 431, true, true, false, false,
     false, true, nullptr},
    {"TForm5", "简要说明", 167, 82, 529, 428, false, true, true, true, true, false, nullptr},
    {"TForm4", "程序声明", 208, 104, 456, 304, true, true, false, true, true, false, nullptr},
    {"TForm2", "生成引导文件", 290, 227, 295, 76, true, false, false, true, false, false, CountAndBar},
    {"TForm3", "输入提示", 309, 208, 178, 104, true, true, false, true, false, false, nullptr},
    {"TGetNetDrv", "客户机网卡信息", 232, 126, 358, 314, true, true, false, true, false, false, nullptr},
    {"TCheckForm", "检查服务器", 140, 60, 620, 442, true, true, false, true, true, false, nullptr},
    {"TUndoForm", "撤销", 160, 80, 540, 420, true, true, false, true, true, false, nullptr},
};

// parent: "" for the client area; page: the notebook page it lies on, ""
// for none; width and height 0: sized to its text; text: nullptr when not
// checked (pictures, bars, lists); hint: "" for none.
struct ControlRow {
  const char *window, *name, *parent, *page;
  int left, top, width, height;
  const char* text;
  bool enabled, visible;
  const char* hint;
};

const ControlRow kControls[] = {
    {"TForm1", "CoolBar1", "", "", 0, 0, 441, 29, nullptr, true, true, ""},
    {"TForm1", "Panel1", "CoolBar1", "", 9, 2, 424, 25, nullptr, true, true, ""},
    {"TForm1", "SpeedButton1", "Panel1", "", 0, 0, 25, 25, "", true, true, "DHCP for Windows200"},
    {"TForm1", "SpeedButton2", "Panel1", "", 25, 0, 25, 25, "", true, true, "使用帮助"},
    {"TForm1", "SpeedButton3", "Panel1", "", 50, 0, 25, 25, "", true, true, "程序声明"},
    {"TForm1", "GroupBox1", "", "", 16, 39, 409, 130, "用户及目录信息：", true, true, ""},
    {"TForm1", "Label1", "GroupBox1", "", 16, 27, 0, 0, "共享目录：", true, true, ""},
    {"TForm1", "Edit1", "GroupBox1", "", 80, 23, 159, 24, "D:\\PVDROOT", true, true, ""},
    {"TForm1", "Label2", "GroupBox1", "", 16, 53, 0, 0, "用户前辍：", true, true, ""},
    {"TForm1", "Edit2", "GroupBox1", "", 80, 48, 159, 24, "USER", true, true, ""},
    {"TForm1", "Label4", "GroupBox1", "", 16, 78, 0, 0, "工作组名：", true, true, ""},
    {"TForm1", "Edit4", "GroupBox1", "", 80, 72, 159, 24, "PXEUSERS", true, true, ""},
    {"TForm1", "Label3", "GroupBox1", "", 16, 102, 0, 0, "用户数目：", true, true, ""},
    {"TForm1", "Edit3", "GroupBox1", "", 80, 98, 159, 24, "30", true, true, ""},
    {"TForm1", "BitBtn1", "GroupBox1", "", 264, 20, 121, 29, "生成用户及目录", true, true, ""},
    {"TForm1", "BitBtn8", "GroupBox1", "", 264, 54, 121, 27, "编辑信息文件", true, true, ""},
    {"TForm1", "BitBtn4", "GroupBox1", "", 264, 86, 121, 29, "退出系统", true, true, ""},
    {"TForm1", "ProgressBar1", "", "", 16, 170, 409, 13, nullptr, true, false, ""},
    {"TForm1", "tabbook1", "", "", 16, 184, 409, 217, nullptr, true, true, ""},
    {"TForm1", "Label6", "Page1", "rpl", 16, 10, 0, 0, "网卡类型：", true, true, ""},
    {"TForm1", "ComboBox1", "Page1", "rpl", 16, 26, 129, 21, nullptr, true, true, ""},
    {"TForm1", "Label5", "Page1", "rpl", 16, 55, 73, 16, "RPL配置名：", true, true, ""},
    {"TForm1", "ComboBox2", "Page1", "rpl", 16, 72, 129, 21, nullptr, true, true, ""},
    {"TForm1", "CheckBox1", "Page1", "rpl", 16, 104, 129, 25, "工作站自动注册", true, true, ""},
    {"TForm1", "BitBtn10", "Page1", "rpl", 157, 18, 114, 33, "检测", true, true, "RPL 8139 网卡是否配置！"},
    {"TForm1", "BitBtn12", "Page1", "rpl", 157, 58, 113, 33, "更  新", true, true, ""},
    {"TForm1", "BitBtn6", "Page1", "rpl", 157, 98, 114, 33, "开启远程启动", true, true, ""},
    {"TForm1", "BitBtn9", "Page1", "rpl", 277, 18, 113, 33, "配置Rpl", false, true, "注册RTL8139 网卡"},
    {"TForm1", "BitBtn11", "Page1", "rpl", 277, 58, 113, 33, "安装", false, true, "安装RPL WIN98 所需文件"},
    {"TForm1", "SpeedButton7", "Page1", "rpl", 277, 98, 113, 33, "启动管理器", true, true, ""},
    {"TForm1", "ProgressBar2", "Page1", "rpl", 9, 146, 382, 23, nullptr, true, true, ""},
    {"TForm1", "Image1", "Page2", "pxe", 8, 8, 217, 161, nullptr, true, true, ""},
    {"TForm1", "BitBtn3", "Page2", "pxe", 240, 8, 145, 33, "安装 PXE", true, true, "安装PXE-PDK2.0"},
    {"TForm1", "BitBtn5", "Page2", "pxe", 240, 44, 145, 33, "配置 DHCP", true, true, "设置DHCP"},
    {"TForm1", "BitBtn2", "Page2", "pxe", 241, 81, 144, 33, "配置 PXE", true, true, "配置PXE-PDK2.0"},
    {"TForm1", "BitBtn7", "Page2", "pxe", 240, 117, 145, 33, "生成镜像文件", true, true, "自动生成启动镜像文件"},
    {"TForm1", "CheckBox2", "Page2", "pxe", 240, 153, 105, 14, "网卡自动注册", true, true, ""},
    {"TForm1", "StatusBar1", "", "", 0, 410, 441, 21, nullptr, true, true, ""},
    // The help window's text area fills its first client area.
    {"TForm5", "Memo1", "", "", 0, 0, 521, 401, app::TForm5::Text(), true, true, ""},
    {"TForm4", "Memo1", "", "", 0, 0, 457, 305, app::TForm4::Text(), true, true, ""},
    {"TForm2", "Label1", "", "", 26, 17, 0, 0, "正在建立引导镜像文件，请等待五秒...", true, true, ""},
    {"TForm2", "Label2", "", "", 268, 19, 16, 14, nullptr, true, true, ""},
    {"TForm2", "ProgressBar1", "", "", 24, 40, 253, 17, nullptr, true, true, ""},
    {"TForm3", "GroupBox1", "", "", 8, 8, 161, 57, "验正网卡的前六位地址:", true, true, ""},
    {"TForm3", "MAC", "GroupBox1", "", 8, 24, 145, 21, "00E04C", true, true, ""},
    {"TForm3", "Button1", "", "", 88, 72, 81, 25, "确定", true, true, ""},
    {"TGetNetDrv", "DirectoryListBox1", "", "", 16, 8, 153, 145, nullptr, true, true, ""},
    {"TGetNetDrv", "FileListBox1", "", "", 184, 8, 161, 145, nullptr, true, true, ""},
    {"TGetNetDrv", "DriveComboBox1", "", "", 16, 160, 153, 19, nullptr, true, true, ""},
    {"TGetNetDrv", "FilterComboBox1", "", "", 184, 160, 161, 21, nullptr, true, true, ""},
    {"TGetNetDrv", "NDISTALK", "", "", 112, 198, 233, 21, "", false, true, "网卡驱动名称，只接受用户选择，不接受输入！"},
    {"TGetNetDrv", "MACTALK", "", "", 112, 232, 233, 21, nullptr, true, true, ""},
    {"TGetNetDrv", "BitBtn1", "", "", 264, 264, 81, 33, "确 定", true, true, ""},
    // The check window: its report, the line that sums it up, its two buttons.
    {"TCheckForm", "Memo1", "", "", 8, 8, 604, 392, "服务器检查报告\r\n*", true, true, ""},
    {"TCheckForm", "Label1", "", "", 8, 414, 388, 16, "共 *", true, true, ""},
    {"TCheckForm", "Button1", "", "", 404, 408, 100, 26, "复制报告(&C)", true, true, ""},
    {"TCheckForm", "Button2", "", "", 512, 408, 100, 26, "关闭", true, true, ""},
    // The undo window: the sessions and their steps, what the chosen undo
    // would do, its button (off until an undo that can be done is chosen)
    // and the close button.
    {"TUndoForm", "ListBox1", "", "", 8, 8, 524, 180, nullptr, true, true, ""},
    {"TUndoForm", "Memo1", "", "", 8, 196, 524, 180, "选择要撤销的会话，或会话中的某个步骤：这里列出撤销时要做的改动。", true, true, ""},
    {"TUndoForm", "Button1", "", "", 324, 386, 100, 26, "撤销(&U)", false, true, ""},
    {"TUndoForm", "Button2", "", "", 432, 386, 100, 26, "关闭", true, true, ""},
};

// Further first states: a property of a control (probe.h's Property) and
// what it shows; `page`, when set, the notebook page the row holds for.
const struct {
  const char *window, *control, *property, *value, *page;
} kStates[] = {
    {"TForm1", "tabbook1", "items", "RPL 启式设置 |PXE 启动设置", ""},
    {"TForm1", "tabbook1", "chosen", "RPL 启式设置 ", "rpl"},
    {"TForm1", "tabbook1", "chosen", "PXE 启动设置", "pxe"},
    {"TForm1", "ComboBox1", "items", "RTL 8139|RTL 8029|Other NetCARD", ""},
    {"TForm1", "ComboBox1", "chosen", "", ""},
    {"TForm1", "ComboBox1", "style", "list", ""},
    {"TForm1", "ComboBox2", "items", "", ""},
    {"TForm1", "ComboBox2", "style", "list", ""},
    {"TForm1", "CheckBox1", "checked", "0", ""},
    {"TForm1", "CheckBox2", "checked", "0", ""},
    {"TForm1", "ProgressBar2", "position", "0", ""},
    {"TForm1", "StatusBar1", "text", "Korrin Diskless Win98*", ""},
    {"TForm1", "Page1", "tabstops", "ComboBox2 BitBtn11 BitBtn9 BitBtn10 ComboBox1 BitBtn6 BitBtn12 CheckBox1", ""},
    {"TForm1", "Page2", "tabstops", "BitBtn3 BitBtn2 BitBtn5 BitBtn7 CheckBox2", ""},
    {"TForm5", "Memo1", "style", "multiline vscroll readonly", ""},
    {"TForm5", "Memo1", "topline", "0", ""},
    {"TForm4", "Memo1", "style", "multiline vscroll", ""},
    {"TForm4", "Memo1", "topline", "0", ""},
    {"TForm3", "MAC", "items", "00E04C|5254AB|0000B4|52544C", ""},
    {"TGetNetDrv", "FilterComboBox1", "items", "NdisDrive(*.DOS)", ""},
    {"TCheckForm", "Memo1", "style", "multiline vscroll readonly", ""},
    {"TCheckForm", "Memo1", "topline", "0", ""},
    {"TCheckForm", "Memo1", "focus", "1", ""},
    {"TUndoForm", "Memo1", "style", "multiline vscroll readonly", ""},
    {"TUndoForm", "ListBox1", "chosen", "", ""},
};

// The tab stops of each window in the order Tab visits them (the main
// window with the RPL page shown: its disabled buttons and its bar are
// skipped).
const struct {
  const char* window;
  std::vector<std::string> order;
} kTabCycles[] = {
    {"TForm1", {"Edit1", "Edit2", "Edit4", "Edit3", "BitBtn1", "BitBtn8", "BitBtn4", "ComboBox2", "BitBtn10",
                "ComboBox1", "BitBtn6", "BitBtn12", "CheckBox1"}},
    {"TForm3", {"MAC", "Button1"}},
    {"TGetNetDrv",
     {"DirectoryListBox1", "FileListBox1", "DriveComboBox1", "FilterComboBox1", "MACTALK", "BitBtn1"}},
    {"TCheckForm", {"Memo1", "Button1", "Button2"}},
    // The undo button is off until an undo is chosen: Tab passes it by.
    {"TUndoForm", {"ListBox1", "Memo1", "Button2"}},
};

const WindowRow* RowOf(const std::string& class_name) {
  for (const WindowRow& w : kWindows)
    if (class_name == w.class_name) return &w;
  return nullptr;
}

void CheckFrame(HWND w, const WindowRow& row) {
  const std::string name = row.class_name;
  RECT outer, inner;
  GetWindowRect(w, &outer);
  GetClientRect(w, &inner);
  CheckMatch(Numbers({outer.left, outer.top, row.client ? inner.right : outer.right - outer.left,
                      row.client ? inner.bottom : outer.bottom - outer.top}),
             Numbers({row.left, row.top, row.width, row.height}),
             name + (row.client ? " place and client size" : " place and size"));
  const LONG style = GetWindowLongW(w, GWL_STYLE), sizing = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  Check(((style & WS_SYSMENU) != 0) == row.system_menu, name + (row.system_menu ? " has" : " has no") + " system menu");
  Check((style & sizing) == (row.sizeable ? sizing : 0),
        name + (row.sizeable ? " has" : " has no") + " sizing border, minimise and maximise boxes");
}

void CheckControl(HWND window, const ControlRow& row, const std::string& page) {
  HWND w = Control(window, row.name);
  if (!w) return;
  const std::string n = row.name;
  Check(GetParent(w) == (*row.parent ? Control(window, row.parent) : window),
        n + " lies in " + (*row.parent ? row.parent : "the client area"));
  RECT rc = PlaceInParent(w);
  if (row.width) {
    CheckMatch(Property(window, w, "place"), Numbers({row.left, row.top, row.width, row.height}), n + " place");
  } else {
    // Sized to its text: wide enough for every character, one line high.
    CheckMatch(Numbers({rc.left, rc.top}), Numbers({row.left, row.top}), n + " place");
    int chars = 0;
    for (const char* p = row.text; *p; ++p) chars += (*p & 0xC0) != 0x80;
    Check(rc.right - rc.left >= chars * 10, n + " is wide enough for its text");
    Check(rc.bottom - rc.top >= 12 && rc.bottom - rc.top <= 20, n + " is one line high");
  }
  if (row.text) CheckMatch(Text(w), row.text, n + " text");
  CheckMatch(Property(window, w, "enabled"), row.enabled ? "1" : "0", n + " enabled");
  Check(((GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0) == row.visible, n + " visible state");
  if (!*row.page || !page.empty())
    CheckMatch(Property(window, w, "shown"), row.visible && (!*row.page || page == row.page) ? "1" : "0", n + " shown");
  if (*row.hint) CheckMatch(Property(window, w, "hint"), row.hint, n + " hint");
}

}  // namespace

void CheckWindow(HWND w, const std::string& class_name, const std::string& page) {
  const WindowRow* row = RowOf(class_name);
  if (!row) return Fail("no row for the window " + class_name);
  CheckMatch(Text(w), row->caption, class_name + " caption");
  CheckFrame(w, *row);
  if (row->modal) {
    Check(GetWindow(w, GW_OWNER) == MainWindow(), class_name + " is owned by the main window");
    Check(!IsWindowEnabled(MainWindow()), "the main window takes no input while " + class_name + " is shown");
    Check(GetForegroundWindow() == w, class_name + " is the active window, in front of the main window");
  }
  // Menus of another process cannot be read under Wine: the keys that open
  // them are tried instead, and the screenshots show them.
  Check((GetMenu(w) != nullptr) == row->menu_bar, class_name + (row->menu_bar ? " has" : " has no") + " menu bar");
  for (const ControlRow& c : kControls)
    if (class_name == c.window) CheckControl(w, c, page);
  for (const auto& s : kStates)
    if (class_name == s.window && (!*s.page || page == s.page))
      CheckMatch(Property(w, Control(w, s.control), s.property), s.value,
                 std::string(s.control) + " " + s.property);
  if (row->also) row->also(w);
}

std::vector<std::string> TabCycleOf(const std::string& class_name) {
  for (const auto& t : kTabCycles)
    if (class_name == t.window) return t.order;
  return {};
}

bool HandsBack(const std::string& class_name) {
  const WindowRow* row = RowOf(class_name);
  return row && row->hands_back;
}

}  // namespace e2e
