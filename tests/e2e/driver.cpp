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

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/encoding.h"
#include "standins/rpl/rplmgr_ids.h"

using namespace e2e;

namespace {

using platform::Widen;

// What a step works on: its words, and the window and the control they name
// (see Finds).
struct On {
  const Args& a;
  HWND w, c;
};

// No visible window of the class is left; a help window gives the main
// window its input back.
void Gone(const std::string& class_name) {
  Check(WaitFor([&] { return FindVisible(class_name) == nullptr; }), class_name + " goes");
  if (HandsBack(class_name))
    Check(WaitFor([] { return IsWindowEnabled(MainWindow()) != 0; }), "the main window takes input again");
}

// Chooses the item of a list, drop-down or notebook that matches a[2] and
// tells the window as the user's choice does: `code` is the notification
// (a selection change, or a double click on a list). A notebook's tab is
// clicked with the mouse.
void Choose(const On& o, WORD code) {
  const int at = IndexOf(Items(o.c), o.a[2]);
  Check(at >= 0, o.a[1] + " offers " + o.a[2] + " among " + Property(o.w, o.c, "items"));
  if (at < 0) return;
  if (IsClass(o.c, WC_TABCONTROLA)) {
    RECT rc = TabRect(o.c, at);
    ClickOn(o.c, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    Check(WaitFor([&] { return SendMessageW(o.c, TCM_GETCURSEL, 0, 0) == at; }),
          "the tab " + o.a[2] + " is chosen");
    Sleep(300);
    return;
  }
  SendMessageW(o.c, IsClass(o.c, "ComboBox") ? CB_SETCURSEL : LB_SETCURSEL, at, 0);
  SendMessageW(GetParent(o.c), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(o.c), code), reinterpret_cast<LPARAM>(o.c));
}

// Tab visits the window's tab stops in order and comes round again;
// Shift+Tab goes back, Tab forth again. After each key the focus is waited
// for where it should go, until it once goes astray; where it went instead is
// what the check names.
void TabCycle(const On& o) {
  const std::vector<std::string> order = TabCycleOf(o.a[0]);
  if (order.empty()) return Fail("no tab order for " + o.a[0]);
  auto focus = [&] { return NameOf(o.w, Focus(o.w)); };
  bool astray = false;
  auto focus_on = [&](const std::string& name) {
    if (!astray) astray = !WaitFor([&] { return focus() == name; });
    return focus();
  };
  SetForegroundWindow(o.w);
  if (focus() != order[0]) ClickOn(Control(o.w, order[0]));
  Check(focus_on(order[0]) == order[0], "the focus on " + order[0]);
  std::string visited = focus(), expected = order[0];
  for (size_t i = 1; i <= order.size(); ++i) {
    Keys(o.w, {"tab"});
    expected += " " + order[i % order.size()];
    visited += " " + focus_on(order[i % order.size()]);
  }
  CheckMatch(visited, expected, "Tab visits");
  Keys(o.w, {"shift+tab"});
  CheckMatch(focus_on(order.back()), order.back(), "Shift+Tab goes back");
  Keys(o.w, {"tab"});
  CheckMatch(focus_on(order[0]), order[0], "Tab goes forth again");
}

// Tab until the control has the focus, at most 40 presses; after each press
// the focus is waited for to move on.
void TabTo(const On& o) {
  auto focused = [&] { return Property(o.w, o.c, "focus") == "1"; };
  for (int presses = 0; presses < 40 && !focused(); ++presses) {
    const HWND before = Focus(o.w);
    Keys(o.w, {"tab"});
    if (!WaitFor([&] { return Focus(o.w) != before; })) break;
  }
  Check(focused(), "Tab reaches " + o.a[1] + " (the focus on " + NameOf(o.w, Focus(o.w)) + ")");
}

// The positions a bar shows after its button (o.c) is pressed, watched until
// it is back at 0 after 100. The button is pressed here, so that the watching
// starts before the handler's first step, whatever the time a new driver
// takes to start.
void WatchBar(const On& o) {
  HWND bar = Control(o.w, o.a[2]);
  PostMessageW(o.c, BM_CLICK, 0, 0);
  std::string shown, last;
  auto back_at_zero = [&] { return shown.size() >= 6 && shown.compare(shown.size() - 6, 6, "100 0 ") == 0; };
  // The bar steps every 600 ms: read every 20 ms, it shows each position.
  const DWORD start = GetTickCount();
  while (!back_at_zero() && GetTickCount() - start <= static_cast<DWORD>(WaitMs())) {
    const std::string pos = Property(o.w, bar, "position");
    if (pos != last) shown += pos + " ";
    last = pos;
    Sleep(20);
  }
  CheckMatch(shown, "0 20 40 60 80 100 0 ", "the positions the bar showed");
}

// The Remoteboot Manager stand-in (o.w): a profile made from a configuration.
// Each line of its lists begins with a name and a tab.
void MakeProfile(const On& o) {
  HWND configurations = GetDlgItem(o.w, kRplmgrConfigurations);
  int at = -1;
  Check(WaitFor([&] { return (at = IndexOf(Items(configurations), o.a[1] + "\t*")) >= 0; }),
        "the manager lists " + o.a[1]);
  SendMessageW(configurations, LB_SETCURSEL, at, 0);
  SendMessageW(GetDlgItem(o.w, kRplmgrProfileName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(o.a[2]).c_str()));
  SendMessageW(GetDlgItem(o.w, kRplmgrMakeProfile), BM_CLICK, 0, 0);
  Check(WaitFor([&] { return IndexOf(Items(GetDlgItem(o.w, kRplmgrProfiles)), o.a[2] + "\t*") >= 0; }),
        "the manager lists the profile " + o.a[2] + " (" + Text(GetDlgItem(o.w, kRplmgrStatus)) + ")");
}

// The Remoteboot Manager stand-in (o.w): a profile deleted, its question
// answered Yes.
void DeleteProfile(const On& o) {
  HWND profiles = GetDlgItem(o.w, kRplmgrProfiles);
  const int at = IndexOf(Items(profiles), o.a[1] + "\t*");
  Check(at >= 0, "the manager lists the profile " + o.a[1]);
  if (at < 0) return;
  SendMessageW(profiles, LB_SETCURSEL, at, 0);
  PostMessageW(GetDlgItem(o.w, kRplmgrDeleteProfile), BM_CLICK, 0, 0);
  Answer("远程启动管理器", "确实要删除配置文件 " + o.a[1] + " 及其目录吗？", "Yes", "icon");
  Check(WaitFor([&] { return IndexOf(Items(profiles), o.a[1] + "\t*") < 0; }),
        "the manager no longer lists the profile " + o.a[1] + " (" + Text(GetDlgItem(o.w, kRplmgrStatus)) + ")");
}

// The system's save dialog (o.a[0] its caption): the file name typed, saved.
// Its name field is the combo box cmb13 of the Explorer-style dialog, or the
// edit edt1 of the old one.
void SaveAs(const On& o) {
  HWND box = WaitVisible("#32770", o.a[0].c_str());
  if (!box) return;
  HWND name = GetDlgItem(box, 1148) ? GetDlgItem(box, 1148) : GetDlgItem(box, 1152);
  Check(name != nullptr, "the save dialog has a file name field");
  if (!name) return;
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(o.a[1]).c_str()));
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  Check(WaitFor([&] { return !IsWindow(box); }), "the save dialog closes");
}

