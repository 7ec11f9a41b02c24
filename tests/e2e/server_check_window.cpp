// The check window seen from outside: opened from the menu or by its keys,
// its items read from its text, its report compared with the one /check
// wrote, copied to the clipboard by the mouse or the keyboard, closed.
//   server-check open menu|keys          opens it and checks the window (left open)
//   server-check items ITEMS             its items, "MARK WHAT" joined by "，" ("×共享目录，√镜像工具")
//   server-check same FILE               its report is the one FILE holds (code page 936)
//   server-check tab                     Tab goes round the text and the two buttons
//   server-check copy click|keys         the copy button: the clipboard holds the report
//   server-check close esc|button|closebox
#include "tests/e2e/probe.h"

#include <fstream>
#include <sstream>

#include "app/server_check_window.h"
#include "platform/encoding.h"

namespace e2e {
namespace {

using platform::Narrow;

HWND Window() { return FindVisible(L"TCheckForm"); }

HWND Part(HWND window, const char* name) {
  const look::ControlLayout* c = look::FindControl(app::TCheckForm::Layout(), name);
  return c ? GetDlgItem(window, c->id) : nullptr;
}

// The whole text of a control of another process, however long.
std::string WholeText(HWND control) {
  std::wstring text(static_cast<size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  LRESULT n = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  return Narrow(text.substr(0, static_cast<size_t>(n)));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The item lines "MARK【STATE】WHAT：FOUND" as "MARK WHAT", joined by "，".
std::string Items(const std::string& text) {
  std::string items;
  for (const std::string& line : Lines(text)) {
    const size_t open = line.find("【"), close = line.find("】"), colon = line.find("：", close);
    if (open == std::string::npos || open > 3 || close == std::string::npos || colon == std::string::npos) continue;
    items += (items.empty() ? "" : "，") + line.substr(0, open) + line.substr(close + 3, colon - close - 3);
  }
  return items;
}

int Open(const std::string& how) {
  HWND main = MainWindow();
  if (!main) {
    Fail("no main window");
    return 1;
  }
  if (how == "menu")
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IdOf("C1"), 0), 0);
  else
    Keys(main, {kAlt | 'S', 'C'});
  HWND w = nullptr;
  if (!WaitFor([&] { return (w = Window()) != nullptr; })) {
    Fail("the check window did not open by " + how);
    return Failures();
  }
  Sleep(300);
  CheckEqStr(Text(w), "检查服务器", "the check window's caption");
  Check(GetWindow(w, GW_OWNER) == main, "the check window is owned by the main window");
  Check(!IsWindowEnabled(main), "the main window takes no input while the check window is open");
  HWND memo = Part(w, "Memo1");
  LONG style = memo ? GetWindowLongW(memo, GWL_STYLE) : 0;
  Check((style & ES_MULTILINE) && (style & WS_VSCROLL) && (style & ES_READONLY),
        "the report is a read-only multi-line text with a scroll bar");
  CheckEqInt(static_cast<long>(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0)), 0, "the report shown from its top");
  Check(WholeText(memo).rfind("服务器检查报告\r\n", 0) == 0, "the report begins with its title");
  Check(Text(Part(w, "Label1")).rfind("共 ", 0) == 0, "the line below sums the items up: " + Text(Part(w, "Label1")));
  CheckEqStr(Text(Part(w, "Button1")), "复制报告(&C)", "the copy button");
  CheckEqStr(Text(Part(w, "Button2")), "关闭", "the close button");
  Check(Focus(w) == memo, "the report has the focus");
  return Failures();
}

int ItemsAre(const std::string& expected) {
  HWND w = Window();
  if (!w) Fail("the check window is not open");
  if (w) CheckEqStr(Items(WholeText(Part(w, "Memo1"))), expected, "the check's items");
  return Failures();
}

int Same(const std::string& file) {
  HWND w = Window();
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  Check(in.good() || in.eof(), "the report file " + file + " can be read");
  if (!w) Fail("the check window is not open");
  if (w) Check(WholeText(Part(w, "Memo1")) == platform::FromCodePage(bytes.str()), "the window shows the report of " + file);
  return Failures();
}

int TabRound() {
  HWND w = Window();
  if (!w) {
    Fail("the check window is not open");
    return Failures();
  }
  const char* const kOrder[] = {"Button1", "Button2", "Memo1"};
  for (const char* name : kOrder) {
    Keys(w, {VK_TAB});
    Check(Focus(w) == Part(w, name), std::string("Tab goes on to ") + name);
  }
  return Failures();
}

std::string Clipboard() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "<clipboard not opened>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Narrow(wide);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

int Copy(const std::string& how) {
  HWND w = Window();
  if (!w) {
    Fail("the check window is not open");
    return Failures();
  }
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  if (how == "click")
    PostMessageW(Part(w, "Button1"), BM_CLICK, 0, 0);
  else
    Keys(w, {kAlt | 'C'});
  const std::string report = WholeText(Part(w, "Memo1"));
  Check(WaitFor([&] { return Clipboard() == report; }, 5000), "the clipboard holds the report after " + how);
  CheckEqStr(Text(Part(w, "Label1")), "报告已复制到剪贴板。", "the line below says it was copied");
  Check(Window() == w, "the window stays open");
  return Failures();
}

int Close(const std::string& how) {
  HWND main = MainWindow(), w = Window();
  if (!w) {
    Fail("the check window is not open");
    return Failures();
  }
  if (how == "esc")
    Keys(w, {VK_ESCAPE});
  else if (how == "button")
    PostMessageW(Part(w, "Button2"), BM_CLICK, 0, 0);
  else
    PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  Check(WaitFor([&] { return !IsWindow(w); }), "the check window closes by " + how);
  Check(WaitFor([&] { return IsWindowEnabled(main) != 0; }), "the main window takes input again");
  return Failures();
}

}  // namespace

std::vector<Step> ServerCheckSteps() {
  return {
      {"server-check", 1,
       [](const Args& a) {
         const std::string& what = a[0];
         const std::string arg = a.size() > 1 ? a[1] : "";
         if (what == "open" && (arg == "menu" || arg == "keys")) return Open(arg);
         if (what == "items" && a.size() > 1) return ItemsAre(arg);
         if (what == "same" && a.size() > 1) return Same(arg);
         if (what == "tab") return TabRound();
         if (what == "copy" && (arg == "click" || arg == "keys")) return Copy(arg);
         if (what == "close" && (arg == "esc" || arg == "button" || arg == "closebox")) return Close(arg);
         return -1;
       },
       "server-check open menu|keys | items ITEMS | same FILE | tab | copy click|keys | close esc|button|closebox"},
  };
}

}  // namespace e2e
