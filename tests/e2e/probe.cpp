#include "tests/e2e/probe.h"

#include <commctrl.h>

#include <cstdio>

#include "app/server.h"
#include "app/statement_window.h"
#include "app/help_window.h"
#include "pxe/wait_dialog.h"
#include "rpl/vendor_prefix_dialog.h"
#include "rpl/driver_chooser.h"

namespace e2e {

using platform::Narrow;

namespace {
int failures = 0;

// The program's windows by their class.
struct Window {
  const wchar_t* class_name;
  const look::WindowLayout* layout;
};
const Window kWindows[] = {{L"TForm1", &app::TForm1::Layout()},
                           {L"TForm2", &pxe::TForm2::Layout()},
                           {L"TForm4", &app::TForm4::Layout()},
                           {L"TForm5", &app::TForm5::Layout()},
                           {L"TForm3", &rpl::TForm3::Layout()},
                           {L"TGetNetDrv", &rpl::TGetNetDrv::Layout()}};

int IdIn(const look::WindowLayout& w, const char* name) {
  if (const look::ControlLayout* c = look::FindControl(w, name)) return c->id;
  if (const look::MenuLayout* m = look::FindMenuItem(w, name)) return m->id;
  return 0;
}

struct FindById {
  int id;
  HWND found;
};

BOOL CALLBACK FindChild(HWND w, LPARAM param) {
  FindById* f = reinterpret_cast<FindById*>(param);
  if (GetDlgCtrlID(w) == f->id) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

int Failures() { return failures; }

void Fail(const std::string& what) {
  std::printf("FAIL: %s\n", what.c_str());
  ++failures;
}

void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

void CheckEqStr(const std::string& actual, const std::string& expected, const std::string& what) {
  if (actual != expected) Fail(what + ": \"" + actual + "\", expected \"" + expected + "\"");
}

void CheckEqInt(long actual, long expected, const std::string& what) {
  if (actual != expected)
    Fail(what + ": " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

HWND FindVisible(const wchar_t* class_name) {
  HWND found = nullptr;
  HWND w = nullptr;
  while ((w = FindWindowExW(nullptr, w, class_name, nullptr)) != nullptr)
    if (IsWindowVisible(w)) found = w;
  return found;
}

HWND MainWindow() { return FindWindowW(L"TForm1", nullptr); }

std::string Text(HWND w) {
  wchar_t buffer[8192] = {0};
  SendMessageW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer));
  return Narrow(buffer);
}

int IdOf(const char* name) { return IdIn(app::TForm1::Layout(), name); }

const char* NameOf(int id) {
  const look::ControlLayout* c = look::FindControl(app::TForm1::Layout(), id);
  return c ? c->name : nullptr;
}

HWND Control(HWND window, const char* name) {
  // The identifier in the rows of the window's own class: two windows may
  // give one name different identifiers.
  wchar_t class_name[64] = {0};
  GetClassNameW(GetAncestor(window, GA_ROOT), class_name, 64);
  FindById f = {0, nullptr};
  for (const Window& w : kWindows)
    if (lstrcmpW(class_name, w.class_name) == 0) f.id = IdIn(*w.layout, name);
  if (f.id) EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

RECT PlaceInParent(HWND control) {
  RECT rc;
  GetWindowRect(control, &rc);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

void CheckFrame(HWND w, int left, int top, int width, int height, bool client, const std::string& n) {
  RECT outer, inner;
  GetWindowRect(w, &outer);
  GetClientRect(w, &inner);
  CheckEqInt(outer.left, left, n + " left");
  CheckEqInt(outer.top, top, n + " top");
  if (client) {
    CheckEqInt(inner.right, width, n + " client width");
    CheckEqInt(inner.bottom, height, n + " client height");
  } else {
    CheckEqInt(outer.right - outer.left, width, n + " width");
    CheckEqInt(outer.bottom - outer.top, height, n + " height");
  }
}

void CheckStyle(HWND w, bool sizeable, const std::string& n) {
  LONG style = GetWindowLongW(w, GWL_STYLE);
  Check((style & WS_SYSMENU) != 0, n + " has a system menu");
  CheckEqInt((style & WS_THICKFRAME) != 0, sizeable, n + " sizeable frame");
  CheckEqInt((style & WS_MINIMIZEBOX) != 0, sizeable, n + " minimise box");
  CheckEqInt((style & WS_MAXIMIZEBOX) != 0, sizeable, n + " maximise box");
}

Remote::Remote(HWND window, size_t size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process_)
    address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

Remote::~Remote() {
  if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

void Remote::Write(size_t offset, const void* data, size_t n) {
  WriteProcessMemory(process_, at(offset), data, n, nullptr);
}

void Remote::Read(size_t offset, void* data, size_t n) {
  ReadProcessMemory(process_, at(offset), data, n, nullptr);
}

std::string TabCaption(HWND tab, int index) {
  Remote remote(tab, 4096);
  if (!remote.ok()) return "<no remote memory>";
  TCITEMW item;
  ZeroMemory(&item, sizeof item);
  item.mask = TCIF_TEXT;
  item.pszText = reinterpret_cast<wchar_t*>(remote.at(1024));
  item.cchTextMax = 256;
  remote.Write(0, &item, sizeof item);
  if (!SendMessageW(tab, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(remote.at(0))))
    return "<no item>";
  wchar_t text[256] = {0};
  remote.Read(1024, text, sizeof text - sizeof(wchar_t));
  return Narrow(text);
}

RECT TabRect(HWND tab, int index) {
  RECT rc = {0, 0, 0, 0};
  Remote remote(tab, sizeof rc);
  if (remote.ok() && SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.at(0))))
    remote.Read(0, &rc, sizeof rc);
  return rc;
}

std::string StatusText(HWND bar) {
  Remote remote(bar, 4096);
  if (!remote.ok()) return "<no remote memory>";
  SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
  wchar_t text[1024] = {0};
  remote.Read(0, text, sizeof text - sizeof(wchar_t));
  return Narrow(text);
}

// The hint the program's tooltip control holds for a control, or "".
std::string Hint(HWND tooltip, HWND owner, HWND control) {
  Remote remote(tooltip, 8192);
  if (!remote.ok()) return "<no remote memory>";
  TTTOOLINFOW tool;
  ZeroMemory(&tool, sizeof tool);
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = reinterpret_cast<wchar_t*>(remote.at(1024));
  remote.Write(0, &tool, sizeof tool);
  wchar_t empty = 0;
  remote.Write(1024, &empty, sizeof empty);
  SendMessageW(tooltip, TTM_GETTEXTW, 1024 / sizeof(wchar_t), reinterpret_cast<LPARAM>(remote.at(0)));
  wchar_t text[1024] = {0};
  remote.Read(1024, text, sizeof text - sizeof(wchar_t));
  return Narrow(text);
}

namespace {
struct ToolFinder {
  DWORD pid;
  HWND found;
  HWND owner;
};

BOOL CALLBACK FindTooltip(HWND w, LPARAM param) {
  ToolFinder* f = reinterpret_cast<ToolFinder*>(param);
  wchar_t cls[64] = {0};
  GetClassNameW(w, cls, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  // The main window's own: each dialog with hints has one of its own too.
  if (pid == f->pid && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(w, GW_OWNER) == f->owner) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND TooltipOf(HWND main) {
  ToolFinder f = {0, nullptr, main};
  GetWindowThreadProcessId(main, &f.pid);
  EnumWindows(FindTooltip, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

void Keys(HWND window, const std::vector<unsigned>& keys) {
  SetForegroundWindow(window);
  Sleep(200);
  const struct {
    unsigned flag;
    BYTE vk;
  } kModifiers[] = {{kCtrl, VK_CONTROL}, {kShift, VK_SHIFT}, {kAlt, VK_MENU}};
  for (unsigned key : keys) {
    for (const auto& m : kModifiers)
      if (key & m.flag) keybd_event(m.vk, 0, 0, 0);
    BYTE vk = static_cast<BYTE>(key & 0xFF);
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    for (const auto& m : kModifiers)
      if (key & m.flag) keybd_event(m.vk, 0, KEYEVENTF_KEYUP, 0);
    Sleep(300);
  }
}

HWND Focus(HWND window) {
  GUITHREADINFO info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::string FocusName(HWND main) {
  HWND focus = Focus(main);
  const char* name = focus && IsChild(main, focus) ? NameOf(GetDlgCtrlID(focus)) : nullptr;
  return name ? name : "";
}

bool TabTo(HWND main, const char* name, int limit) {
  for (int i = 0; i <= limit; ++i) {
    if (FocusName(main) == name) return true;
    Keys(main, {VK_TAB});
  }
  return false;
}

HWND FindMessageBox(const std::string& caption) {
  HWND w = nullptr;
  while ((w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr)
    if (IsWindowVisible(w) && Text(w) == caption) return w;
  return nullptr;
}

int Answer(const std::string& caption, const std::string& text, const std::string& button,
           const std::string& icon) {
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = FindMessageBox(caption)) != nullptr; }, 30000)) {
    Fail("no message box \"" + caption + "\"");
    return failures;
  }
  HWND text_static = GetDlgItem(box, 0xFFFF);
  // "*" takes any text; a text ending in "*" is the text's beginning.
  const std::string shown = text_static ? Text(text_static) : "<none>";
  if (text.size() > 1 && text.back() == '*')
    CheckEqStr(shown.substr(0, text.size() - 1), text.substr(0, text.size() - 1), "message text's beginning");
  else if (text != "*")
    CheckEqStr(shown, text, "message text");
  HWND icon_static = GetDlgItem(box, 1088);
  bool has_icon = icon_static && IsWindowVisible(icon_static) && SendMessageW(icon_static, STM_GETICON, 0, 0) != 0;
  Check(has_icon == (icon == "icon"),
        "message box " + std::string(icon == "icon" ? "with" : "without") + " an icon");
  int id = button == "OK" ? IDOK : button == "Cancel" ? IDCANCEL : button == "Yes" ? IDYES : IDNO;
  HWND b = GetDlgItem(box, id);
  Check(b != nullptr, "message box has the button " + button);
  if (b) PostMessageW(b, BM_CLICK, 0, 0);
  Check(WaitFor([&] { return !IsWindow(box); }), "message box closes");
  return failures;
}

}  // namespace e2e