// The host's question to a console program, through its pipes: the system
// folder's command interpreter reads o.a[0] lines "ECHO TEXT" (Chinese in
// them) from its standard input and prints each TEXT, all at its end, far
// more than a pipe holds; it must come back whole, as it comes through a
// file, with the program's exit code.
void Capture(const On& o) {
  const int lines = std::atoi(o.a[0].c_str());
  std::string input, expected;
  for (int i = 1; i <= lines; ++i) {
    char line[96];
    const int n = std::snprintf(line, sizeof line, "第%05d行 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghij", i);
    input += "ECHO " + std::string(line, n) + "\r\n";
    expected += std::string(line, n) + "\r\n";
  }
  platform::Win32Host host;
  const std::string interpreter = host.WindowsDirectory() + "\\system32\\command.com";
  std::string printed;
  int code = -1;
  const platform::Host::Wait wait = host.RunToEndCapturing(interpreter, input, &printed, WaitMs(), &code);
  Check(wait == platform::Host::Wait::kFinished, interpreter + " ends within the wait");
  Check(code == 0, "its exit code is 0 (" + std::to_string(code) + ")");
  Check(expected.size() > 65536, "the lines are more than a pipe holds (" + std::to_string(expected.size()) + " bytes)");
  size_t same = 0;
  while (same < printed.size() && same < expected.size() && printed[same] == expected[same]) ++same;
  Check(printed == expected, "it comes back whole: " + std::to_string(printed.size()) + " of " +
                                 std::to_string(expected.size()) + " bytes, the same up to byte " + std::to_string(same));
  // Through files, as the Remoteboot script is run: the same bytes.
  char temp[MAX_PATH + 1];
  GetTempPathA(MAX_PATH, temp);
  const std::string in_file = std::string(temp) + "capture.in", out_file = std::string(temp) + "capture.out";
  std::string through_file;
  Check(host.WriteFile(in_file, platform::ToCodePage(input)), "the input file is written");
  Check(host.RunToEndWithFiles(interpreter, in_file, out_file, WaitMs(), &code) == platform::Host::Wait::kFinished &&
            host.ReadFile(out_file, &through_file, SIZE_MAX),
        "the same through files");
  Check(platform::FromCodePage(through_file) == printed, "through files it prints the same");
  host.DeleteFile(in_file);
  host.DeleteFile(out_file);
}

