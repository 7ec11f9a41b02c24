#include "tests/e2e/probe.h"

#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <sstream>

#include "app/help_window.h"
#include "app/server.h"
#include "app/server_check_window.h"
#include "app/statement_window.h"
#include "pxe/wait_dialog.h"
#include "rpl/driver_chooser.h"
#include "rpl/vendor_prefix_dialog.h"

namespace e2e {

using platform::Narrow;
using platform::Widen;

namespace {

int failures = 0;

// The program's windows by their class.
const struct {
  const char* class_name;
  const look::WindowLayout* layout;
} kLayouts[] = {{"TForm1", &app::TForm1::Layout()},     {"TForm2", &pxe::TForm2::Layout()},
                {"TForm4", &app::TForm4::Layout()},     {"TForm5", &app::TForm5::Layout()},
                {"TForm3", &rpl::TForm3::Layout()},     {"TGetNetDrv", &rpl::TGetNetDrv::Layout()},
                {"TCheckForm", &app::TCheckForm::Layout()}};

std::string ClassOf(HWND w) {
  wchar_t name[64] = {0};
  GetClassNameW(w, name, 64);
  return Narrow(name);
}

bool IsClass(HWND w, const char* name) { return lstrcmpiW(Widen(ClassOf(w)).c_str(), Widen(name).c_str()) == 0; }

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string all;
  for (size_t i = 0; i < parts.size(); ++i) all += (i ? separator : "") + parts[i];
  return all;
}

// Memory in the program's process, for the messages whose answer lies
// behind a pointer: the answer is read back from `size` bytes at `at`.
class Remote {
 public:
  Remote(HWND window, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~Remote() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  bool ok() const { return address_ != nullptr; }
  LPARAM at(size_t offset) const { return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset); }
  void Write(size_t offset, const void* data, size_t n) {
    WriteProcessMemory(process_, reinterpret_cast<void*>(at(offset)), data, n, nullptr);
  }
  void Read(size_t offset, void* data, size_t n) {
    ReadProcessMemory(process_, reinterpret_cast<void*>(at(offset)), data, n, nullptr);
  }
  std::string ReadText(size_t offset) {
    wchar_t text[1024] = {0};
    Read(offset, text, sizeof text - sizeof(wchar_t));
    return Narrow(text);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

std::string TabCaption(HWND tab, int index) {
  Remote remote(tab, 4096);
  if (!remote.ok()) return "<no remote memory>";
  TCITEMW item;
  ZeroMemory(&item, sizeof item);
  item.mask = TCIF_TEXT;
  item.pszText = reinterpret_cast<wchar_t*>(remote.at(1024));
  item.cchTextMax = 256;
  remote.Write(0, &item, sizeof item);
  if (!SendMessageW(tab, TCM_GETITEMW, index, remote.at(0))) return "<no item>";
  return remote.ReadText(1024);
}

std::string StatusText(HWND bar) {
  Remote remote(bar, 4096);
  if (!remote.ok()) return "<no remote memory>";
  SendMessageW(bar, SB_GETTEXTW, 0, remote.at(0));
  return remote.ReadText(0);
}

// The hint a tooltip control holds for a control of `owner`, or "".
std::string Hint(HWND tooltip, HWND owner, HWND control) {
  Remote remote(tooltip, 8192);
  if (!tooltip || !remote.ok()) return "<no tooltip>";
  TTTOOLINFOW tool;
  ZeroMemory(&tool, sizeof tool);
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = reinterpret_cast<wchar_t*>(remote.at(1024));
  remote.Write(0, &tool, sizeof tool);
  wchar_t empty = 0;
  remote.Write(1024, &empty, sizeof empty);
  SendMessageW(tooltip, TTM_GETTEXTW, 1024 / sizeof(wchar_t), remote.at(0));
  return remote.ReadText(1024);
}

int Chosen(HWND c) {
  UINT message = IsClass(c, WC_TABCONTROLA) ? TCM_GETCURSEL : IsClass(c, "ComboBox") ? CB_GETCURSEL : LB_GETCURSEL;
  return static_cast<int>(SendMessageW(c, message, 0, 0));
}

std::string Style(HWND c) {
  LONG style = GetWindowLongW(c, GWL_STYLE);
  if (IsClass(c, "ComboBox")) return (style & 3) == CBS_DROPDOWNLIST ? "list" : "typed";
  std::vector<std::string> names;
  const struct {
    LONG bit;
    const char* name;
  } kBits[] = {{ES_MULTILINE, "multiline"}, {WS_VSCROLL, "vscroll"}, {ES_READONLY, "readonly"}};
  for (const auto& b : kBits)
    if (style & b.bit) names.push_back(b.name);
  return Join(names, " ");
}

// The window of an identifier anywhere below `parent`.
HWND FindId(HWND parent, int id) {
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (HWND found = GetDlgCtrlID(w) == id ? w : FindId(w, id)) return found;
  return nullptr;
}

}  // namespace

std::vector<std::string> Items(HWND c) {
  std::vector<std::string> items;
  if (IsClass(c, WC_TABCONTROLA)) {
    for (int i = 0, n = static_cast<int>(SendMessageW(c, TCM_GETITEMCOUNT, 0, 0)); i < n; ++i)
      items.push_back(TabCaption(c, i));
    return items;
  }
  bool combo = IsClass(c, "ComboBox");
  int n = static_cast<int>(SendMessageW(c, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t text[512] = {0};
    SendMessageW(c, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(Narrow(text));
  }
  return items;
}

RECT TabRect(HWND tab, int index) {
  RECT rc = {0, 0, 0, 0};
  Remote remote(tab, sizeof rc);
  if (remote.ok() && SendMessageW(tab, TCM_GETITEMRECT, index, remote.at(0))) remote.Read(0, &rc, sizeof rc);
  return rc;
}

int Failures() { return failures; }

void Fail(const std::string& what) {
  std::printf("FAIL: %s\n", what.c_str());
  ++failures;
}

void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

bool Matches(const std::string& shown, const std::string& expected) {
  if (expected == "*") return true;
  if (expected.size() > 1 && expected.back() == '*')
    return shown.compare(0, expected.size() - 1, expected, 0, expected.size() - 1) == 0;
  return shown == expected;
}

void CheckMatch(const std::string& shown, const std::string& expected, const std::string& what) {
  if (!Matches(shown, expected)) Fail(what + ": \"" + shown + "\", expected \"" + expected + "\"");
}

HWND FindVisible(const std::string& class_name) {
  HWND found = nullptr, w = nullptr;
  std::wstring name = Widen(class_name);
  while ((w = FindWindowExW(nullptr, w, name.c_str(), nullptr)) != nullptr)
    if (IsWindowVisible(w)) found = w;
  return found;
}

HWND WaitVisible(const std::string& class_name, int ms) {
  HWND w = nullptr;
  Check(WaitFor([&] { return (w = FindVisible(class_name)) != nullptr; }, ms), "a visible " + class_name);
  return w;
}

HWND MainWindow() { return FindWindowW(L"TForm1", nullptr); }

std::string Text(HWND w) {
  wchar_t buffer[8192] = {0};
  SendMessageW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer));
  return Narrow(buffer);
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
  GUITHREADINFO info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND TooltipOf(HWND window) {
  // Each window with hints has a tooltip control of its own.
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) != nullptr;)
    if (GetWindow(w, GW_OWNER) == window) return w;
  return nullptr;
}

std::string Property(HWND window, HWND c, const std::string& property) {
  if (!c) return "<no control>";
  auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  if (property == "text") return IsClass(c, STATUSCLASSNAMEA) ? StatusText(c) : Text(c);
  if (property == "items") return Join(Items(c), "|");
  if (property == "chosen") {
    std::vector<std::string> items = Items(c);
    int i = Chosen(c);
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

void ClickOn(HWND control) {
  LPARAM at = MAKELPARAM(4, 4);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control, WM_LBUTTONUP, 0, at);
}

void Answer(const std::string& caption, const std::string& text, const std::string& button,
            const std::string& icon) {
  HWND box = nullptr;
  if (!WaitFor([&] {
        box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr)
          if (IsWindowVisible(box) && Text(box) == caption) return true;
        return false;
      }, 30000)) {
    Fail("no message box \"" + caption + "\"");
    return;
  }
  HWND text_static = GetDlgItem(box, 0xFFFF);
  CheckMatch(text_static ? Text(text_static) : "<none>", text, "message text");
  HWND icon_static = GetDlgItem(box, 1088);
  bool has_icon = icon_static && IsWindowVisible(icon_static) && SendMessageW(icon_static, STM_GETICON, 0, 0) != 0;
  Check(has_icon == (icon == "icon"), "message box " + std::string(icon == "icon" ? "with" : "without") + " an icon");
  int id = button == "OK" ? IDOK : button == "Cancel" ? IDCANCEL : button == "Yes" ? IDYES : IDNO;
  HWND b = GetDlgItem(box, id);
  Check(b != nullptr, "message box has the button " + button);
  if (b) PostMessageW(b, BM_CLICK, 0, 0);
  Check(WaitFor([&] { return !IsWindow(box); }), "message box closes");
}

}  // namespace e2e
