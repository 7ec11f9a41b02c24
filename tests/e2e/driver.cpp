// Drives the configuration tool running under Wine from outside, as a user
// would, and checks what it shows. One step per run, so that the script
// (run_e2e.sh) can take screenshots between the steps: `driver STEP ARGS...`.
// Every step works on any of the program's windows, named by its class
// (TForm1 the main window, TForm2 the wait dialog, TForm3 the vendor-prefix
// dialog, TForm4 the statement, TForm5 the help, TGetNetDrv the driver
// chooser, TCheckForm the check window), and on its controls by the names of
// the window's rows; what a window should show is written out in windows.cpp,
// the check window's report in server_check_window.cpp.
#include "tests/e2e/probe.h"  // first: it includes windows.h

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "standins/rpl/rplmgr_ids.h"

using namespace e2e;

namespace {

using platform::Widen;

// The control a step names (class, name), its window waited for.
HWND ControlOf(const Args& a) {
  HWND w = WaitVisible(a[0]);
  return w ? Control(w, a[1]) : nullptr;
}

// No visible window of the class is left; a help window gives the main
// window its input back.
int Gone(const std::string& class_name) {
  Check(WaitFor([&] { return FindVisible(class_name) == nullptr; }, 20000), class_name + " goes");
  if (HandsBack(class_name))
    Check(WaitFor([] { return IsWindowEnabled(MainWindow()) != 0; }), "the main window takes input again");
  return Failures();
}

// Chooses the item of a list, drop-down or notebook that matches `item` and
// tells the window as the user's choice does: `code` is the notification
// (a selection change, or a double click on a list). A notebook's tab is
// clicked with the mouse.
int Choose(const Args& a, WORD code) {
  HWND c = ControlOf(a);
  if (!c) return Failures();
  wchar_t class_name[64] = {0};
  GetClassNameW(c, class_name, 64);
  bool tab = lstrcmpiW(class_name, WC_TABCONTROLW) == 0, combo = lstrcmpiW(class_name, L"ComboBox") == 0;
  std::vector<std::string> items = Items(c);
  int at = -1;
  for (size_t i = 0; i < items.size() && at < 0; ++i)
    if (Matches(items[i], a[2])) at = static_cast<int>(i);
  Check(at >= 0, a[1] + " offers " + a[2] + " among " + Property(GetAncestor(c, GA_ROOT), c, "items"));
  if (at < 0) return Failures();
  if (tab) {
    RECT rc = TabRect(c, at);
    LPARAM point = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(c, WM_LBUTTONUP, 0, point);
    Check(WaitFor([&] { return static_cast<int>(SendMessageW(c, TCM_GETCURSEL, 0, 0)) == at; }, 3000),
          "the tab " + a[2] + " is chosen");
    Sleep(300);
    return Failures();
  }
  SendMessageW(c, combo ? CB_SETCURSEL : LB_SETCURSEL, at, 0);
  SendMessageW(GetParent(c), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), code), reinterpret_cast<LPARAM>(c));
  return Failures();
}

// Tab from the focus to a control (at most `limit` presses).
bool TabTo(HWND w, const std::string& name, int limit = 40) {
  for (int i = 0; i <= limit; ++i) {
    if (Property(w, Control(w, name), "focus") == "1") return true;
    Keys(w, {"tab"});
  }
  return false;
}

std::string FocusName(HWND w) { return NameOf(w, Focus(w)); }

// Tab visits the window's tab stops in order and comes round again;
// Shift+Tab goes back, Tab forth again.
int TabCycle(const Args& a) {
  std::stringstream names(TabCycleOf(a[0]));
  std::vector<std::string> order;
  for (std::string name; names >> name;) order.push_back(name);
  HWND w = WaitVisible(a[0]);
  if (!w || order.empty()) return order.empty() ? -1 : Failures();
  SetForegroundWindow(w);
  if (FocusName(w) != order[0]) ClickOn(Control(w, order[0]));
  Check(WaitFor([&] { return FocusName(w) == order[0]; }, 2000), "the focus on " + order[0]);
  std::string visited = FocusName(w), expected = order[0];
  for (size_t i = 1; i <= order.size(); ++i) {
    Keys(w, {"tab"});
    visited += " " + FocusName(w);
    expected += " " + order[i % order.size()];
  }
  CheckMatch(visited, expected, "Tab visits");
  Keys(w, {"shift+tab"});
  CheckMatch(FocusName(w), order.back(), "Shift+Tab goes back");
  Keys(w, {"tab"});
  return Failures();
}