// Every folder and file below the folders named, as Windows gives their
// attributes (what a listing from the Linux side cannot see): one a line,
// "RHSA PATH" with "-" for an attribute not set, folders before what they
// hold. A word beginning with "-" names a folder left out (the journal, a
// profile of the system's that leads out of the prefix).
void ListAttributes(const std::wstring& folder, const std::vector<std::wstring>& skip) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return Fail("cannot list " + platform::Narrow(folder));
  do {
    if (lstrcmpW(found.cFileName, L".") != 0 && lstrcmpW(found.cFileName, L"..") != 0) names.push_back(found.cFileName);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  std::sort(names.begin(), names.end());
  for (const std::wstring& name : names) {
    const std::wstring path = folder + L"\\" + name;
    bool skipped = false;
    for (const std::wstring& s : skip) skipped = skipped || lstrcmpiW(s.c_str(), path.c_str()) == 0;
    if (skipped) continue;
    const DWORD a = GetFileAttributesW(path.c_str());
    std::printf("%c%c%c%c %s\n", a & FILE_ATTRIBUTE_READONLY ? 'R' : '-', a & FILE_ATTRIBUTE_HIDDEN ? 'H' : '-',
                a & FILE_ATTRIBUTE_SYSTEM ? 'S' : '-', a & FILE_ATTRIBUTE_ARCHIVE ? 'A' : '-',
                platform::Narrow(path).c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) ListAttributes(path, skip);
  }
}

void Attributes(const On& o) {
  std::vector<std::wstring> folders, skip;
  for (const std::string& word : o.a) {
    if (word.size() > 1 && word[0] == '-')
      skip.push_back(Widen(word.substr(1)));
    else
      folders.push_back(Widen(word));
  }
  for (std::wstring& f : folders) {
    while (!f.empty() && f.back() == L'\\') f.pop_back();
    ListAttributes(f, skip);
  }
}

// What is found before a step runs (a failure when it is not there): nothing,
// a visible window of the class its first word names (waited for), that and
// the control of the window its second word names, or the check window.
enum Finds { kNothing, kWindow, kControl, kCheckWindow };

struct Step {
  const char* usage;  // the name, then the words it takes
  size_t args;
  Finds finds;
  void (*run)(const On& o);
};

