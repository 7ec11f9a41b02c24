#include "tests/e2e/probe.h"

#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/help_window.h"
#include "app/server.h"
#include "app/server_check_window.h"
#include "app/statement_window.h"
#include "app/undo_window.h"
#include "pxe/wait_dialog.h"
#include "rpl/driver_chooser.h"
#include "rpl/vendor_prefix_dialog.h"

namespace e2e {

using platform::Narrow;
using platform::Widen;

namespace {

int failures = 0;
// While CheckUntil tries its checks: where their failures are held.
std::vector<std::string>* held = nullptr;

// The program's windows by their class.
const struct {
  const char* class_name;
  const look::WindowLayout* layout;
} kLayouts[] = {{"TForm1", &app::TForm1::Layout()},     {"TForm2", &pxe::TForm2::Layout()},
                {"TForm4", &app::TForm4::Layout()},     {"TForm5", &app::TForm5::Layout()},
                {"TForm3", &rpl::TForm3::Layout()},     {"TGetNetDrv", &rpl::TGetNetDrv::Layout()},
                {"TCheckForm", &app::TCheckForm::Layout()}, {"TUndoForm", &app::TUndoForm::Layout()}};

std::string ClassOf(HWND w) {
  wchar_t name[64] = {0};
  GetClassNameW(w, name, 64);
  return Narrow(name);
}

// Sends a message whose request and answer lie behind a pointer: the request
// is copied into memory of the program's process and read back as the window
// left it; `text`, when given, is the request's field for the answer's text,
// which is returned.
constexpr int kTextSize = 1024;
template <typename T>
std::string AskRemote(HWND c, UINT message, WPARAM wparam, T* request, LPWSTR T::*text = nullptr) {
  DWORD pid = 0;
  GetWindowThreadProcessId(c, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  void* remote = process ? VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : nullptr;
  wchar_t* remote_text = static_cast<wchar_t*>(remote) + kTextSize;
  wchar_t answer[kTextSize + 1] = {0};
  if (remote) {
    if (text) request->*text = remote_text;
    WriteProcessMemory(process, remote, request, sizeof *request, nullptr);
    SendMessageW(c, message, wparam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, request, sizeof *request, nullptr);
    ReadProcessMemory(process, remote_text, answer, kTextSize * sizeof(wchar_t), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  if (process) CloseHandle(process);
  return remote ? Narrow(answer) : "<no remote memory>";
}

std::string TabCaption(HWND tab, int index) {
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.cchTextMax = kTextSize;
  return AskRemote(tab, TCM_GETITEMW, index, &item, &TCITEMW::pszText);
}

// The hint a tooltip control holds for a control of `owner`, or "".
std::string Hint(HWND tooltip, HWND owner, HWND control) {
  if (!tooltip) return "<no tooltip>";
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  return AskRemote(tooltip, TTM_GETTEXTW, kTextSize, &tool, &TTTOOLINFOW::lpszText);
}

// The window's tooltip control (each window with hints has one), or nullptr.
HWND TooltipOf(HWND window) {
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) != nullptr;)
    if (GetWindow(w, GW_OWNER) == window) return w;
  return nullptr;
}

// The messages that read a notebook's tabs (their text through TabCaption),
// a drop-down's or a list's items: the count, the chosen one, an item's text.
struct ListMessages {
  UINT count, chosen, text;
};
ListMessages MessagesOf(HWND c) {
  if (IsClass(c, WC_TABCONTROLA)) return {TCM_GETITEMCOUNT, TCM_GETCURSEL, 0};
  if (IsClass(c, "ComboBox")) return {CB_GETCOUNT, CB_GETCURSEL, CB_GETLBTEXT};
  return {LB_GETCOUNT, LB_GETCURSEL, LB_GETTEXT};
}

std::string Style(HWND c) {
  LONG style = GetWindowLongW(c, GWL_STYLE);
  if (IsClass(c, "ComboBox")) return (style & 3) == CBS_DROPDOWNLIST ? "list" : "typed";
  std::string names = std::string(style & ES_MULTILINE ? " multiline" : "") +
                      (style & WS_VSCROLL ? " vscroll" : "") + (style & ES_READONLY ? " readonly" : "");
  return names.empty() ? names : names.substr(1);
}

// The window of an identifier anywhere below `parent`.
HWND FindId(HWND parent, int id) {
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (HWND found = GetDlgCtrlID(w) == id ? w : FindId(w, id)) return found;
  return nullptr;
}

}  // namespace

std::vector<std::string> Items(HWND c) {
  const ListMessages m = MessagesOf(c);
  std::vector<std::string> items;
  for (int i = 0, n = static_cast<int>(SendMessageW(c, m.count, 0, 0)); i < n; ++i) {
    wchar_t text[512] = {0};
    if (m.text) SendMessageW(c, m.text, i, reinterpret_cast<LPARAM>(text));
    items.push_back(m.text ? Narrow(text) : TabCaption(c, i));
  }
  return items;
}

RECT TabRect(HWND tab, int index) {
  RECT rc = {0, 0, 0, 0};
  AskRemote(tab, TCM_GETITEMRECT, index, &rc);
  return rc;
}

int Failures() { return failures; }

void Fail(const std::string& what) {
  if (held) {
    held->push_back(what);
    return;
  }
  std::printf("FAIL: %s\n", what.c_str());
  ++failures;
}

int WaitMs() {
  static const int ms = [] {
    const char* text = std::getenv("KORRIN_WAIT_MS");
    char* end = nullptr;
    const long value = text ? std::strtol(text, &end, 10) : 0;
    return text && *text && *end == '\0' && value > 0 && value <= 24L * 3600 * 1000 ? static_cast<int>(value) : 0;
  }();
  return ms;
}

void CheckUntil(const std::function<void()>& checks) {
  std::vector<std::string> failed;
  WaitFor([&] {
    failed.clear();
    held = &failed;
    checks();
    held = nullptr;
    return failed.empty();
  });
  for (const std::string& what : failed) Fail(what);
}

void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

bool Matches(const std::string& shown, const std::string& expected) {
  // Each "*" takes as little as lets the rest match: after a mismatch the
  // last "*" takes one character more.
  size_t s = 0, e = 0, star = std::string::npos, taken = 0;
  while (s < shown.size()) {
    if (e < expected.size() && expected[e] == '*') {
      star = e++;
      taken = s;
    } else if (e < expected.size() && expected[e] == shown[s]) {
      ++e;
      ++s;
    } else if (star != std::string::npos) {
      e = star + 1;
      s = ++taken;
    } else {
      return false;
    }
  }
  while (e < expected.size() && expected[e] == '*') ++e;
  return e == expected.size();
}

void CheckMatch(const std::string& shown, const std::string& expected, const std::string& what) {
  if (!Matches(shown, expected)) Fail(what + ": \"" + shown + "\", expected \"" + expected + "\"");
}

int IndexOf(const std::vector<std::string>& items, const std::string& expected) {
  for (size_t i = 0; i < items.size(); ++i)
    if (Matches(items[i], expected)) return static_cast<int>(i);
  return -1;
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string all;
  for (size_t i = 0; i < parts.size(); ++i) all += (i ? separator : "") + parts[i];
  return all;
}

HWND FindVisible(const std::string& class_name, const char* caption) {
  HWND found = nullptr, w = nullptr;
  std::wstring name = Widen(class_name);
  while ((w = FindWindowExW(nullptr, w, name.c_str(), nullptr)) != nullptr)
    if (IsWindowVisible(w) && (!caption || Text(w) == caption)) found = w;
  return found;
}

HWND WaitVisible(const std::string& class_name, const char* caption) {
  HWND w = nullptr;
  Check(WaitFor([&] { return (w = FindVisible(class_name, caption)) != nullptr; }),
        "a visible " + class_name + (caption ? " \"" + std::string(caption) + "\"" : ""));
  return w;
}

HWND MainWindow() { return FindWindowW(L"TForm1", nullptr); }

bool IsClass(HWND w, const char* name) { return lstrcmpiW(Widen(ClassOf(w)).c_str(), Widen(name).c_str()) == 0; }

std::string Text(HWND w) {
  std::wstring text(static_cast<size_t>(SendMessageW(w, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  return Narrow(text.c_str());
}

const look::WindowLayout* LayoutOf(HWND window) {
  std::string name = ClassOf(GetAncestor(window, GA_ROOT));
  for (const auto& l : kLayouts)
    if (name == l.class_name) return l.layout;
  return nullptr;
}

HWND Control(HWND window, const std::string& name) {
  // The identifier in the rows of the window's own class: two windows may
  // give one name different identifiers.
  const look::WindowLayout* layout = window ? LayoutOf(window) : nullptr;
  const look::ControlLayout* row = layout ? look::FindControl(*layout, name.c_str()) : nullptr;
  HWND found = row ? FindId(window, row->id) : nullptr;
  Check(found != nullptr, "a control " + name);
  return found;
}

std::string NameOf(HWND window, HWND w) {
  const look::WindowLayout* layout = LayoutOf(window);
  for (; layout && w && w != window && IsChild(window, w); w = GetParent(w))
    if (const look::ControlLayout* row = look::FindControl(*layout, GetDlgCtrlID(w))) return row->name;
  return "";
}

std::string Numbers(std::initializer_list<long> numbers) {
  std::string all;
  for (long n : numbers) all += (all.empty() ? "" : " ") + std::to_string(n);
  return all;
}

RECT PlaceInParent(HWND control) {
  RECT rc;
  GetWindowRect(control, &rc);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

HWND Focus(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

std::string Property(HWND window, HWND c, const std::string& property) {
  if (!c) return "<no control>";
  auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  if (property == "text") return Text(c);
  if (property == "items") return Join(Items(c), "|");
  if (property == "chosen") {
    std::vector<std::string> items = Items(c);
    int i = static_cast<int>(SendMessageW(c, MessagesOf(c).chosen, 0, 0));
    return i >= 0 && i < static_cast<int>(items.size()) ? items[i] : "";
  }
  if (property == "enabled") return flag(IsWindowEnabled(c));
  if (property == "shown") return flag(IsWindowVisible(c));
  if (property == "checked") return flag(SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED);
  if (property == "position") return std::to_string(SendMessageW(c, PBM_GETPOS, 0, 0));
  if (property == "topline") return std::to_string(SendMessageW(c, EM_GETFIRSTVISIBLELINE, 0, 0));
  if (property == "style") return Style(c);
  if (property == "hint") return Hint(TooltipOf(window), window, c);
  if (property == "focus") {
    HWND focus = Focus(window);
    return flag(focus && (focus == c || IsChild(c, focus)));
  }
  if (property == "place") {
    RECT rc = PlaceInParent(c);
    return Numbers({rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top});
  }
  if (property == "tabstops") {
    std::vector<std::string> stops;
    for (HWND w = GetWindow(c, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
      if (GetWindowLongW(w, GWL_STYLE) & WS_TABSTOP) stops.push_back(NameOf(window, w));
    return Join(stops, " ");
  }
  return "<no property " + property + ">";
}

void Keys(HWND window, const std::vector<std::string>& keys) {
  SetForegroundWindow(window);
  Sleep(200);
  const struct {
    const char* name;
    BYTE vk;
  } kNames[] = {{"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU}, {"tab", VK_TAB},
                {"enter", VK_RETURN}, {"space", VK_SPACE}, {"esc", VK_ESCAPE}};
  for (const std::string& key : keys) {
    // The keys of "ctrl+shift+tab", pressed in order and let go in reverse.
    std::vector<BYTE> down;
    std::stringstream parts(key);
    for (std::string part; std::getline(parts, part, '+');) {
      BYTE vk = part.size() == 1 ? static_cast<BYTE>(std::toupper(static_cast<unsigned char>(part[0]))) : 0;
      for (const auto& n : kNames)
        if (part == n.name) vk = n.vk;
      Check(vk != 0, "a key named " + part);
      down.push_back(vk);
    }
    for (BYTE vk : down) keybd_event(vk, 0, 0, 0);
    for (auto vk = down.rbegin(); vk != down.rend(); ++vk) keybd_event(*vk, 0, KEYEVENTF_KEYUP, 0);
    Sleep(300);
  }
}

void ClickOn(HWND control, int x, int y) {
  LPARAM at = MAKELPARAM(x, y);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control, WM_LBUTTONUP, 0, at);
}

HWND Shown(const std::string& caption, const std::string& text, const std::string& icon) {
  HWND box = WaitVisible("#32770", caption.c_str());
  if (!box) return nullptr;
  CheckMatch(Text(GetDlgItem(box, 0xFFFF)), text, "message text");
  HWND icon_static = GetDlgItem(box, 1088);
  bool has_icon = icon_static && IsWindowVisible(icon_static) && SendMessageW(icon_static, STM_GETICON, 0, 0) != 0;
  Check(has_icon == (icon == "icon"), "message box " + std::string(icon == "icon" ? "with" : "without") + " an icon");
  return box;
}

void Answer(const std::string& caption, const std::string& text, const std::string& button,
            const std::string& icon) {
  HWND box = Shown(caption, text, icon);
  if (!box) return;
  HWND b = GetDlgItem(box, button == "OK" ? IDOK : button == "Cancel" ? IDCANCEL : button == "Yes" ? IDYES : IDNO);
  Check(b != nullptr, "message box has the button " + button);
  if (b) PostMessageW(b, BM_CLICK, 0, 0);
  Check(WaitFor([&] { return !IsWindow(box); }), "message box closes");
}

}  // namespace e2e