int WatchBar(const Args& a) {
  // The button is pressed here, so that the watching starts before the
  // handler's first step, whatever the time a new driver takes to start.
  HWND w = WaitVisible(a[0]);
  HWND button = w ? Control(w, a[1]) : nullptr, bar = w ? Control(w, a[2]) : nullptr;
  if (!button || !bar) return Failures();
  PostMessageW(button, BM_CLICK, 0, 0);
  std::vector<long> seen;
  for (int waited = 0; waited < std::atoi(a[3].c_str()); waited += 20) {
    long pos = static_cast<long>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    if (seen.empty() || seen.back() != pos) seen.push_back(pos);
    Sleep(20);
  }
  std::string shown;
  for (long p : seen) shown += std::to_string(p) + " ";
  CheckMatch(shown, "0 20 40 60 80 100 0 ", "the positions the bar showed");
  return Failures();
}

// The Remoteboot Manager stand-in: a profile made from a configuration.
int MakeProfile(const Args& a) {
  HWND m = WaitVisible("RplMgrWindow");
  if (!m) return Failures();
  // Each line of a list begins with its name and a tab.
  auto find = [&](int id, const std::string& name) {
    std::vector<std::string> items = Items(GetDlgItem(m, id));
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].compare(0, name.size() + 1, name + "\t") == 0) return static_cast<int>(i);
    return -1;
  };
  int at = -1;
  Check(WaitFor([&] { return (at = find(kRplmgrConfigurations, a[0])) >= 0; }), "the manager lists " + a[0]);
  SendMessageW(GetDlgItem(m, kRplmgrConfigurations), LB_SETCURSEL, at, 0);
  SendMessageW(GetDlgItem(m, kRplmgrProfileName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(a[1]).c_str()));
  SendMessageW(GetDlgItem(m, kRplmgrMakeProfile), BM_CLICK, 0, 0);
  Check(WaitFor([&] { return find(kRplmgrProfiles, a[1]) >= 0; }),
        "the manager lists the profile " + a[1] + " (" + Text(GetDlgItem(m, kRplmgrStatus)) + ")");
  return Failures();
}

struct Step {
  const char* usage;  // the name, then the words it takes
  size_t args;
  int (*run)(const Args& a);  // the number of failures; -1: words it does not take
};

