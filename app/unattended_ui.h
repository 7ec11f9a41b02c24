// The window system of an unattended run (answer_run.h): nothing is shown;
// every message goes to the run's log, each question is answered from the
// step's section, and what the step cannot answer stops it.
#pragma once

#include <string>
#include <vector>

#include "app/answer_file.h"
#include "app/server_check_parts.h"
#include "platform/recording_host.h"
#include "pxe/wait_dialog.h"
#include "rpl/driver_chooser.h"
#include "rpl/vendor_prefix_dialog.h"

namespace app {

inline const char* IconWord(unsigned flags) {
  switch (flags & 0xF0) {
    case platform::kMbIconStop: return "（错误）";
    case platform::kMbIconQuestion: return "（问题）";
    case platform::kMbIconExclamation: return "（警告）";
    case platform::kMbIconInformation: return "（信息）";
  }
  return "";
}

// The window system of a run: nothing is shown. Each message goes to the
// log; a warning, a notice or an error stops the step, and so does a
// question the step's section does not answer.
class UnattendedUi : public platform::Ui {
 public:
  UnattendedUi(platform::RecordingHost& host, std::vector<std::string>* log) : host_(host), log_(log) {}

  // The changes made since the last line, then the line: the log keeps
  // the order in which things happened.
  void Log(const std::string& line) {
    Flush();
    log_->push_back(line);
  }
  void Flush() {
    for (const std::string& change : host_.TakeRecord()) log_->push_back("  " + change);
  }

  // The section of the step now running, whose keys answer its questions;
  // `question_key` answers its yes/no questions ("" for none).
  void Begin(const AnswerSection* section, const char* question_key) {
    section_ = section;
    question_key_ = question_key;
    stop_.clear();
  }
  const std::string& stop() const { return stop_; }
  void Stop(const std::string& why) {
    if (stop_.empty()) stop_ = why;
  }
  // Detection's results come with the warning icon while they only tell
  // what comes next; during it a warning does not stop the step.
  bool warnings_stop = true;

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    Log("  消息【" + caption + "】" + IconWord(flags) + text);
    const unsigned buttons = flags & 0xF;
    if (buttons == platform::kMbYesNo || buttons == platform::kMbOkCancel) {
      const AnswerKey* key = section_ && *question_key_ ? section_->Find(question_key_) : nullptr;
      const int no_default = buttons == platform::kMbYesNo ? platform::kIdNo : platform::kIdCancel;
      if (!key) {
        Stop(*question_key_ ? Cat({"应答文件没有回答这个问题：请在 [", section_->name, "] 中加上 ", question_key_,
                                   "=Yes 或 ", question_key_, "=No。"})
                            : std::string("应答文件无法回答这个问题。"));
        return no_default;
      }
      const bool yes = IsYes(key->value);
      Log(Cat({"  回答 ", yes ? "Yes" : "No", "（", question_key_, "，第 ", key->line, " 行）"}));
      if (buttons == platform::kMbYesNo) return yes ? platform::kIdYes : platform::kIdNo;
      return yes ? platform::kIdOk : platform::kIdCancel;
    }
    const unsigned icon = flags & 0xF0;
    if (warnings_stop && (icon == platform::kMbIconExclamation || icon == platform::kMbIconStop)) Stop(text);
    return platform::kIdOk;
  }
  void ShowMessage(const std::string& text) override {
    Log("  提示：" + text);
    Stop(text);
  }
  void ShowError(const std::string& text) override {
    Log("  错误：" + text);
    Stop(text);
  }
  platform::ModalResult ShowModal(platform::ModalWindow& window) override {
    if (auto* wait = dynamic_cast<pxe::TForm2*>(&window)) {
      // The countdown runs in real time: the unpacker works meanwhile.
      Log("  等待对话框：倒计时");
      for (int tick = 0; !wait->Closed() && tick < 100; ++tick) {
        host_.Pause(pxe::TForm2::kTimer2Interval);
        wait->Timer2Timer();
      }
      return platform::kMrCancel;
    }
    if (auto* prefix = dynamic_cast<rpl::TForm3*>(&window)) {
      const AnswerKey* vendor = Needed("VendorPrefix");
      if (!vendor) return platform::kMrCancel;
      prefix->MAC.SetText(vendor->value);
      Log(Cat({"  厂商前缀 ", vendor->value, "（第 ", vendor->line, " 行）"}));
      return platform::kMrOk;
    }
    if (auto* chooser = dynamic_cast<rpl::TGetNetDrv*>(&window)) {
      const AnswerKey* driver = Needed("Driver");
      const AnswerKey* vendor = driver ? Needed("VendorPrefix") : nullptr;
      if (!vendor) return platform::kMrCancel;
      chooser->NDISTALK.SetText(driver->value);
      chooser->MACTALK.SetText(vendor->value);
      Log(Cat({"  驱动程序 ", driver->value, "（第 ", driver->line, " 行），厂商前缀 ", vendor->value,
                           "（第 ", vendor->line, " 行）"}));
      return platform::kMrOk;
    }
    Log(Cat({"  窗口 ", window.Kind(), " 不在无人值守的运行中显示"}));
    Stop(Cat({"无人值守的运行不能显示窗口 ", window.Kind(), "。"}));
    return platform::kMrCancel;
  }
  void CloseMainWindow() override {}
  bool CopyToClipboard(const std::string&) override { return false; }
  bool ChooseSaveFile(const std::string&, std::string*) override { return false; }

 private:
  const AnswerKey* Needed(const char* key) {
    const AnswerKey* k = section_ ? section_->Find(key) : nullptr;
    if (!k || k->value.empty())
      Stop(Cat({"应答文件没有回答这个问题：请在 [", section_ ? section_->name : "", "] 中加上 ", key, "=…。"}));
    return k && !k->value.empty() ? k : nullptr;
  }

  platform::RecordingHost& host_;
  std::vector<std::string>* log_;
  const AnswerSection* section_ = nullptr;
  const char* question_key_ = "";
  std::string stop_;
};

}  // namespace app
