// The main window as the administrator sees it.
#include "app/server.h"

namespace app {

namespace {

// The form's value object of a control.
template <auto M>
platform::Control* Member(TForm1& form) {
  return &(form.*M);
}

// One row per control or menu item: its look and its value object in the
// form. The window's layout, the form's Find and Controls and the front end's
// identifiers all come from these rows.
struct ControlRow {
  look::ControlLayout look;
  platform::Control* (*control)(TForm1&);  // nullptr: the form keeps no value object
};

struct MenuRow {
  look::MenuLayout look;
  platform::Control* (*control)(TForm1&);  // nullptr: a menu, a separator or an item without action
};

const ControlRow kRows[] = {
    // name, id, kind, parent, left, top, width, height, text, hint, tab, enabled, visible, font, picture
    {{"CoolBar1", 101, look::Kind::kCoolBar, "", 0, 0, 441, 29, "", "", -1, true, true, nullptr, ""}, nullptr},
    {{"Panel1", 102, look::Kind::kPanel, "CoolBar1", 9, 2, 424, 25, "", "", -1, true, true, nullptr, ""}, nullptr},
    {{"SpeedButton1", 103, look::Kind::kSpeedButton, "Panel1", 0, 0, 25, 25, "", "DHCP for Windows200", -1, true, true, nullptr, "dhcp"}, Member<&TForm1::SpeedButton1>},
    {{"SpeedButton2", 104, look::Kind::kSpeedButton, "Panel1", 25, 0, 25, 25, "", "使用帮助", -1, true, true, nullptr, "help"}, Member<&TForm1::SpeedButton2>},
    {{"SpeedButton3", 105, look::Kind::kSpeedButton, "Panel1", 50, 0, 25, 25, "", "程序声明", -1, true, true, nullptr, "statement"}, Member<&TForm1::SpeedButton3>},

    {{"GroupBox1", 110, look::Kind::kGroupBox, "", 16, 39, 409, 130, "用户及目录信息：", "", -1, true, true, nullptr, ""}, nullptr},
    {{"Label1", 111, look::Kind::kLabel, "GroupBox1", 16, 27, 0, 0, "共享目录：", "", -1, true, true, nullptr, ""}, nullptr},
    {{"Label2", 112, look::Kind::kLabel, "GroupBox1", 16, 53, 0, 0, "用户前辍：", "", -1, true, true, nullptr, ""}, nullptr},
    {{"Label4", 113, look::Kind::kLabel, "GroupBox1", 16, 78, 0, 0, "工作组名：", "", -1, true, true, nullptr, ""}, nullptr},
    {{"Label3", 114, look::Kind::kLabel, "GroupBox1", 16, 102, 0, 0, "用户数目：", "", -1, true, true, nullptr, ""}, nullptr},
    {{"Edit1", 115, look::Kind::kEdit, "GroupBox1", 80, 23, 159, 24, "D:\\PVDROOT", "", 0, true, true, nullptr, ""}, Member<&TForm1::Edit1>},
    {{"Edit2", 116, look::Kind::kEdit, "GroupBox1", 80, 48, 159, 24, "USER", "", 1, true, true, nullptr, ""}, Member<&TForm1::Edit2>},
    {{"Edit4", 117, look::Kind::kEdit, "GroupBox1", 80, 72, 159, 24, "PXEUSERS", "", 2, true, true, nullptr, ""}, Member<&TForm1::Edit4>},
    {{"Edit3", 118, look::Kind::kEdit, "GroupBox1", 80, 98, 159, 24, "30", "", 3, true, true, nullptr, ""}, Member<&TForm1::Edit3>},
    {{"BitBtn1", 119, look::Kind::kGlyphButton, "GroupBox1", 264, 20, 121, 29, "生成用户及目录", "", 4, true, true, nullptr, "users"}, Member<&TForm1::BitBtn1>},
    {{"BitBtn8", 120, look::Kind::kGlyphButton, "GroupBox1", 264, 54, 121, 27, "编辑信息文件", "", 5, true, true, nullptr, "edit"}, Member<&TForm1::BitBtn8>},
    {{"BitBtn4", 121, look::Kind::kGlyphButton, "GroupBox1", 264, 86, 121, 29, "退出系统", "", 6, true, true, nullptr, "exit"}, Member<&TForm1::BitBtn4>},

    {{"ProgressBar1", 130, look::Kind::kProgressBar, "", 16, 170, 409, 13, "", "", -1, true, false, nullptr, ""}, Member<&TForm1::ProgressBar1>},

    {{"tabbook1", 140, look::Kind::kTabBook, "", 16, 184, 409, 217, "", "", -1, true, true, &look::kSansSerif13, ""}, nullptr},
    {{"Page1", 141, look::Kind::kPage, "tabbook1", 0, 0, 0, 0, "RPL 启式设置 ", "", -1, true, true, &look::kSong13, ""}, nullptr},
    {{"Page2", 142, look::Kind::kPage, "tabbook1", 0, 0, 0, 0, "PXE 启动设置", "", -1, true, false, &look::kSong13, ""}, nullptr},

    {{"Label6", 150, look::Kind::kLabel, "Page1", 16, 10, 0, 0, "网卡类型：", "", -1, true, true, &look::kSong12, ""}, nullptr},
    {{"Label5", 151, look::Kind::kLabel, "Page1", 16, 55, 73, 16, "RPL配置名：", "", -1, true, true, &look::kSong12, ""}, nullptr},
    {{"ComboBox2", 152, look::Kind::kComboBox, "Page1", 16, 72, 129, 21, "", "", 0, true, true, nullptr, ""}, Member<&TForm1::ComboBox2>},
    {{"BitBtn11", 153, look::Kind::kGlyphButton, "Page1", 277, 58, 113, 33, "安装", "安装RPL WIN98 所需文件", 1, false, true, nullptr, "install"}, Member<&TForm1::BitBtn11>},
    {{"BitBtn9", 154, look::Kind::kGlyphButton, "Page1", 277, 18, 113, 33, "配置Rpl", "注册RTL8139 网卡", 2, false, true, nullptr, "configure"}, Member<&TForm1::BitBtn9>},
    {{"BitBtn10", 155, look::Kind::kGlyphButton, "Page1", 157, 18, 114, 33, "检测", "RPL 8139 网卡是否配置！", 3, true, true, nullptr, "detect"}, Member<&TForm1::BitBtn10>},
    {{"ComboBox1", 156, look::Kind::kComboBox, "Page1", 16, 26, 129, 21, "RTL 8139\nRTL 8029\nOther NetCARD", "", 4, true, true, nullptr, ""}, Member<&TForm1::ComboBox1>},
    {{"ProgressBar2", 157, look::Kind::kProgressBar, "Page1", 9, 146, 382, 23, "", "", 5, true, true, nullptr, ""}, Member<&TForm1::ProgressBar2>},
    {{"BitBtn6", 158, look::Kind::kGlyphButton, "Page1", 157, 98, 114, 33, "开启远程启动", "", 6, true, true, nullptr, "start"}, Member<&TForm1::BitBtn6>},
    {{"BitBtn12", 159, look::Kind::kGlyphButton, "Page1", 157, 58, 113, 33, "更  新", "", 7, true, true, nullptr, "update"}, Member<&TForm1::BitBtn12>},
    {{"CheckBox1", 160, look::Kind::kCheckBox, "Page1", 16, 104, 129, 25, "工作站自动注册", "", 8, true, true, nullptr, ""}, Member<&TForm1::CheckBox1>},
    {{"SpeedButton7", 161, look::Kind::kSpeedButton, "Page1", 277, 98, 113, 33, "启动管理器", "", -1, true, true, &look::kSong12, "manager"}, Member<&TForm1::SpeedButton7>},

    {{"Image1", 170, look::Kind::kImage, "Page2", 8, 8, 217, 161, "", "", -1, true, true, nullptr, "pxe"}, nullptr},
    {{"BitBtn3", 171, look::Kind::kGlyphButton, "Page2", 240, 8, 145, 33, "安装 PXE", "安装PXE-PDK2.0", 0, true, true, nullptr, "install"}, Member<&TForm1::BitBtn3>},
    {{"BitBtn2", 172, look::Kind::kGlyphButton, "Page2", 241, 81, 144, 33, "配置 PXE", "配置PXE-PDK2.0", 1, true, true, nullptr, "configure"}, Member<&TForm1::BitBtn2>},
    {{"BitBtn5", 173, look::Kind::kGlyphButton, "Page2", 240, 44, 145, 33, "配置 DHCP", "设置DHCP", 2, true, true, nullptr, "dhcp"}, Member<&TForm1::BitBtn5>},
    {{"BitBtn7", 174, look::Kind::kGlyphButton, "Page2", 240, 117, 145, 33, "生成镜像文件", "自动生成启动镜像文件", 3, true, true, nullptr, "image"}, Member<&TForm1::BitBtn7>},
    {{"CheckBox2", 175, look::Kind::kCheckBox, "Page2", 240, 153, 105, 14, "网卡自动注册", "", 4, true, true, nullptr, ""}, Member<&TForm1::CheckBox2>},

    {{"StatusBar1", 180, look::Kind::kStatusBar, "", 0, 410, 441, 21, "Korrin Diskless Win98 无盘工作站服务器配置工具", "", -1, true, true, nullptr, ""}, nullptr},
};

const MenuRow kMenuRows[] = {
    {{"S1", 200, "系统(&S)", ""}, nullptr},
    {{"C1", 208, "检查服务器(&C)...", "S1"}, Member<&TForm1::C1>},
    {{"A1", 209, "保存应答文件(&A)...", "S1"}, Member<&TForm1::A1>},
    {{"C2", 210, "撤销(&U)...", "S1"}, Member<&TForm1::C2>},
    {{"E1", 201, "退出(&E)", "S1"}, Member<&TForm1::E1>},
    {{"H1", 202, "帮助(&H)", ""}, nullptr},
    {{"N2", 203, "使用帮助(&U)", "H1"}, Member<&TForm1::N2>},
    {{"N3", 204, "-", "H1"}, nullptr},
    {{"M1", 205, "程序声明(&M)", "H1"}, Member<&TForm1::M1>},
    {{"N4", 206, "-", "H1"}, nullptr},
    {{"N5", 207, "关于此程序...", "H1"}, nullptr},
};

template <class Look, class Row, size_t N>
std::vector<Look> Looks(const Row (&rows)[N]) {
  std::vector<Look> looks;
  for (const Row& row : rows) looks.push_back(row.look);
  return looks;
}

const std::vector<look::ControlLayout> kControls = Looks<look::ControlLayout>(kRows);
const std::vector<look::MenuLayout> kMenu = Looks<look::MenuLayout>(kMenuRows);

const look::WindowLayout kForm1 = {
    "Form1", "Korrin Diskless Win98   Server Version:1.2  by morva", 196, 37, 441, 431,
    &look::kSansSerif13, &kControls, &kMenu};

}  // namespace

const look::WindowLayout& TForm1::Layout() { return kForm1; }

platform::Control* TForm1::Find(const std::string& name) {
  for (platform::Control* control : Controls())
    if (name == control->name()) return control;
  return nullptr;
}

std::vector<platform::Control*> TForm1::Controls() {
  std::vector<platform::Control*> controls;
  for (const ControlRow& row : kRows)
    if (row.control) controls.push_back(row.control(*this));
  for (const MenuRow& row : kMenuRows)
    if (row.control) controls.push_back(row.control(*this));
  return controls;
}

}  // namespace app
