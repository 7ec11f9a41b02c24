// The main window (Form1): its controls, the state it keeps for its whole life,
// and one handler per control event. The handlers of the account group, the
// PXE page and the RPL page call the routines of their subsystems.
#pragma once

#include <string>

#include "look/layout.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "rpl/vendor_prefix_dialog.h"
#include "rpl/driver_chooser.h"

namespace app {

// What the main window keeps besides its controls. Nothing of it is saved.
struct ServerSettings {
  std::string StartDir;         // the current directory at start-up
  std::string SystemRoot;       // the server's Windows directory, from the registry
  std::string BootImageTarget;  // where the last PXE boot image was installed
  std::string NdisDriverPath;   // the NDIS driver chosen for a custom card
  std::string NdisDriverName;   // its file name without directory and extension
};

class TForm1 {
 public:
  TForm1(platform::Host& host, platform::Ui& ui);

  static const look::WindowLayout& Layout();
  // The control of a name in the layout, or nullptr.
  platform::Control* Find(const std::string& name);

  // Events of this window.
  void FormCreate();
  void BitBtn4Click();  // exit button: removes the account script, then closes
  void E1Click();       // menu exit: closes
  void C1Click();       // menu: the check of the whole server, in its window
  void N2Click();       // help, from the menu
  void SpeedButton2Click();  // help, from the toolbar
  void M1Click();       // statement, from the menu
  void SpeedButton3Click();  // statement, from the toolbar

  // Account group.
  void BitBtn1Click();  // generate users and directories
  void BitBtn8Click();  // edit the workstation names file
  // PXE page and toolbar.
  void BitBtn3Click();  // install the PXE PDK
  void BitBtn5Click();  // configure DHCP
  void BitBtn2Click();  // configure the PXE PDK
  void SpeedButton1Click();  // DHCP for Windows 2000
  void BitBtn7Click();  // generate the boot image
  // RPL page.
  void BitBtn10Click();  // detect
  void BitBtn9Click();   // configure RPL
  void BitBtn11Click();  // install
  void BitBtn12Click();  // update the profile list
  void CheckBox1Click(); // workstation auto-registration
  void BitBtn6Click();   // start remote boot
  void SpeedButton7Click();  // boot manager

  // Runs the handler of a control's click by the control's name (a button, a
  // menu item, a toolbar button); false for a name without one.
  bool Click(const std::string& name);

  ServerSettings settings;

  // Account group.
  platform::Edit Edit1{"Edit1", "D:\\PVDROOT"};
  platform::Edit Edit2{"Edit2", "USER"};
  platform::Edit Edit4{"Edit4", "PXEUSERS"};
  platform::Edit Edit3{"Edit3", "30"};
  platform::Button BitBtn1{"BitBtn1", "生成用户及目录"};
  platform::Button BitBtn8{"BitBtn8", "编辑信息文件"};
  platform::Button BitBtn4{"BitBtn4", "退出系统"};
  platform::ProgressBar ProgressBar1{"ProgressBar1", false};
  // RPL page.
  platform::ComboBox ComboBox1{"ComboBox1", {"RTL 8139", "RTL 8029", "Other NetCARD"}};
  platform::ComboBox ComboBox2{"ComboBox2"};
  platform::CheckBox CheckBox1{"CheckBox1", "工作站自动注册"};
  platform::Button BitBtn10{"BitBtn10", "检测"};
  platform::Button BitBtn12{"BitBtn12", "更  新"};
  platform::Button BitBtn6{"BitBtn6", "开启远程启动"};
  platform::Button BitBtn9{"BitBtn9", "配置Rpl", false};
  platform::Button BitBtn11{"BitBtn11", "安装", false};
  platform::Button SpeedButton7{"SpeedButton7", "启动管理器"};
  platform::ProgressBar ProgressBar2{"ProgressBar2", true};
  // PXE page.
  platform::Button BitBtn3{"BitBtn3", "安装 PXE"};
  platform::Button BitBtn5{"BitBtn5", "配置 DHCP"};
  platform::Button BitBtn2{"BitBtn2", "配置 PXE"};
  platform::Button BitBtn7{"BitBtn7", "生成镜像文件"};
  platform::CheckBox CheckBox2{"CheckBox2", "网卡自动注册"};

  // The dialogs made once at start-up, keeping their contents for the run.
  rpl::TForm3 Form3;
  rpl::TGetNetDrv GetNetDrv;

 private:
  platform::Host& host_;
  platform::Ui& ui_;
  bool refusing_auto_registration_ = false;  // CheckBox1 is being cleared after a refusal
};

}  // namespace app
