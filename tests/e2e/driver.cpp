// Drives the configuration tool running under Wine from outside, as a user
// would, and checks what it shows. One step per run, so that the script can
// take screenshots between the steps: `driver STEP ARGS...`. The steps of each
// window are in that window's file (main_window.cpp, text_windows.cpp,
// wait_dialog.cpp, rpl_dialogs.cpp); the ones below work on any window.
//   answer CAPTION TEXT BUTTON icon|noicon
//                          waits for a message box, checks its caption, text
//                          (unless TEXT is *) and icon, and presses OK,
//                          Cancel, Yes or No
//   wait-gone CLASS        no visible window of that class is left
//   close-window CLASS     closes a visible top-level window of that class
// Every control is found by its identifier in its window's rows; what it
// should show is written out in the window's file from the window's
// description, not taken from the program's own layout tables.
#include "tests/e2e/probe.h"

#include <shellapi.h>

#include <cstdio>

using namespace e2e;

namespace {

std::vector<Step> AnyWindowSteps() {
  return {
      {"answer", 4, [](const Args& a) { return Answer(a[0], a[1], a[2], a[3]); },
       "answer CAPTION TEXT OK|Cancel|Yes|No icon|noicon"},
      {"wait-gone", 1,
       [](const Args& a) {
         Check(WaitFor([&] { return FindVisible(platform::Widen(a[0]).c_str()) == nullptr; }, 20000),
               a[0] + " goes");
         return Failures();
       },
       "wait-gone CLASS"},
      {"close-window", 1,
       [](const Args& a) {
         HWND w = nullptr;
         Check(WaitFor([&] { return (w = FindVisible(platform::Widen(a[0]).c_str())) != nullptr; }),
               "a window " + a[0]);
         if (w) PostMessageW(w, WM_CLOSE, 0, 0);
         Check(w && WaitFor([&] { return !IsWindow(w); }), a[0] + " closes");
         return Failures();
       },
       "close-window CLASS"},
  };
}

int Usage(const std::vector<Step>& steps) {
  std::printf("usage: driver STEP ARGS..., STEP one of\n");
  for (const Step& s : steps) std::printf("  %s\n", s.usage);
  return 2;
}

}  // namespace

int main() {
  std::vector<Step> steps;
  for (const std::vector<Step>& some : {MainWindowSteps(), TextWindowSteps(), WaitDialogSteps(), RplSteps(), FontSteps(), AnyWindowSteps()})
    steps.insert(steps.end(), some.begin(), some.end());

  // The words of the command line as UTF-8, Chinese ones included (the
  // narrow argv holds them in the system's code page).
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> words;
  for (int i = 0; i < argc; ++i) words.push_back(platform::Narrow(wide[i]));
  LocalFree(wide);
  if (words.size() < 2) return Usage(steps);
  const std::string& name = words[1];
  Args args(words.begin() + 2, words.end());

  for (const Step& step : steps) {
    if (name != step.name || args.size() < step.min_args) continue;
    int result = step.run(args);
    if (result < 0) return Usage(steps);
    std::string line = name;
    for (const std::string& a : args) line += " " + a;
    std::printf("%s %s\n", result ? "FAILED" : "ok", line.c_str());
    std::fflush(stdout);
    return result ? 1 : 0;
  }
  return Usage(steps);
}
