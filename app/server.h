// The main window (Form1): its controls, the state it keeps for its whole life,
// and one handler per control event. The handlers of the account group, the
// PXE page and the RPL page call the routines of their subsystems.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/server_check.h"
#include "base/plan.h"
#include "look/layout.h"
#include "platform/controls.h"
#include "platform/journal_host.h"
#include "platform/platform.h"
#include "rpl/vendor_prefix_dialog.h"
#include "rpl/driver_chooser.h"

namespace app {

// What the main window keeps besides its controls. Nothing of it is saved.
struct ServerSettings {
  std::string StartDir;         // the current directory at start-up
  std::string SystemRoot;       // the server's Windows directory, from the registry
  std::string NdisDriverPath;   // the NDIS driver chosen for a custom card
  std::string NdisDriverName;   // its file name without directory and extension
};

class TForm1 {
 public:
  TForm1(platform::Host& host, platform::Ui& ui);

  static const look::WindowLayout& Layout();
  // The control or menu item of a name in the layout, or nullptr.
  platform::Control* Find(const std::string& name);
  // The controls and menu items the window shows, each with its handler.
  std::vector<platform::Control*> Controls();

  // Events of this window.
  void FormCreate();
  void BitBtn4Click();  // exit button: removes the account script, then closes
  void E1Click();       // menu exit: closes
  void C1Click();       // menu: the check of the whole server, in its window
  void A1Click();       // menu: the answer file of the fields as they stand, saved
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
  void ComboBox2Change(); // another profile chosen
  void BitBtn6Click();   // start remote boot
  void SpeedButton7Click();  // boot manager

  // What a button that changes the server would do now, with the window's
  // fields as they stand: its plan, made without changing anything. The
  // button by its control's name: BitBtn1, BitBtn8, BitBtn3, BitBtn7, BitBtn9,
  // BitBtn11, CheckBox1 (set to `on`), BitBtn6. `answers` answers the
  // questions of 配置Rpl (the vendor prefix, a custom card's driver) and
  // 安装's DOS question (`on`); without them the plan lists the questions.
  struct PlanAnswers {
    std::string vendor, driver;
    bool on = true;
  };
  plan::Plan PlanOf(const std::string& button, const PlanAnswers* answers = nullptr);

  // The journal the window keeps: each press of a control that changes the
  // server is a step of it. Without one nothing is kept (the tests' windows).
  void SetJournal(platform::JournalHost* journal) { journal_ = journal; }
  void C2Click();  // menu: the undo window, for the sessions of the journal

  ServerSettings settings;
  // The account script last started (StartWatched's number), 0 for none.
  int AccountScript() const { return account_script_; }

  // The controls; each starts as its row in the layout gives it.
  // Toolbar and menu.
  platform::Button SpeedButton1{"SpeedButton1"};
  platform::Button SpeedButton2{"SpeedButton2"};
  platform::Button SpeedButton3{"SpeedButton3"};
  platform::Button C1{"C1"};
  platform::Button A1{"A1"};
  platform::Button E1{"E1"};
  platform::Button C2{"C2"};
  platform::Button N2{"N2"};
  platform::Button M1{"M1"};
  // Account group.
  platform::Edit Edit1{"Edit1"};
  platform::Edit Edit2{"Edit2"};
  platform::Edit Edit4{"Edit4"};
  platform::Edit Edit3{"Edit3"};
  platform::Button BitBtn1{"BitBtn1"};
  platform::Button BitBtn8{"BitBtn8"};
  platform::Button BitBtn4{"BitBtn4"};
  platform::ProgressBar ProgressBar1{"ProgressBar1"};
  // RPL page.
  platform::ComboBox ComboBox1{"ComboBox1"};
  platform::ComboBox ComboBox2{"ComboBox2"};
  platform::CheckBox CheckBox1{"CheckBox1"};
  platform::Button BitBtn10{"BitBtn10"};
  platform::Button BitBtn12{"BitBtn12"};
  platform::Button BitBtn6{"BitBtn6"};
  platform::Button BitBtn9{"BitBtn9"};
  platform::Button BitBtn11{"BitBtn11"};
  platform::Button SpeedButton7{"SpeedButton7"};
  platform::ProgressBar ProgressBar2{"ProgressBar2"};
  // PXE page.
  platform::Button BitBtn3{"BitBtn3"};
  platform::Button BitBtn5{"BitBtn5"};
  platform::Button BitBtn2{"BitBtn2"};
  platform::Button BitBtn7{"BitBtn7"};
  platform::CheckBox CheckBox2{"CheckBox2"};

  // The dialogs made once at start-up, keeping their contents for the run.
  rpl::TForm3 Form3;
  rpl::TGetNetDrv GetNetDrv;

 private:
  // Sets CheckBox1 without its switch writing anything: to what the chosen
  // profile's start script holds, or back after a refusal.
  void ShowAutoRegistration(bool checked);
  // Sets CheckBox1 from the chosen profile's start script.
  void ReadAutoRegistration();

  // A press as a step of the journal: the button's plan gives the places
  // its programs may change; a journal that cannot be written refuses the
  // press before anything is done, and says why.
  void Step(const std::string& control, const std::function<void()>& handler);

  platform::Host& host_;
  platform::Ui& ui_;
  platform::JournalHost* journal_ = nullptr;
  bool quiet_auto_registration_ = false;  // CheckBox1 is being set by ShowAutoRegistration
  int account_script_ = 0;                // the account script last started, while it may run
};

// What the server check reads from the window: its fields and what it keeps.
CheckInput CheckInputOf(const TForm1& form);

}  // namespace app