const Step kSteps[] = {
    {"wait CLASS: a visible window of the class", 1, kWindow, [](const On&) {}},
    {"gone CLASS: no visible window of the class is left", 1, kNothing, [](const On& o) { Gone(o.a[0]); }},
    {"check CLASS [rpl|pxe]: the window and its controls as windows.cpp gives them (waited for)", 1, kWindow,
     [](const On& o) { CheckUntil([&] { CheckWindow(o.w, o.a[0], o.a.size() > 1 ? o.a[1] : ""); }); }},
    {"expect CLASS CONTROL PROPERTY VALUE: the control shows that (waited for)", 4, kControl,
     [](const On& o) { CheckUntil([&] { CheckMatch(Property(o.w, o.c, o.a[2]), o.a[3], o.a[1] + " " + o.a[2]); }); }},
    {"click CLASS CONTROL|MENU-ITEM: a click, posted (a modal window it opens does not hold the driver)", 2, kWindow,
     [](const On& o) {
       const look::WindowLayout* layout = LayoutOf(o.w);
       if (const look::MenuLayout* item = layout ? look::FindMenuItem(*layout, o.a[1].c_str()) : nullptr)
         PostMessageW(o.w, WM_COMMAND, MAKEWPARAM(item->id, 0), 0);  // as the mouse chooses it
       else if (HWND c = Control(o.w, o.a[1]))
         PostMessageW(c, BM_CLICK, 0, 0);
     }},
    {"set-text CLASS CONTROL TEXT", 3, kControl,
     [](const On& o) { SendMessageW(o.c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(o.a[2]).c_str())); }},
    {"type CLASS CONTROL TEXT: types the text at the start of an edit box", 3, kControl,
     [](const On& o) {
       SendMessageW(o.c, EM_SETSEL, 0, 0);
       for (char ch : o.a[2]) SendMessageW(o.c, WM_CHAR, static_cast<unsigned char>(ch), 0);
     }},
    {"choose CLASS CONTROL ITEM: the user's choice of an item (* any text in it)", 3, kControl,
     [](const On& o) { Choose(o, CBN_SELCHANGE); }},
    {"open CLASS CONTROL ITEM: a double click on an item", 3, kControl, [](const On& o) { Choose(o, LBN_DBLCLK); }},
    {"set-check CLASS CONTROL 0|1: clicks a check box until it shows that", 3, kControl,
     [](const On& o) {
       if (Property(o.w, o.c, "checked") != o.a[2]) SendMessageW(o.c, BM_CLICK, 0, 0);
       CheckMatch(Property(o.w, o.c, "checked"), o.a[2], o.a[1] + " checked");
     }},
    {"keys CLASS KEY...: types keys (tab, enter, space, esc, a letter; after ctrl+, shift+, alt+)", 2,
     kWindow, [](const On& o) { Keys(o.w, Args(o.a.begin() + 1, o.a.end())); }},
    {"tab-to CLASS CONTROL: Tab until the control has the focus (at most 40 presses)", 2, kControl, TabTo},
    {"tab-cycle CLASS: Tab round the window's tab stops in order, then Shift+Tab back", 1, kWindow, TabCycle},
    {"close CLASS: the close box of a visible window of the class", 1, kWindow,
     [](const On& o) {
       PostMessageW(o.w, WM_SYSCOMMAND, SC_CLOSE, 0);
       Gone(o.a[0]);
     }},
    {"resize CLASS WIDTH HEIGHT", 3, kWindow,
     [](const On& o) {
       SetWindowPos(o.w, nullptr, 0, 0, std::atoi(o.a[1].c_str()), std::atoi(o.a[2].c_str()),
                    SWP_NOMOVE | SWP_NOZORDER);
       Sleep(200);
     }},
    {"answer CAPTION TEXT OK|Cancel|Yes|No icon|noicon: a message box (* any text in it)", 4,
     kNothing, [](const On& o) { Answer(o.a[0], o.a[1], o.a[2], o.a[3]); }},
    {"watch-bar CLASS BUTTON BAR: presses the button; the bar steps 20 ... 100, back to 0", 3, kControl, WatchBar},
    {"make-profile CLASS CONFIGURATION PROFILE: in the Remoteboot Manager (RplMgrWindow)", 3, kWindow, MakeProfile},
    {"delete-profile CLASS PROFILE: in the Remoteboot Manager, answering its question Yes", 2, kWindow,
     DeleteProfile},
    {"shown CAPTION TEXT icon|noicon: a message box shows that (* any text in it); not answered", 3,
     kNothing, [](const On& o) { Shown(o.a[0], o.a[1], o.a[2]); }},
    {"report-ready: every item of the check window is ready", 0, kCheckWindow,
     [](const On& o) { CheckUntil([&] { CheckReportReady(o.w); }); }},
    {"report-items ITEMS: the check window's items, MARK WHAT joined by ，", 1, kCheckWindow,
     [](const On& o) { CheckUntil([&] { CheckReportItems(o.w, o.a[0]); }); }},
    {"report-file FILE: the check window shows the report /check wrote into FILE", 1, kCheckWindow,
     [](const On& o) { CheckUntil([&] { CheckReportFile(o.w, o.a[0]); }); }},
    {"report-copy click|keys: the check window's copy button fills the clipboard with its report", 1,
     kCheckWindow, [](const On& o) { CheckReportCopy(o.w, o.a[0]); }},
    {"save-as CAPTION PATH: the system's save dialog of that caption saves as PATH", 2, kNothing, SaveAs},
    {"capture LINES: the system's command interpreter, asked through pipes, prints LINES lines back whole", 1,
     kNothing, Capture},
    {"check-fonts CLASS...: the shown windows' controls have fonts for the Chinese character set", 1,
     kNothing, [](const On& o) { CheckFonts(o.a); }},
    {"attributes FOLDER... [-SKIP...]: lists every folder and file below, with its attributes RHSA", 1,
     kNothing, Attributes},
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
  if (WaitMs() == 0) {
    std::printf("driver: KORRIN_WAIT_MS, how long a step waits for the program in ms, is not set (demo/waits.sh sets it)\n");
    return 2;
  }
  Args args(words.begin() + 2, words.end());
  for (const Step& step : kSteps) {
    std::string usage = step.usage;
    if (usage.substr(0, usage.find_first_of(" :")) != words[1] || args.size() < step.args) continue;
    HWND w = step.finds == kNothing ? nullptr : WaitVisible(step.finds == kCheckWindow ? "TCheckForm" : args[0]);
    HWND c = w && step.finds == kControl ? Control(w, args[1]) : nullptr;
    if (Failures() == 0) step.run({args, w, c});
    std::printf("%s %s\n", Failures() ? "FAILED" : "ok", Join(Args(words.begin() + 1, words.end()), " ").c_str());
    std::fflush(stdout);
    return Failures() ? 1 : 0;
  }
  return Usage();
}
