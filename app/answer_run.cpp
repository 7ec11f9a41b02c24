// The unattended run: the steps of an answer file through the main window's
// handlers, the questions answered from the file, the messages and changes
// into the log.
#include "app/answer_run.h"

#include "accounts/accounts_made.h"
#include "accounts/users.h"
#include "app/answer_run_parts.h"
#include "app/journal.h"
#include "app/server.h"
#include "app/unattended_ui.h"
#include "base/paths.h"
#include "app/server_check_parts.h"
#include "base/names.h"
#include "platform/journal_host.h"
#include "platform/recording_host.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/bootimage.h"
#include "pxe/wait_dialog.h"
#include "rpl/driver_chooser.h"
#include "rpl/register.h"
#include "rpl/vendor_prefix_dialog.h"

namespace app {
namespace unattended {
namespace {

// The keys a section needs before anything is done, and the keys that take
// yes or no.
struct Required {
  const char* section;
  const char* key;
};
const Required kRequired[] = {
    {"Accounts", "SharedDirectory"}, {"Accounts", "UserPrefix"},  {"Accounts", "WorkGroup"},
    {"Accounts", "UserCount"},       {"Pdk", "Install"},          {"Card", "Type"},
    {"Install", "Profile"},          {"AutoRegistration", "Profile"}, {"AutoRegistration", "On"},
    {"Service", "Start"},
};
const char* const kYesNoKeys[] = {"NamesFile", "Install", "AutoRegistration", "DosProfile", "On", "Start"};
const unsigned kPdkWait = 600000, kScriptWait = 600000, kPoll = 500;  // milliseconds

}  // namespace

std::string CardItem(const std::string& type) {
  std::string bare;  // without its spaces: "RTL8139" is "RTL 8139"
  for (char c : type)
    if (c != ' ') bare += c;
  for (const char* item : {"RTL 8139", "RTL 8029"})
    if (platform::SameName(bare, std::string(item, 3) + (item + 4))) return item;
  return platform::SameName(bare, "Other") || platform::SameName(bare, "OtherNetCARD") ? "Other NetCARD" : "";
}

std::string Value(const AnswerSection& s, const char* key) {
  const AnswerKey* k = s.Find(key);
  return k ? k->value : "";
}

namespace {

bool Choose(platform::ListBox& list, const std::string& item) {
  const std::vector<std::string> items = list.Items();
  for (size_t i = 0; i < items.size(); ++i)
    if (platform::SameName(items[i], item)) {
      if (list.ItemIndex() != static_cast<int>(i)) {
        list.SetItemIndex(static_cast<int>(i));
        list.Changed();
      }
      return true;
    }
  return false;
}

// The names file's folder, which the workstations' Windows upload makes.
std::string NamesFolder(const TForm1& form) { return form.Edit1.Text() + "\\windows"; }

// One step: its section's work through the window's handlers; "" when done,
// else what stopped it.
std::string DoStep(platform::Host& host, TForm1& form, UnattendedUi& ui, const AnswerSection& s) {
  const std::string& name = s.name;
  if (name == "Accounts") {
    ui.Begin(&s, "");
    form.Edit1.SetText(Value(s, "SharedDirectory"));
    form.Edit2.SetText(Value(s, "UserPrefix"));
    form.Edit4.SetText(Value(s, "WorkGroup"));
    form.Edit3.SetText(Value(s, "UserCount"));
    form.BitBtn1Click();
    // The script makes the accounts; the run goes on once it has ended.
    for (unsigned waited = 0; ui.stop().empty() && host.StillRunning(form.AccountScript()) && waited < kScriptWait;
         waited += kPoll)
      host.Pause(kPoll);
    if (ui.stop().empty() && host.StillRunning(form.AccountScript()))
      ui.Stop("账户脚本 c:\\usertemp.bat 运行了十分钟仍没有结束。");
    // The script's net commands report to no one: net's listings tell
    // whether every account, membership and share is there.
    if (ui.stop().empty()) {
      const std::vector<std::string> missing = accounts::MissingAccounts(
          host, {form.Edit1.Text(), form.Edit2.Text(), form.Edit3.Text(), form.Edit4.Text()});
      const size_t kLogged = 40;
      for (size_t i = 0; i < missing.size() && i < kLogged; ++i) ui.Log("  缺少：" + missing[i]);
      if (missing.size() > kLogged) ui.Log(Cat({"  ……另有 ", missing.size() - kLogged, " 项"}));
      if (!missing.empty())
        ui.Stop(Cat({"账户脚本已经结束，但 net 显示有 ", missing.size(), " 项没有建立（见上面“缺少”各行）。"}));
    }
    // The names file lives beside the workstations' Windows, which they
    // upload once the shares exist: on a new server it waits for them.
    const std::string names = paths::NetNamesFile(form.Edit1.Text());
    if (ui.stop().empty() && IsYes(Value(s, "NamesFile")) && !host.DirectoryExists(NamesFolder(form)))
      ui.Log("  " + NamesFolder(form) + " 还没有（工作站的 Windows 还没有上传）：上传之后按“编辑信息文件”建立 " + names +
             "。");
    else if (ui.stop().empty() && IsYes(Value(s, "NamesFile")) && !accounts::MakeNamesFile(host, form.Edit1.Text()))
      ui.Stop("无法建立工作站信息文件 " + names + "。");
  } else if (name == "Pdk") {
    ui.Begin(&s, "");
    if (!IsYes(Value(s, "Install"))) return "";
    // The button's plan: refused without the installer; only a refresh
    // once the PDK's programs are there.
    const std::string& start = form.settings.StartDir;
    auto installed = [&] { return pxe::PdkInstalled(host, start); };
    if (pxe::PlanPdk(host, start).Refused()) return "找不到 PXE-PDK 的安装程序 " + paths::PdkInstaller(start) + "。";
    if (installed()) return "";
    form.BitBtn3Click();
    // The installer is another program's window: the run waits for its
    // programs to appear, at most ten minutes.
    for (unsigned waited = 0; !installed() && waited < kPdkWait; waited += kPoll) host.Pause(kPoll);
    if (!installed())
      ui.Stop("PXE-PDK 的安装程序运行了十分钟，" +
              paths::PdkConfigurator(host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir")) + " 和 pxereg60.exe 仍不在。");
  } else if (name == "BootImage") {
    ui.Begin(&s, "");
    if (const AnswerKey* box = s.Find("AutoRegistration")) {
      form.CheckBox2.SetChecked(IsYes(box->value));
    } else {
      ui.Log(std::string("  没有 AutoRegistration：“网卡自动注册”保持") + (form.CheckBox2.Checked() ? "勾选" : "不勾选"));
    }
    form.BitBtn7Click();
  } else if (name == "Card") {
    ui.Begin(&s, "");
    Choose(form.ComboBox1, CardItem(Value(s, "Type")));
    ui.warnings_stop = false;
    form.BitBtn10Click();
    ui.warnings_stop = true;
    if (!ui.stop().empty()) return ui.stop();
    // A card registered already, but not with the file's prefix: the
    // workstations of that prefix would not boot, so 配置Rpl registers it
    // (the records the prefix lacks; the card's files are kept).
    const std::string prefix = Value(s, "VendorPrefix");
    const TForm1::PlanAnswers given{prefix, Value(s, "Driver"), true};
    if (!form.BitBtn9.Enabled() && form.BitBtn11.Enabled() && !prefix.empty() &&
        !form.PlanOf("BitBtn9", &given).Nothing()) {
      ui.Log("  网卡已经注册，但厂商前缀 " + prefix + " 还没有注册：按“配置Rpl”注册它");
      form.BitBtn9.SetEnabled(true);
    }
    if (form.BitBtn9.Enabled()) {
      form.BitBtn9Click();
      if (ui.stop().empty() && !form.BitBtn11.Enabled()) ui.Stop("注册没有完成。");
    } else if (!form.BitBtn11.Enabled()) {
      ui.Stop("检测没有通过，“配置Rpl”和“安装”都不可用。");
    }
  } else if (name == "Install") {
    ui.Begin(&s, "DosProfile");
    form.BitBtn12Click();
    if (!Choose(form.ComboBox2, Value(s, "Profile")))
      ui.Stop("“RPL配置名”列表中没有配置 " + Value(s, "Profile") + "。");
    else if (!form.BitBtn11.Enabled())
      ui.Stop("“安装”不可用：先用 [Card] 一节检测或注册网卡。");
    else
      form.BitBtn11Click();
  } else if (name == "AutoRegistration") {
    ui.Begin(&s, "");
    const bool on = IsYes(Value(s, "On"));
    if (!Choose(form.ComboBox2, Value(s, "Profile"))) {
      form.BitBtn12Click();
      if (!Choose(form.ComboBox2, Value(s, "Profile")))
        ui.Stop("“RPL配置名”列表中没有配置 " + Value(s, "Profile") + "。");
    }
    if (ui.stop().empty() && form.CheckBox1.Checked() != on) form.CheckBox1.SetChecked(on);
    if (ui.stop().empty() && form.CheckBox1.Checked() != on) ui.Stop("“工作站自动注册”没有设置成功。");
  } else if (name == "Service") {
    ui.Begin(&s, "");
    if (IsYes(Value(s, "Start"))) form.BitBtn6Click();
  }
  return ui.stop();
}

// The server check's items a step makes, asked once its handlers are done:
// "" when each is ready, else the item and why. [AutoRegistration] asks
// only its profile's start script; [Service] has no item (the start is not
// checked). The names file waits for the workstations' Windows (above).
std::string NotReady(platform::Host& host, TForm1& form, const AnswerSection& s) {
  std::vector<std::string> items;
  std::string script;  // [AutoRegistration]: what the profile's item must say
  void (*road)(platform::Host&, const CheckInput&, ServerCheck*) = CheckRpl;
  if (s.name == "Accounts") {
    road = CheckAccounts;
    items = {"共享目录", "用户目录"};
    if (IsYes(Value(s, "NamesFile")) && host.DirectoryExists(NamesFolder(form))) items.push_back("工作站信息文件");
  } else if (s.name == "Pdk" || s.name == "BootImage") {
    road = CheckPxe;
    if (s.name == "BootImage") items = {"已安装的启动镜像", "启动镜像中的服务器和共享"};
    else if (IsYes(Value(s, "Install"))) items = {"已安装的 PXE-PDK"};
  } else if (s.name == "Card") {
    const std::string card = form.ComboBox1.Text();
    items = {rpl::CardItem(card == "RTL 8139" ? "rtsnd" : card == "RTL 8029" ? "pcind" : form.settings.NdisDriverName)};
  } else if (s.name == "Install" || s.name == "AutoRegistration") {
    items = {"配置 " + form.ComboBox2.Text()};
    if (s.name == "AutoRegistration") script = IsYes(Value(s, "On")) ? "工作站自动注册：开" : "工作站自动注册：关";
  }
  if (items.empty()) return "";
  const CheckInput in = CheckInputOf(form);
  ServerCheck check;
  check.computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  check.share = base::ShareName(in.shared_directory);
  road(host, in, &check);
  for (const std::string& what : items) {
    const CheckItem* item = nullptr;
    for (const CheckItem& i : check.items)
      if (platform::SameName(i.what, what)) item = &i;
    if (!item) return "检查服务器没有“" + what + "”一项。";
    const bool done = script.empty() ? item->state == CheckState::kReady : item->found.find(script) != std::string::npos;
    if (!done)
      return Cat({"检查服务器认为“", what, "”", StateWord(item->state), "：", item->found,
                  item->mend.empty() ? "" : "（处理：", item->mend, item->mend.empty() ? "" : "）"});
  }
  // The check judges a card by any prefix that boots it; the file's prefix
  // is registered when 配置Rpl, planned with it, would add nothing.
  const std::string prefix = s.name == "Card" ? Value(s, "VendorPrefix") : "";
  const TForm1::PlanAnswers given{prefix, Value(s, "Driver"), true};
  const plan::Plan again = prefix.empty() ? plan::Plan() : form.PlanOf("BitBtn9", &given);
  if (!again.Nothing()) {
    const std::vector<std::string> words = plan::Describe(again);
    return "厂商前缀 " + prefix + " 没有注册全：再按“配置Rpl”还会" + (words.empty() ? "拒绝" : words.front()) + "。";
  }
  return "";
}

// One step, then the check's word on its items: "" when done, else what
// stopped it.
std::string RunStep(platform::Host& host, TForm1& form, UnattendedUi& ui, const AnswerSection& s) {
  const std::string stop = DoStep(host, form, ui, s);
  return stop.empty() ? NotReady(host, form, s) : stop;
}

}  // namespace

int Judge(const AnswerFile& answers, std::vector<std::string>* log) {
  for (const AnswerSection& s : answers.sections) {
    for (const Required& r : kRequired) {
      if (s.name != r.section) continue;
      const AnswerKey* key = s.Find(r.key);
      if (!key) {
        log->push_back(Cat({"[", s.name, "]（第 ", s.line, " 行）缺少键 ", r.key, "：请加上它。什么也没有做。"}));
        return kRunBadFile;
      }
    }
    for (const AnswerKey& key : s.keys) {
      bool yes_no = false;
      for (const char* name : kYesNoKeys) yes_no = yes_no || key.name == name;
      if (yes_no && !IsYesOrNo(key.value)) {
        log->push_back(Cat({"第 ", key.line, " 行：", key.name, " 只能是 Yes 或 No。什么也没有做。"}));
        return kRunBadFile;
      }
    }
    if (s.name == "Card") {
      const std::string type = Value(s, "Type");
      if (CardItem(type).empty()) {
        log->push_back(Cat({"第 ", s.Find("Type")->line, " 行：Type 只能是 RTL 8139、RTL 8029 或 Other。什么也没有做。"}));
        return kRunBadFile;
      }
      if (CardItem(type) == "Other NetCARD" && !s.Find("Driver")) {
        log->push_back(Cat({"[Card]（第 ", s.line, " 行）：Type=Other 需要键 Driver（驱动程序的完整路径）。什么也没有做。"}));
        return kRunBadFile;
      }
    }
  }
  return -1;
}

}  // namespace unattended

using unattended::ForeseenRefusal;
using unattended::Judge;
using unattended::RunStep;
using unattended::SectionPlans;

RunStatus RunAnswers(platform::Host& host, const AnswerFile& answers, std::vector<std::string>* log,
                     const std::string& source) {
  const int judged = Judge(answers, log);
  if (judged >= 0) return static_cast<RunStatus>(judged);
  std::string foreseen;
  if (ForeseenRefusal(host, answers, &foreseen)) {
    log->push_back(foreseen + "什么也没有做。");
    return kRunBadFile;
  }
  // Every step is kept in the journal, as the window's presses are.
  platform::JournalHost journal(host, paths::JournalRoot(host.CurrentDirectory()), "应答文件 " + source);
  platform::RecordingHost recording(journal);
  UnattendedUi ui(recording, log);
  TForm1 form(recording, ui);
  form.FormCreate();
  recording.TakeRecord();
  for (const AnswerSection& s : answers.sections) {
    ui.Log(Cat({"[", s.name, "]（第 ", s.line, " 行）"}));
    // What the step's programs change is listed before and after it.
    const std::vector<plan::Plan> plans = SectionPlans(host, form, s);
    const AnswerKey* group = s.Find("WorkGroup");
    StepBefore before;
    std::string why;
    if (!BeginJournalStep(journal, "[" + s.name + "]", plans, group ? group->value : form.Edit4.Text(), &before, &why)) {
      ui.Flush();
      log->push_back(Cat({"失败：[", s.name, "] 没有做：无法记下这一步的改动：", why, "。"}));
      log->push_back("这一步和之后各节的工作都保持原样。");
      return kRunStopped;
    }
    std::vector<std::string> places;
    for (const plan::Plan& p : plans)
      for (const std::string& place : plan::ProgramPlaces(p)) places.push_back(place);
    recording.Watch(places);
    const std::string stop = RunStep(recording, form, ui, s);
    recording.EndWatch();
    EndJournalStep(journal, before);
    ui.Flush();
    if (!stop.empty()) {
      log->push_back(Cat({"失败：[", s.name, "] 没有完成：", stop}));
      log->push_back("这一步没有列出的文件和之后各节的工作都保持原样。");
      return kRunStopped;
    }
    log->push_back(Cat({"完成：[", s.name, "]"}));
  }
  log->push_back("全部完成。");
  return kRunDone;
}

int RunCommand(platform::Host& host, const std::vector<std::string>& words) {
  if (words.empty() || !platform::SameName(words[0], "/run")) return -1;
  std::string answers_path, log_path;
  // "/run ANSWERS [/plan] [/log LOG]": the dry run prints the plans and changes nothing.
  std::vector<std::string> rest(words.begin() + 1, words.end());
  bool dry = false;
  if (rest.size() >= 2 && platform::SameName(rest[1], "/plan")) {
    dry = true;
    rest.erase(rest.begin() + 1);
  }
  const bool with_log = rest.size() == 3 && platform::SameName(rest[1], "/log") && !rest[2].empty();
  if ((rest.size() != 1 && !with_log) || rest[0].empty()) return kRunBadFile;
  answers_path = rest[0];
  if (with_log) log_path = rest[2];
  std::string bytes, error;
  const bool readable = host.ReadFile(answers_path, &bytes);
  // The log is judged before anything is done: never written over the
  // answer file (under any spelling of its path, or a file holding its
  // very bytes), and written once before the run, whole, so that a log
  // that cannot be written stops the run before its first step.
  std::vector<std::string> log = {"无人值守运行 " + answers_path};
  if (!log_path.empty()) {
    std::string old_log;
    if (platform::SameFilePath(host, log_path, answers_path) ||
        (readable && !bytes.empty() && host.ReadFile(log_path, &old_log, bytes.size() + 1) && old_log == bytes))
      return kRunBadFile;
    std::vector<std::string> header = log;
    header.push_back("运行没有结束：日志只写到这里。");
    if (!platform::WriteTextLines(host, log_path, header)) return kRunBadFile;
  }
  AnswerFile answers;
  RunStatus status = kRunBadFile;
  if (!readable)
    log.push_back("无法读取应答文件 " + answers_path + "。什么也没有做。");
  else if (!ParseAnswerFile(bytes, &answers, &error))
    log.push_back(error + "什么也没有做。");
  else
    status = dry ? PlanAnswers(host, answers, &log) : RunAnswers(host, answers, &log, answers_path);
  if (!log_path.empty() && !platform::WriteTextLines(host, log_path, log)) return kRunBadFile;
  return status;
}

}  // namespace app