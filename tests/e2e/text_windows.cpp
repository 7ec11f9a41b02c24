// The help window (Form5) and the statement window (Form4) seen from outside:
// opened from the menu, the toolbar or the keyboard, checked, typed into,
// resized, and closed by the close box or Esc.
//   open help|statement menu|toolbar|keys   opens the window and checks it (left open)
//   resize WIDTH HEIGHT                     resizes the open help window; its text
//                                           area keeps its size
//   close help|statement [closebox|esc]     types into it, resizes the help window,
//                                           closes it by its close box or by Esc
#include "tests/e2e/probe.h"

#include "app/statement_window.h"
#include "app/help_window.h"

namespace e2e {
namespace {

using platform::Narrow;

struct TextWindow {
  const wchar_t* class_name;
  const char* caption;
  const char* menu_item;
  const char* toolbar_button;
  const char* (*text)();
  bool sizeable, read_only;
};

const TextWindow kHelp = {L"TForm5", "简要说明", "N2", "SpeedButton2", &app::TForm5::Text, true, true};
const TextWindow kStatement = {L"TForm4", "程序声明", "M1", "SpeedButton3", &app::TForm4::Text, false, false};

int Open(const TextWindow& t, const std::string& how) {
  HWND main = MainWindow();
  if (!main) {
    Fail("no main window");
    return 1;
  }
  if (how == "menu") {
    // What choosing the item with the mouse delivers to the window.
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IdOf(t.menu_item), 0), 0);
  } else if (how == "toolbar") {
    PostMessageW(Control(main, t.toolbar_button), BM_CLICK, 0, 0);
  } else {  // keys
    Keys(main, {kAlt | 'H', static_cast<unsigned>(t.menu_item[0] == 'N' ? 'U' : 'M')});
  }
  HWND w = nullptr;
  if (!WaitFor([&] { return (w = FindVisible(t.class_name)) != nullptr; })) {
    Fail(Narrow(t.class_name) + " did not open by " + how);
    return Failures();
  }
  Sleep(300);
  std::string n = t.caption;
  CheckEqStr(Text(w), t.caption, n + " caption");
  if (t.sizeable)
    CheckFrame(w, 167, 82, 529, 428, false, n);
  else
    CheckFrame(w, 208, 104, 456, 304, true, n);
  CheckStyle(w, t.sizeable, n);
  Check(GetWindow(w, GW_OWNER) == main, n + " is owned by the main window");
  Check(!IsWindowEnabled(main), "the main window takes no input while " + n + " is open");

  HWND memo = Control(w, "Memo1");
  if (!memo) {
    Fail(n + " has no text area");
    return Failures();
  }
  CheckEqStr(Text(memo), t.text(), n + " text");
  LONG style = GetWindowLongW(memo, GWL_STYLE);
  Check((style & ES_MULTILINE) && (style & WS_VSCROLL), n + " text area is multi-line with a scroll bar");
  CheckEqInt((style & ES_READONLY) != 0, t.read_only, n + " text area read-only");
  CheckEqInt(static_cast<long>(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0)), 0, n + " shown from the top");
  RECT rc = PlaceInParent(memo), client;
  GetClientRect(w, &client);
  CheckEqInt(rc.left, 0, n + " text area left");
  CheckEqInt(rc.top, 0, n + " text area top");
  if (t.sizeable) {
    CheckEqInt(rc.right, client.right, n + " text area fills the width");
    CheckEqInt(rc.bottom, client.bottom, n + " text area fills the height");
  } else {
    CheckEqInt(rc.right - rc.left, 457, n + " text area width");
    CheckEqInt(rc.bottom - rc.top, 305, n + " text area height");
  }
  return Failures();
}

// The help window's text area keeps the size of the window's first client area.
const int kHelpTextWidth = 521, kHelpTextHeight = 401;

void CheckTextAreaAfterResize(HWND w, int width, int height) {
  SetWindowPos(w, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  Sleep(200);
  RECT rc = PlaceInParent(Control(w, "Memo1"));
  std::string at = " at " + std::to_string(width) + " x " + std::to_string(height);
  CheckEqInt(rc.left, 0, "help text area left" + at);
  CheckEqInt(rc.top, 0, "help text area top" + at);
  CheckEqInt(rc.right - rc.left, kHelpTextWidth, "help text area width" + at);
  CheckEqInt(rc.bottom - rc.top, kHelpTextHeight, "help text area height" + at);
}

int Close(const TextWindow& t, const std::string& how) {
  HWND main = MainWindow();
  HWND w = FindVisible(t.class_name);
  if (!w) {
    Fail(std::string(t.caption) + " is not open");
    return Failures();
  }
  HWND memo = Control(w, "Memo1");
  if (!t.read_only) {
    // Typing goes into the text; the next opening must not show it.
    SendMessageW(memo, EM_SETSEL, 0, 0);
    SendMessageW(memo, WM_CHAR, 'X', 0);
    Check(Text(memo) != t.text(), std::string(t.caption) + " takes typing");
  } else {
    SendMessageW(memo, WM_CHAR, 'X', 0);
    CheckEqStr(Text(memo), t.text(), std::string(t.caption) + " refuses typing");
  }
  if (t.sizeable) {
    // The text area keeps its size when the window is made smaller or larger.
    CheckTextAreaAfterResize(w, 400, 300);
    CheckTextAreaAfterResize(w, 640, 520);
  }
  if (how == "esc")
    Keys(w, {VK_ESCAPE});
  else
    PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  Check(WaitFor([&] { return !IsWindow(w); }), std::string(t.caption) + " closes by " + how);
  Check(WaitFor([&] { return IsWindowEnabled(main) != 0; }), "the main window takes input again");
  return Failures();
}

const TextWindow* Which(const std::string& name) {
  return name == "help" ? &kHelp : name == "statement" ? &kStatement : nullptr;
}

}  // namespace

std::vector<Step> TextWindowSteps() {
  return {
      {"open", 2,
       [](const Args& a) {
         const TextWindow* t = Which(a[0]);
         return t && (a[1] == "menu" || a[1] == "toolbar" || a[1] == "keys") ? Open(*t, a[1]) : -1;
       },
       "open help|statement menu|toolbar|keys"},
      {"resize", 2,
       [](const Args& a) {
         HWND w = FindVisible(L"TForm5");
         if (!w) Fail("help is not open");
         if (w) CheckTextAreaAfterResize(w, std::stoi(a[0]), std::stoi(a[1]));
         return Failures();
       },
       "resize WIDTH HEIGHT (the open help window)"},
      {"close", 1,
       [](const Args& a) {
         const TextWindow* t = Which(a[0]);
         std::string how = a.size() > 1 ? a[1] : "closebox";
         return t && (how == "closebox" || how == "esc") ? Close(*t, how) : -1;
       },
       "close help|statement [closebox|esc]"},
  };
}

}  // namespace e2e
