// The plans of an answer file's steps, for the dry run, the refusal foreseen and the places a step watches.
#include "app/answer_run.h"

#include "app/answer_run_parts.h"
#include "app/server.h"
#include "app/server_check_parts.h"
#include "app/unattended_ui.h"
#include "platform/recording_host.h"
#include "platform/text.h"
#include "rpl/profiles.h"

namespace app {
namespace unattended {
namespace {

// The plans of one step, its fields set on the window as the run sets them;
// nothing is pressed. A profile is chosen from the list the window would
// show, without the window's handlers, which write.
std::vector<plan::Plan> StepPlans(platform::Host& host, TForm1& form, const AnswerSection& s) {
  std::vector<plan::Plan> plans;
  auto choose_profile = [&] {
    form.ComboBox2.SetItems(rpl::ProfileChoices(host, form.settings.SystemRoot));
    const std::vector<std::string> items = form.ComboBox2.Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (platform::SameName(items[i], Value(s, "Profile"))) form.ComboBox2.SetItemIndex(static_cast<int>(i));
  };
  if (s.name == "Accounts") {
    form.Edit1.SetText(Value(s, "SharedDirectory"));
    form.Edit2.SetText(Value(s, "UserPrefix"));
    form.Edit4.SetText(Value(s, "WorkGroup"));
    form.Edit3.SetText(Value(s, "UserCount"));
    plans.push_back(form.PlanOf("BitBtn1"));
    if (IsYes(Value(s, "NamesFile"))) plans.push_back(form.PlanOf("BitBtn8"));
  } else if (s.name == "Pdk") {
    if (IsYes(Value(s, "Install"))) plans.push_back(form.PlanOf("BitBtn3"));
  } else if (s.name == "BootImage") {
    if (const AnswerKey* box = s.Find("AutoRegistration")) form.CheckBox2.SetChecked(IsYes(box->value));
    plans.push_back(form.PlanOf("BitBtn7"));
  } else if (s.name == "Card") {
    const std::string item = CardItem(Value(s, "Type"));
    const std::vector<std::string> cards = form.ComboBox1.Items();
    for (size_t i = 0; i < cards.size(); ++i)
      if (cards[i] == item) form.ComboBox1.SetItemIndex(static_cast<int>(i));
    const TForm1::PlanAnswers given{Value(s, "VendorPrefix"), Value(s, "Driver"), true};
    plans.push_back(form.PlanOf("BitBtn9", given.vendor.empty() ? nullptr : &given));
  } else if (s.name == "Install") {
    choose_profile();
    const AnswerKey* dos = s.Find("DosProfile");
    const TForm1::PlanAnswers given{"", "", dos && IsYes(dos->value)};
    plans.push_back(form.PlanOf("BitBtn11", dos ? &given : nullptr));
  } else if (s.name == "AutoRegistration") {
    choose_profile();
    const TForm1::PlanAnswers given{"", "", IsYes(Value(s, "On"))};
    plans.push_back(form.PlanOf("CheckBox1", &given));
  } else if (s.name == "Service") {
    if (IsYes(Value(s, "Start"))) plans.push_back(form.PlanOf("BitBtn6"));
  }
  return plans;
}

}  // namespace

bool ForeseenRefusal(platform::Host& host, const AnswerFile& answers, std::string* why) {
  platform::RecordingHost recording(host);
  std::vector<std::string> unseen;
  UnattendedUi ui(recording, &unseen);
  TForm1 form(recording, ui);
  form.FormCreate();
  for (const AnswerSection& s : answers.sections)
    for (const plan::Plan& p : StepPlans(recording, form, s)) {
      if (p.Refused()) {
        std::string words;
        for (const std::string& line : plan::Describe(p)) words += line;
        *why = Cat({"[", s.name, "]（第 ", s.line, " 行）：“", p.button, "”会", words, "。"});
        return true;
      }
      if (!p.Nothing()) return false;
    }
  return false;
}

std::vector<plan::Plan> SectionPlans(platform::Host& host, const TForm1& run_form, const AnswerSection& s) {
  platform::RecordingHost unrecorded(host);
  std::vector<std::string> unseen;
  UnattendedUi ui(unrecorded, &unseen);
  TForm1 form(unrecorded, ui);
  form.settings = run_form.settings;
  form.Edit1.SetText(run_form.Edit1.Text());
  form.Edit4.SetText(run_form.Edit4.Text());
  form.CheckBox2.SetChecked(run_form.CheckBox2.Checked());
  form.ComboBox1.SetItemIndex(run_form.ComboBox1.ItemIndex());
  return StepPlans(unrecorded, form, s);
}

}  // namespace unattended

using unattended::Judge;
using unattended::StepPlans;

RunStatus PlanAnswers(platform::Host& host, const AnswerFile& answers, std::vector<std::string>* log) {
  const int judged = Judge(answers, log);
  if (judged >= 0) return static_cast<RunStatus>(judged);
  platform::RecordingHost recording(host);
  UnattendedUi ui(recording, log);
  TForm1 form(recording, ui);
  form.FormCreate();
  RunStatus status = kRunDone;
  bool earlier_changes = false;
  for (const AnswerSection& s : answers.sections) {
    log->push_back(Cat({"[", s.name, "]（第 ", s.line, " 行）"}));
    if (earlier_changes)
      log->push_back("  （前面的步骤会先改动服务器：这一步按服务器现在的样子计划，运行时以那时的服务器为准）");
    const std::vector<plan::Plan> plans = StepPlans(recording, form, s);
    if (plans.empty()) log->push_back("  不做什么");
    for (const plan::Plan& p : plans) {
      log->push_back("  按“" + p.button + "”：");
      for (const std::string& line : plan::Describe(p)) log->push_back("    " + line);
      earlier_changes = earlier_changes || !p.Nothing();
    }
    // A plan only reads; what the record holds besides the programs asked
    // is a fault of this program, and is said.
    for (const std::string& change : recording.TakeRecord())
      if (change.rfind("询问", 0) != 0) {
        log->push_back("  内部错误：做计划时改动了服务器：" + change);
        status = kRunStopped;
      }
  }
  log->push_back(status == kRunDone ? "只做了计划，服务器没有改动。" : "计划没有做完。");
  return status;
}

}  // namespace app