const Step kSteps[] = {
    {"wait CLASS: a visible window of the class", 1,
     [](const Args& a) { return WaitVisible(a[0], 20000), Failures(); }},
    {"gone CLASS: no visible window of the class is left", 1, [](const Args& a) { return Gone(a[0]); }},
    {"check CLASS [rpl|pxe]: the window and its controls as windows.cpp gives them", 1,
     [](const Args& a) { return CheckWindow(a[0], a.size() > 1 ? a[1] : "") ? Failures() : -1; }},
    {"expect CLASS CONTROL PROPERTY VALUE: the control shows that (within 3 s)", 4,
     [](const Args& a) {
       HWND c = ControlOf(a), w = c ? GetAncestor(c, GA_ROOT) : nullptr;
       if (c && !WaitFor([&] { return Matches(Property(w, c, a[2]), a[3]); }, 3000))
         CheckMatch(Property(w, c, a[2]), a[3], a[1] + " " + a[2]);
       return Failures();
     }},
    {"click CLASS CONTROL|MENU-ITEM: a click, posted so that a modal window it opens does not hold the driver", 2,
     [](const Args& a) {
       HWND w = WaitVisible(a[0]);
       const look::WindowLayout* layout = w ? LayoutOf(w) : nullptr;
       if (const look::MenuLayout* item = layout ? look::FindMenuItem(*layout, a[1].c_str()) : nullptr)
         PostMessageW(w, WM_COMMAND, MAKEWPARAM(item->id, 0), 0);  // as the mouse chooses it
       else if (HWND c = w ? Control(w, a[1]) : nullptr)
         PostMessageW(c, BM_CLICK, 0, 0);
       return Failures();
     }},
    {"set-text CLASS CONTROL TEXT", 3,
     [](const Args& a) {
       if (HWND c = ControlOf(a)) SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(a[2]).c_str()));
       return Failures();
     }},
    {"type CLASS CONTROL TEXT: types the text at the start of an edit box", 3,
     [](const Args& a) {
       HWND c = ControlOf(a);
       if (c) SendMessageW(c, EM_SETSEL, 0, 0);
       for (char ch : a[2])
         if (c) SendMessageW(c, WM_CHAR, static_cast<unsigned char>(ch), 0);
       return Failures();
     }},
    {"choose CLASS CONTROL ITEM: the user's choice of an item (ITEM* its beginning)", 3,
     [](const Args& a) { return Choose(a, CBN_SELCHANGE); }},
    {"open CLASS CONTROL ITEM: a double click on an item of a list", 3,
     [](const Args& a) { return Choose(a, LBN_DBLCLK); }},
    {"set-check CLASS CONTROL 0|1: clicks a check box until it shows that", 3,
     [](const Args& a) {
       HWND box = ControlOf(a);
       WPARAM want = a[2] == "1" ? BST_CHECKED : BST_UNCHECKED;
       if (box && static_cast<WPARAM>(SendMessageW(box, BM_GETCHECK, 0, 0)) != want)
         SendMessageW(box, BM_CLICK, 0, 0);
       Check(box && static_cast<WPARAM>(SendMessageW(box, BM_GETCHECK, 0, 0)) == want, a[1] + " shows " + a[2]);
       return Failures();
     }},
    {"keys CLASS KEY...: types keys (tab, enter, space, esc, a letter; after ctrl+, shift+, alt+)", 2,
     [](const Args& a) {
       if (HWND w = WaitVisible(a[0])) Keys(w, Args(a.begin() + 1, a.end()));
       return Failures();
     }},
    {"tab-to CLASS CONTROL: Tab until the control has the focus", 2,
     [](const Args& a) {
       HWND w = WaitVisible(a[0]);
       Check(w && TabTo(w, a[1]), "Tab reaches " + a[1]);
       return Failures();
     }},
    {"tab-cycle CLASS: Tab visits the window's tab stops in order, round again, and Shift+Tab goes back", 1,
     TabCycle},
    {"close CLASS: the close box of a visible window of the class", 1,
     [](const Args& a) {
       if (HWND w = WaitVisible(a[0])) PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
       return Gone(a[0]);
     }},
    {"resize CLASS WIDTH HEIGHT", 3,
     [](const Args& a) {
       if (HWND w = WaitVisible(a[0]))
         SetWindowPos(w, nullptr, 0, 0, std::atoi(a[1].c_str()), std::atoi(a[2].c_str()), SWP_NOMOVE | SWP_NOZORDER);
       Sleep(200);
       return Failures();
     }},
    {"answer CAPTION TEXT OK|Cancel|Yes|No icon|noicon: a message box (TEXT * any, TEXT* its beginning)", 4,
     [](const Args& a) { return Answer(a[0], a[1], a[2], a[3]), Failures(); }},
    {"watch-bar CLASS BUTTON BAR MS: presses the button and sees the bar step 20 ... 100 and back to 0", 4,
     WatchBar},
    {"make-profile CONFIGURATION PROFILE: in the Remoteboot Manager", 2, MakeProfile},
    {"report-items ITEMS: the check window's items, MARK WHAT joined by ，", 1,
     [](const Args& a) { return CheckReportItems(a[0]); }},
    {"report-file FILE: the check window shows the report /check wrote into FILE", 1,
     [](const Args& a) { return CheckReportFile(a[0]); }},
    {"report-copy click|keys: the check window's copy button fills the clipboard with its report", 1,
     [](const Args& a) { return a[0] == "click" || a[0] == "keys" ? CheckReportCopy(a[0]) : -1; }},
    {"check-fonts CLASS...: the shown windows' controls have fonts for the Chinese character set", 1,
     CheckFonts},
};

int Usage() {
  std::printf("usage: driver STEP ARGS..., STEP one of\n");
  for (const Step& s : kSteps) std::printf("  %s\n", s.usage);
  return 2;
}

}  // namespace

int main() {
  // The words of the command line as UTF-8, Chinese ones included (the
  // narrow argv holds them in the system's code page).
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  Args words;
  for (int i = 0; i < argc; ++i) words.push_back(platform::Narrow(wide[i]));
  LocalFree(wide);
  if (words.size() < 2) return Usage();
  Args args(words.begin() + 2, words.end());
  for (const Step& step : kSteps) {
    std::string usage = step.usage;
    if (usage.substr(0, usage.find(' ')) != words[1] || args.size() < step.args) continue;
    int result = step.run(args);
    if (result < 0) return Usage();
    std::string line = words[1];
    for (const std::string& a : args) line += " " + a;
    std::printf("%s %s\n", result ? "FAILED" : "ok", line.c_str());
    std::fflush(stdout);
    return result ? 1 : 0;
  }
  return Usage();
}
