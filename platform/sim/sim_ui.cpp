// The window system of the simulated host: what is shown goes into the
// host's journal, and the answers come from the test's script.
#include "platform/sim/sim_host.h"

namespace platform {

void SimUi::Shown(const SimEvent& event) {
  host_.Record(event);
  if (while_shown_) while_shown_(event);
}

int SimUi::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  Shown({"message", text, caption, flags});
  if (!answers_.empty()) {
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  const unsigned buttons = flags & 0xF;
  if (buttons == kMbYesNo) return answer_all_ ? answer_all_ : (flags & kMbDefButton2) ? kIdNo : kIdYes;
  if (buttons == kMbOkCancel && answer_all_ == kIdNo) return kIdCancel;
  return kIdOk;
}

void SimUi::ShowMessage(const std::string& text) { Shown({"notice", text, kTitle, 0}); }

void SimUi::ShowError(const std::string& text) {
  Shown({"error", text, kTitle, kMbIconStop});
}

ModalResult SimUi::ShowModal(ModalWindow& window) {
  // Recorded when shown, so that what happens meanwhile follows it; the
  // result is filled in when the window has closed.
  size_t at = host_.journal().size();
  Shown({"modal", window.Kind(), "", 0});
  window.FormShow();
  auto it = modal_scripts_.find(std::type_index(typeid(window)));
  ModalResult result = it != modal_scripts_.end() ? it->second(window)
                       : other_script_              ? other_script_(window)
                                                    : kMrCancel;
  host_.journal()[at].flags = result;
  return result;
}

void SimUi::CloseMainWindow() {
  host_.Record({"close", "", "", 0});
  closed_ = true;
}

bool SimUi::ChooseSaveFile(const std::string& title, std::string* path) {
  host_.Record({"save", *path, title, save_answers_.empty() ? 0u : 1u});
  if (save_answers_.empty()) return false;
  *path = save_answers_.front();
  save_answers_.pop_front();
  return true;
}

bool SimUi::CopyToClipboard(const std::string& text) {
  host_.Record({"clipboard", text, "", clipboard_held_ ? 0u : 1u});
  if (clipboard_held_) return false;
  clipboard_ = text;
  return true;
}

}  // namespace platform
