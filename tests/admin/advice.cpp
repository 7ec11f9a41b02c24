#include "tests/admin/advice.h"

#include <algorithm>
#include <map>

#include "look/layout.h"

namespace admin {
namespace {

bool Starts(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

// The text between the first “ and ” of a step.
std::string Quoted(const std::string& step) {
  const size_t open = step.find("“"), close = step.find("”");
  return open == std::string::npos || close == std::string::npos ? "" : step.substr(open + 3, close - open - 3);
}

const std::map<std::string, std::string> kFields = {
    {"共享目录", "Edit1"}, {"用户前辍", "Edit2"}, {"用户数目", "Edit3"}, {"工作组名", "Edit4"}};

bool Answered(const std::string& step) {
  return Starts(step, "选驱动程序 ") || step == "填工作站网卡地址的前六位" || step == "关闭“客户机网卡信息”" ||
         step == "在提问中选“确定”";
}

bool IsChoice(const std::string& step) {
  const std::string label = Quoted(step);
  return Starts(step, "在“") && step.find("”中选 ") != std::string::npos &&
         (label == "网卡类型" || label == "RPL配置名");
}

bool IsTyping(const std::string& step) {
  return Starts(step, "在“") && step.find("”中填 ") != std::string::npos && kFields.count(Quoted(step));
}

// The main window's button of a step "按“CAPTION”", or "".
std::string ButtonOf(const std::string& step) {
  if (!Starts(step, "按“") && !Starts(step, "在 PXE 页上按“") && !Starts(step, "在 RPL 页上按“")) return "";
  if (step.substr(step.find("”") + 3) != "") return "";
  for (const look::ControlLayout& c : *app::TForm1::Layout().controls)
    if (c.text == Quoted(step) && (c.kind == look::Kind::kGlyphButton || c.kind == look::Kind::kButton)) return c.name;
  return "";
}

// What a choice or typing step chooses or types.
std::string Chosen(const std::string& step) { return step.substr(std::min(step.size(), step.find("”中") + 10)); }

// The first step that is none of the program's, or "" when every step is.
std::string ForeignStep(const Advice& advice) {
  for (const std::string& step : advice.steps)
    if (!Answered(step) && !IsChoice(step) && !IsTyping(step) && ButtonOf(step).empty() &&
        step != "勾选“工作站自动注册”" && step != "按安装程序的提示装好 PXE-PDK")
      return step;
  return "";
}

}  // namespace

Advice ReadAdvice(const std::string& mend) {
  Advice advice;
  advice.steps.emplace_back();
  int depth = 0;
  for (size_t i = 0; i < mend.size();) {
    const size_t n = (static_cast<unsigned char>(mend[i]) >= 0xE0) ? 3 : 1;
    const std::string c = mend.substr(i, n);
    i += n;
    if (c == "（") ++depth;
    if (depth == 0 && (c == "，" || c == "；")) advice.steps.emplace_back();
    else if (depth == 0) advice.steps.back() += c;
    if (c == "）") --depth;
  }
  for (std::string& step : advice.steps) {
    for (const char* lead : {"再", "然后"})
      if (Starts(step, lead)) step = step.substr(std::string(lead).size());
    if (Starts(step, "选驱动程序 ")) advice.driver = step.substr(std::string("选驱动程序 ").size());
    if (IsChoice(step) && Quoted(step) == "网卡类型") advice.card = Chosen(step);
    advice.prefix = advice.prefix || step == "填工作站网卡地址的前六位";
    advice.close_chooser = advice.close_chooser || step == "关闭“客户机网卡信息”";
  }
  return advice;
}

std::string DoAdvice(app::TForm1& f, const Advice& advice, const std::function<void()>& pdk_installed) {
  const std::string foreign = ForeignStep(advice);
  if (!foreign.empty()) return foreign;
  for (const std::string& step : advice.steps) {
    if (Answered(step)) continue;  // the dialogs and the question, answered when they show
    if (IsChoice(step)) {
      platform::ComboBox& list = Quoted(step) == "网卡类型" ? f.ComboBox1 : f.ComboBox2;
      const std::vector<std::string> items = list.Items();
      const auto at = std::find(items.begin(), items.end(), Chosen(step));
      if (at == items.end()) return step;
      list.Choose(static_cast<int>(at - items.begin()));
    } else if (IsTyping(step)) {
      static_cast<platform::Edit*>(f.Find(kFields.at(Quoted(step))))->SetText(Chosen(step));
    } else if (!ButtonOf(step).empty()) {
      platform::Control* button = f.Find(ButtonOf(step));
      if (!button->Enabled()) return step;
      button->Notify();
    } else if (step == "勾选“工作站自动注册”") {
      if (!f.CheckBox1.Enabled()) return step;
      f.CheckBox1.SetChecked(true);
    } else if (step == "按安装程序的提示装好 PXE-PDK") {
      pdk_installed();
    }
  }
  return "";
}

}  // namespace admin
