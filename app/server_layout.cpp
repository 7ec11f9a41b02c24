// The main window as the administrator sees it.
#include "app/server.h"

namespace app {

const Font kSansSerif13 = {"MS Sans Serif", 13, false};
const Font kSansSerif11 = {"MS Sans Serif", 11, false};
const Font kSong13 = {"宋体", 13, true};
const Font kSong12 = {"宋体", 12, true};

namespace {

const std::vector<ControlLayout> kControls = {
    // name, kind, parent, left, top, width, height, text, hint, tab, enabled, visible, font, picture
    {"CoolBar1", Kind::kCoolBar, "", 0, 0, 441, 29, "", "", -1, true, true, nullptr, ""},
    {"Panel1", Kind::kPanel, "CoolBar1", 9, 2, 424, 25, "", "", -1, true, true, nullptr, ""},
    {"SpeedButton1", Kind::kSpeedButton, "Panel1", 0, 0, 25, 25, "", "DHCP for Windows200", -1, true, true, nullptr, "dhcp"},
    {"SpeedButton2", Kind::kSpeedButton, "Panel1", 25, 0, 25, 25, "", "使用帮助", -1, true, true, nullptr, "help"},
    {"SpeedButton3", Kind::kSpeedButton, "Panel1", 50, 0, 25, 25, "", "程序声明", -1, true, true, nullptr, "statement"},

    {"GroupBox1", Kind::kGroupBox, "", 16, 39, 409, 130, "用户及目录信息：", "", -1, true, true, nullptr, ""},
    {"Label1", Kind::kLabel, "GroupBox1", 16, 27, 0, 0, "共享目录：", "", -1, true, true, nullptr, ""},
    {"Label2", Kind::kLabel, "GroupBox1", 16, 53, 0, 0, "用户前辍：", "", -1, true, true, nullptr, ""},
    {"Label4", Kind::kLabel, "GroupBox1", 16, 78, 0, 0, "工作组名：", "", -1, true, true, nullptr, ""},
    {"Label3", Kind::kLabel, "GroupBox1", 16, 102, 0, 0, "用户数目：", "", -1, true, true, nullptr, ""},
    {"Edit1", Kind::kEdit, "GroupBox1", 80, 23, 159, 24, "D:\\PVDROOT", "", 0, true, true, nullptr, ""},
    {"Edit2", Kind::kEdit, "GroupBox1", 80, 48, 159, 24, "USER", "", 1, true, true, nullptr, ""},
    {"Edit4", Kind::kEdit, "GroupBox1", 80, 72, 159, 24, "PXEUSERS", "", 2, true, true, nullptr, ""},
    {"Edit3", Kind::kEdit, "GroupBox1", 80, 98, 159, 24, "30", "", 3, true, true, nullptr, ""},
    {"BitBtn1", Kind::kGlyphButton, "GroupBox1", 264, 20, 121, 29, "生成用户及目录", "", 4, true, true, nullptr, "users"},
    {"BitBtn8", Kind::kGlyphButton, "GroupBox1", 264, 54, 121, 27, "编辑信息文件", "", 5, true, true, nullptr, "edit"},
    {"BitBtn4", Kind::kGlyphButton, "GroupBox1", 264, 86, 121, 29, "退出系统", "", 6, true, true, nullptr, "exit"},

    {"ProgressBar1", Kind::kProgressBar, "", 16, 170, 409, 13, "", "", -1, true, false, nullptr, ""},

    {"tabbook1", Kind::kTabBook, "", 16, 184, 409, 217, "", "", -1, true, true, &kSansSerif13, ""},
    {"Page1", Kind::kPage, "tabbook1", 0, 0, 0, 0, "RPL 启式设置 ", "", -1, true, true, &kSong13, ""},
    {"Page2", Kind::kPage, "tabbook1", 0, 0, 0, 0, "PXE 启动设置", "", -1, true, false, &kSong13, ""},

    {"Label6", Kind::kLabel, "Page1", 16, 10, 0, 0, "网卡类型：", "", -1, true, true, &kSong12, ""},
    {"Label5", Kind::kLabel, "Page1", 16, 55, 73, 16, "RPL配置名：", "", -1, true, true, &kSong12, ""},
    {"ComboBox2", Kind::kComboBox, "Page1", 16, 72, 129, 21, "", "", 0, true, true, nullptr, ""},
    {"BitBtn11", Kind::kGlyphButton, "Page1", 277, 58, 113, 33, "安装", "安装RPL WIN98 所需文件", 1, false, true, nullptr, "install"},
    {"BitBtn9", Kind::kGlyphButton, "Page1", 277, 18, 113, 33, "配置Rpl", "注册RTL8139 网卡", 2, false, true, nullptr, "configure"},
    {"BitBtn10", Kind::kGlyphButton, "Page1", 157, 18, 114, 33, "检测", "RPL 8139 网卡是否配置！", 3, true, true, nullptr, "detect"},
    {"ComboBox1", Kind::kComboBox, "Page1", 16, 26, 129, 21, "RTL 8139\nRTL 8029\nOther NetCARD", "", 4, true, true, nullptr, ""},
    {"ProgressBar2", Kind::kProgressBar, "Page1", 9, 146, 382, 23, "", "", 5, true, true, nullptr, ""},
    {"BitBtn6", Kind::kGlyphButton, "Page1", 157, 98, 114, 33, "开启远程启动", "", 6, true, true, nullptr, "start"},
    {"BitBtn12", Kind::kGlyphButton, "Page1", 157, 58, 113, 33, "更  新", "", 7, true, true, nullptr, "update"},
    {"CheckBox1", Kind::kCheckBox, "Page1", 16, 104, 129, 25, "工作站自动注册", "", 8, true, true, nullptr, ""},
    {"SpeedButton7", Kind::kSpeedButton, "Page1", 277, 98, 113, 33, "启动管理器", "", -1, true, true, &kSong12, "manager"},

    {"Image1", Kind::kImage, "Page2", 8, 8, 217, 161, "", "", -1, true, true, nullptr, "pxe"},
    {"BitBtn3", Kind::kGlyphButton, "Page2", 240, 8, 145, 33, "安装 PXE", "安装PXE-PDK2.0", 0, true, true, nullptr, "install"},
    {"BitBtn2", Kind::kGlyphButton, "Page2", 241, 81, 144, 33, "配置 PXE", "配置PXE-PDK2.0", 1, true, true, nullptr, "configure"},
    {"BitBtn5", Kind::kGlyphButton, "Page2", 240, 44, 145, 33, "配置 DHCP", "设置DHCP", 2, true, true, nullptr, "dhcp"},
    {"BitBtn7", Kind::kGlyphButton, "Page2", 240, 117, 145, 33, "生成镜像文件", "自动生成启动镜像文件", 3, true, true, nullptr, "image"},
    {"CheckBox2", Kind::kCheckBox, "Page2", 240, 153, 105, 14, "网卡自动注册", "", 4, true, true, nullptr, ""},

    {"StatusBar1", Kind::kStatusBar, "", 0, 410, 441, 21, "Korrin Diskless Win98 无盘工作站服务器配置工具", "", -1, true, true, nullptr, ""},
};

const std::vector<MenuLayout> kMenu = {
    {"S1", "系统(&S)", ""},
    {"E1", "退出(&E)", "S1"},
    {"H1", "帮助(&H)", ""},
    {"N2", "使用帮助(&U)", "H1"},
    {"N3", "-", "H1"},
    {"M1", "程序声明(&M)", "H1"},
    {"N4", "-", "H1"},
    {"N5", "关于此程序...", "H1"},
};

const WindowLayout kForm1 = {
    "Form1", "Korrin Diskless Win98   Server Version:1.2  by morva", 196, 37, 441, 431,
    &kSansSerif13, &kControls, &kMenu};

}  // namespace

const WindowLayout& TForm1::Layout() { return kForm1; }

}  // namespace app
