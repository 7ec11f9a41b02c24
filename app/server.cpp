#include "app/server.h"

#include <vector>

#include "accounts/users.h"
#include "app/answer_run.h"
#include "app/journal.h"
#include "app/undo_window.h"
#include "platform/encoding.h"
#include "app/statement_window.h"
#include "app/help_window.h"
#include "app/server_check.h"
#include "app/server_check_window.h"
#include "base/paths.h"
#include "platform/textfile.h"
#include "pxe/bootimage.h"
#include "pxe/startnet.h"
#include "rpl/detect.h"
#include "rpl/install.h"
#include "rpl/profiles.h"
#include "rpl/register.h"
#include "rpl/service.h"

namespace app {

TForm1::TForm1(platform::Host& host, platform::Ui& ui) : GetNetDrv(host), host_(host), ui_(ui) {
  std::vector<platform::Control*> controls;
  for (const look::ControlLayout& c : *Layout().controls)
    if (platform::Control* control = Find(c.name)) controls.push_back(control);
  look::SetFirstStates(Layout(), controls);
  // Each handler on its control: a click runs it, in the window as in a test.
  SpeedButton1.on_click = [this] { Step("SpeedButton1", [this] { SpeedButton1Click(); }); };
  SpeedButton2.on_click = [this] { SpeedButton2Click(); };
  SpeedButton3.on_click = [this] { SpeedButton3Click(); };
  C1.on_click = [this] { C1Click(); };
  A1.on_click = [this] { Step("A1", [this] { A1Click(); }); };
  E1.on_click = [this] { E1Click(); };
  C2.on_click = [this] { C2Click(); };
  N2.on_click = [this] { N2Click(); };
  M1.on_click = [this] { M1Click(); };
  BitBtn1.on_click = [this] { Step("BitBtn1", [this] { BitBtn1Click(); }); };
  BitBtn8.on_click = [this] { Step("BitBtn8", [this] { BitBtn8Click(); }); };
  BitBtn4.on_click = [this] { BitBtn4Click(); };
  BitBtn3.on_click = [this] { Step("BitBtn3", [this] { BitBtn3Click(); }); };
  BitBtn5.on_click = [this] { Step("BitBtn5", [this] { BitBtn5Click(); }); };
  BitBtn2.on_click = [this] { Step("BitBtn2", [this] { BitBtn2Click(); }); };
  BitBtn7.on_click = [this] { Step("BitBtn7", [this] { BitBtn7Click(); }); };
  BitBtn10.on_click = [this] { Step("BitBtn10", [this] { BitBtn10Click(); }); };
  BitBtn9.on_click = [this] { Step("BitBtn9", [this] { BitBtn9Click(); }); };
  BitBtn11.on_click = [this] { Step("BitBtn11", [this] { BitBtn11Click(); }); };
  BitBtn12.on_click = [this] { BitBtn12Click(); };
  BitBtn6.on_click = [this] { Step("BitBtn6", [this] { BitBtn6Click(); }); };
  SpeedButton7.on_click = [this] { Step("SpeedButton7", [this] { SpeedButton7Click(); }); };
  CheckBox1.on_change = [this] {
    if (quiet_auto_registration_) return;
    Step("CheckBox1", [this] { CheckBox1Click(); });
  };
  ComboBox2.on_change = [this] { ComboBox2Change(); };
}

void TForm1::Step(const std::string& control, const std::function<void()>& handler) {
  // A control a handler sets (安装 clears 工作站自动注册) is part of that
  // handler's step.
  if (!journal_ || journal_->InStep()) return handler();
  std::vector<plan::Plan> plans;
  PlanAnswers answers;
  answers.on = CheckBox1.Checked();
  plans.push_back(PlanOf(control, control == "CheckBox1" ? &answers : nullptr));
  std::string name = plans.back().button;
  for (const look::ControlLayout& c : *Layout().controls)
    if (name.empty() && control == c.name) name = c.text;
  for (const look::MenuLayout& m : *Layout().menu)
    if (name.empty() && control == m.name) name = std::string(m.caption).substr(0, std::string(m.caption).find('('));
  StepBefore before;
  std::string why;
  if (!BeginJournalStep(*journal_, name, plans, Edit4.Text(), &before, &why)) {
    ui_.MessageBox("无法记下这一步的改动：" + why + "。\r\n这一步什么也没有做。", "操作记录", platform::kMbIconExclamation);
    // A box clicked goes back to what it showed.
    if (control == "CheckBox1") ShowAutoRegistration(!CheckBox1.Checked());
    return;
  }
  handler();
  EndJournalStep(*journal_, before);
}

void TForm1::FormCreate() {
  // 1. Where the program was started: its companion folders lie below.
  settings.StartDir = host_.CurrentDirectory();
  // 2. The shared directory of the last generation, when there was one.
  if (host_.FileExists(paths::kTempsBak)) {
    std::vector<std::string> lines;
    if (!platform::ReadTextLines(host_, paths::kTempsBak, &lines)) {
      // The window still opens; the Windows directory is left unread.
      ui_.ShowError(std::string("无法读取文件 ") + paths::kTempsBak + "：输入/输出错误。");
      return;
    }
    Edit1.SetText(lines.empty() ? "" : lines[0]);
  }
  // 3. The server's Windows directory.
  settings.SystemRoot = host_.ReadRegistry(paths::kWindowsNtKey, "SystemRoot");
}

void TForm1::BitBtn4Click() {
  // An account script that still runs keeps its file: the command
  // interpreter reads it line by line, and would skip the rest unseen.
  accounts::RemoveAccountScript(host_, account_script_);
  ui_.CloseMainWindow();
}

void TForm1::E1Click() { ui_.CloseMainWindow(); }

CheckInput CheckInputOf(const TForm1& form) {
  CheckInput in;
  in.shared_directory = form.Edit1.Text();
  in.prefix = form.Edit2.Text();
  in.count = form.Edit3.Text();
  in.group = form.Edit4.Text();
  in.start_dir = form.settings.StartDir;
  in.system_root = form.settings.SystemRoot;
  return in;
}

void TForm1::C1Click() {
  const CheckInput in = CheckInputOf(*this);
  const ServerCheck check = CheckServer(host_, in);
  TCheckForm form(ui_, ReportText(check, in), CheckSummary(check));
  ui_.ShowModal(form);
}

void TForm1::A1Click() {
  std::string path = settings.StartDir + "\\answers.ini";
  if (!ui_.ChooseSaveFile("保存应答文件", &path)) return;
  // A field the file cannot carry (a line end, a character outside code
  // page 936) is named, and nothing is written.
  std::string bytes, why;
  if (!AnswerFileBytes(AnswersOf(host_, *this), &bytes, &why)) {
    ui_.MessageBox(why, "保存应答文件", platform::kMbIconExclamation);
    return;
  }
  if (!platform::WriteFileWhole(host_, path, bytes)) {
    ui_.MessageBox("无法写入应答文件 " + path + "（目录不存在、文件只读或磁盘已满），原来的文件保持原样。", "保存应答文件",
                   platform::kMbIconExclamation);
    return;
  }
  ui_.MessageBox("应答文件已保存到 " + path + "。\r\n在另一台服务器上，在本程序的目录中运行\r\n    Server.exe /run " + path +
                     " /log 日志文件\r\n即可按它完成同样的设置。",
                 "保存应答文件", platform::kMbIconInformation);
}

void TForm1::C2Click() {
  TUndoForm form(journal_ ? journal_->inner() : host_, ui_, paths::JournalRoot(settings.StartDir), journal_);
  ui_.ShowModal(form);
}

void TForm1::N2Click() {
  TForm5 Form5;
  ui_.ShowModal(Form5);
}

void TForm1::SpeedButton2Click() { N2Click(); }

void TForm1::M1Click() {
  TForm4 Form4;
  ui_.ShowModal(Form4);
}

void TForm1::SpeedButton3Click() { M1Click(); }

void TForm1::BitBtn1Click() {
  accounts::GenerateUsers(host_, ui_, {Edit1.Text(), Edit2.Text(), Edit3.Text(), Edit4.Text()},
                          ProgressBar1, &account_script_);
}

void TForm1::BitBtn8Click() { accounts::EditNamesFile(host_, ui_, Edit1.Text()); }

namespace {

// A plan's refusal as its button shows it: a message box with its caption,
// a notice when it has none, nothing when the button says nothing.
void ShowRefusal(platform::Ui& ui, const plan::Plan& plan) {
  if (plan.message.empty()) return;
  if (plan.caption.empty())
    ui.ShowMessage(plan.message);
  else
    ui.MessageBox(plan.message, plan.caption, plan.flags);
}

}  // namespace

void TForm1::BitBtn3Click() {
  const plan::Plan plan = pxe::PlanPdk(host_, settings.StartDir);
  if (plan.Refused()) return ShowRefusal(ui_, plan);
  pxe::ApplyPdk(host_, plan);
}
void TForm1::BitBtn5Click() { pxe::StartDhcpManager(host_, ui_); }
void TForm1::BitBtn2Click() { pxe::StartPdkConfigurator(host_, ui_); }
void TForm1::SpeedButton1Click() { pxe::StartPdkRegistrar(host_, ui_); }

void TForm1::BitBtn7Click() {
  const pxe::ImageFields fields{settings.StartDir, Edit1.Text(), CheckBox2.Checked()};
  const plan::Plan plan = pxe::PlanBootImage(host_, fields);
  if (plan.Refused()) {
    ShowRefusal(ui_, plan);
    // Without the template there is nothing to build: the program ends.
    if (pxe::EndsProgram(plan)) ui_.CloseMainWindow();
    return;
  }
  pxe::ApplyBootImage(host_, ui_, fields, plan);
}

void TForm1::BitBtn10Click() {
  // The message comes first; the button is unlocked once it is answered.
  switch (rpl::DetectCard(host_, ui_, ComboBox1.Text(), settings.SystemRoot)) {
    case rpl::Unlock::kConfigure: BitBtn9.SetEnabled(true); break;
    case rpl::Unlock::kInstall: BitBtn11.SetEnabled(true); break;
    case rpl::Unlock::kNone: break;
  }
}

void TForm1::BitBtn9Click() {
  rpl::CustomDriver custom{settings.NdisDriverPath, settings.NdisDriverName};
  rpl::RegistrationInput in;
  in.nic_type = ComboBox1.Text();
  in.system_root = settings.SystemRoot;
  in.start_dir = settings.StartDir;
  bool done = rpl::RegisterCard(host_, ui_, in, Form3, GetNetDrv, &custom);
  settings.NdisDriverPath = custom.path;
  settings.NdisDriverName = custom.name;
  if (done) {
    BitBtn11.SetEnabled(true);
    BitBtn9.SetEnabled(false);
  }
}

void TForm1::BitBtn11Click() {
  rpl::InstallWin98(host_, ui_,
                    {ComboBox2.Text(), ComboBox1.Text(), Edit1.Text(), settings.SystemRoot,
                     settings.StartDir, settings.NdisDriverName},
                    CheckBox1);
  // An installation that went ahead cleared the box before it touched the
  // profile, which now holds the image's start script, whichever that is; a
  // refused one leaves both as they were.
  if (!CheckBox1.Checked()) ReadAutoRegistration();
}

void TForm1::BitBtn12Click() {
  // Only the list changes: the profile chosen stays chosen while it is
  // listed, and the box shows what its start script holds. Nothing is
  // written, so no profile's auto-registration changes.
  const std::string chosen = ComboBox2.Text();
  ComboBox2.Clear();
  ComboBox2.SetItems(rpl::ProfileChoices(host_, settings.SystemRoot));
  const std::vector<std::string> items = ComboBox2.Items();
  for (size_t i = 0; i < items.size() && !chosen.empty(); ++i)
    if (items[i] == chosen) ComboBox2.SetItemIndex(static_cast<int>(i));
  ReadAutoRegistration();
}

void TForm1::CheckBox1Click() {
  if (quiet_auto_registration_) return;
  // A setting refused, or a start script that could not be written: the box
  // goes back to what it showed, which is what the file still holds. Going
  // back runs this handler once more, and that run writes nothing.
  const bool checked = CheckBox1.Checked();
  if (rpl::SwitchAutoRegistration(host_, ui_, settings.SystemRoot, ComboBox2.Text(), checked))
    ShowAutoRegistration(!checked);
}

void TForm1::ComboBox2Change() {
  // The box shows the newly chosen profile's start script; nothing is
  // written, so the profile chosen before keeps the script it has.
  ReadAutoRegistration();
}

void TForm1::ShowAutoRegistration(bool checked) {
  quiet_auto_registration_ = true;
  CheckBox1.SetChecked(checked);
  quiet_auto_registration_ = false;
}

void TForm1::ReadAutoRegistration() {
  // Checked only for the auto-registering script, byte for byte; a profile
  // without a start script, or one holding any other text, shows clear.
  const std::string auto_register = platform::JoinLines(pxe::StartNetLines(pxe::StartNetVariant::AutoRegister));
  const std::string profile = ComboBox2.Text();
  std::string bytes;
  ShowAutoRegistration(!profile.empty() &&
                       host_.ReadFile(paths::ProfileStartNet(settings.SystemRoot, profile), &bytes,
                                      auto_register.size() + 1) &&
                       bytes == auto_register);
}

plan::Plan TForm1::PlanOf(const std::string& button, const PlanAnswers* answers) {
  if (button == "BitBtn1")
    return accounts::PlanUsers(host_, {Edit1.Text(), Edit2.Text(), Edit3.Text(), Edit4.Text()}, account_script_);
  if (button == "BitBtn8") return accounts::PlanNamesFile(host_, Edit1.Text());
  if (button == "BitBtn3") return pxe::PlanPdk(host_, settings.StartDir);
  if (button == "BitBtn7") return pxe::PlanBootImage(host_, {settings.StartDir, Edit1.Text(), CheckBox2.Checked()});
  if (button == "BitBtn9") {
    rpl::RegistrationInput in;
    in.nic_type = ComboBox1.Text();
    in.system_root = settings.SystemRoot;
    in.start_dir = settings.StartDir;
    rpl::RegistrationAnswers given;
    if (answers) given = {true, answers->vendor, answers->driver, false};
    return rpl::PlanRegistration(host_, in, answers ? &given : nullptr).plan;
  }
  const rpl::InstallInput install{ComboBox2.Text(), ComboBox1.Text(), Edit1.Text(), settings.SystemRoot,
                                  settings.StartDir, settings.NdisDriverName};
  if (button == "BitBtn11") return rpl::PlanInstall(host_, install, answers ? &answers->on : nullptr).plan;
  if (button == "CheckBox1")
    return rpl::PlanAutoRegistration(host_, settings.SystemRoot, ComboBox2.Text(), !answers || answers->on);
  if (button == "BitBtn6") return rpl::PlanRemoteboot(host_);
  return {};
}

void TForm1::BitBtn6Click() { rpl::StartRemoteboot(host_, ProgressBar2); }

void TForm1::SpeedButton7Click() { rpl::StartManager(host_, settings.SystemRoot); }

}  // namespace app
