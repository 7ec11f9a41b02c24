// rplmgr.exe: the Remoteboot Manager's window. It shows what the portable
// manager (standins/rpl/rplmgr.h) gives and hands it the controls' texts; the
// control IDs are those of standins/rpl/rplmgr_ids.h.
//
// Keyboard: Tab and Shift+Tab move through the controls in the order below,
// Enter presses the focused button or else the default button 新建配置文件,
// Esc presses 关闭.
#include "platform/win32/win32_host.h"

#include <string>
#include <vector>

#include "standins/rpl/rplmgr.h"
#include "standins/rpl/rplmgr_ids.h"

namespace {

using platform::Narrow;
using platform::Widen;

const wchar_t kClass[] = L"RplMgrWindow";
const wchar_t kCaption[] = L"远程启动管理器";

platform::Win32Host g_host;
standins::rpl::Manager g_manager(g_host, [](const std::string& path) {
  return RemoveDirectoryW(Widen(path).c_str()) != FALSE;
});
HWND g_window = nullptr;
HFONT g_font = nullptr;

HWND Item(int id) { return GetDlgItem(g_window, id); }

void SetText(int id, const std::string& utf8) { SetWindowTextW(Item(id), Widen(utf8).c_str()); }

std::string Text(int id) {
  int n = GetWindowTextLengthW(Item(id));
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(Item(id), &text[0], n + 1);
  text.resize(static_cast<size_t>(n));
  return Narrow(text);
}

// Refills a list and keeps the chosen line where there still is one.
void Fill(int id, const std::vector<std::string>& lines) {
  HWND list = Item(id);
  LRESULT chosen = SendMessageW(list, LB_GETCURSEL, 0, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : lines)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line).c_str()));
  if (chosen != LB_ERR && chosen < static_cast<LRESULT>(lines.size()))
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

// The name of the chosen line of a list: its first field.
std::string ChosenName(int id) {
  HWND list = Item(id);
  LRESULT chosen = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (chosen == LB_ERR) return "";
  LRESULT n = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(chosen), 0);
  if (n == LB_ERR) return "";
  std::wstring line(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(&line[0]));
  line.resize(static_cast<size_t>(n));
  return Narrow(line.substr(0, line.find(L'\t')));
}

void FillLists() {
  Fill(kRplmgrVendors, g_manager.VendorLines());
  Fill(kRplmgrBootBlocks, g_manager.BootBlockLines());
  Fill(kRplmgrConfigurations, g_manager.ConfigurationLines());
  Fill(kRplmgrProfiles, g_manager.ProfileLines());
}

void Refresh() {
  std::string message;
  if (g_manager.Load(&message)) {
    message = "已读入远程启动数据库：" + std::to_string(g_manager.db().configurations.size()) + " 个配置，" +
              std::to_string(g_manager.db().profiles.size()) + " 个配置文件。";
  }
  FillLists();
  SetText(kRplmgrReport, "");
  SetText(kRplmgrStatus, message);
}

void Check() {
  std::string message;
  if (!g_manager.Load(&message)) {
    FillLists();
    SetText(kRplmgrStatus, message);
    return;
  }
  std::string report;
  for (const std::string& line : g_manager.CheckAll()) report += line + "\r\n";
  FillLists();
  SetText(kRplmgrReport, report);
  int usable = 0;
  for (const standins::rpl::ConfigurationCheck& check : g_manager.checks()) usable += check.usable ? 1 : 0;
  SetText(kRplmgrStatus, "已检查 " + std::to_string(g_manager.db().configurations.size()) + " 个配置，其中 " +
                             std::to_string(usable) + " 个可用。");
}

void MakeProfile() {
  std::string message;
  bool made = g_manager.MakeProfile(Text(kRplmgrProfileName), ChosenName(kRplmgrConfigurations),
                                    Text(kRplmgrProfileComment), &message);
  FillLists();
  SetText(kRplmgrStatus, message);
  if (made) {
    SetText(kRplmgrProfileName, "");
    SetText(kRplmgrProfileComment, "");
    SendMessageW(Item(kRplmgrProfiles), LB_SETCURSEL,
                 static_cast<WPARAM>(g_manager.db().profiles.size() - 1), 0);
  } else {
    MessageBeep(MB_ICONEXCLAMATION);
  }
}

void DeleteProfile() {
  std::string name = ChosenName(kRplmgrProfiles), message;
  if (name.empty()) {
    SetText(kRplmgrStatus, "请先选择一个配置文件。");
    return;
  }
  std::wstring question = L"确实要删除配置文件 " + Widen(name) + L" 及其目录吗？";
  if (MessageBoxW(g_window, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  g_manager.DeleteProfile(name, &message);
  SendMessageW(Item(kRplmgrProfiles), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  FillLists();
  SetText(kRplmgrStatus, message);
}

HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id,
         DWORD ex_style = 0) {
  HWND control = CreateWindowExW(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, g_window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
  return control;
}

void Label(const wchar_t* text, int x, int y, int w) { Add(L"STATIC", text, 0, x, y, w, 16, -1); }

HWND List(int id, int x, int y, int w, int h, std::vector<int> tabs) {
  HWND list = Add(L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_USETABSTOPS |
                                       LBS_NOINTEGRALHEIGHT,
                  x, y, w, h, id, WS_EX_CLIENTEDGE);
  SendMessageW(list, LB_SETTABSTOPS, tabs.size(), reinterpret_cast<LPARAM>(tabs.data()));
  SendMessageW(list, LB_SETHORIZONTALEXTENT, 900, 0);
  return list;
}

// The controls, in their tab order.
void CreateControls() {
  Label(L"厂商：", 10, 8, 200);
  List(kRplmgrVendors, 10, 26, 300, 74, {36});
  Label(L"启动块：", 324, 8, 200);
  List(kRplmgrBootBlocks, 324, 26, 310, 74, {46, 76, 200});
  Label(L"配置：", 10, 108, 200);
  List(kRplmgrConfigurations, 10, 126, 300, 110, {46, 68, 112, 142});
  Label(L"配置文件：", 324, 108, 200);
  List(kRplmgrProfiles, 324, 126, 310, 110, {46, 92});
  Label(L"检查结果：", 10, 244, 200);
  Add(L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 10, 262, 624, 118,
      kRplmgrReport, WS_EX_CLIENTEDGE);
  Label(L"新配置文件名：", 10, 394, 104);
  Add(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 116, 390, 130, 22, kRplmgrProfileName, WS_EX_CLIENTEDGE);
  SendMessageW(Item(kRplmgrProfileName), EM_LIMITTEXT, 15, 0);
  Label(L"说明：", 254, 394, 40);
  Add(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 294, 390, 340, 22, kRplmgrProfileComment, WS_EX_CLIENTEDGE);
  Add(L"BUTTON", L"检查配置(&C)", WS_TABSTOP | BS_PUSHBUTTON, 10, 424, 100, 28, kRplmgrCheck);
  Add(L"BUTTON", L"新建配置文件(&N)", WS_TABSTOP | BS_DEFPUSHBUTTON, 118, 424, 120, 28, kRplmgrMakeProfile);
  Add(L"BUTTON", L"删除配置文件(&D)", WS_TABSTOP | BS_PUSHBUTTON, 246, 424, 120, 28, kRplmgrDeleteProfile);
  Add(L"BUTTON", L"刷新(&R)", WS_TABSTOP | BS_PUSHBUTTON, 374, 424, 80, 28, kRplmgrRefresh);
  Add(L"BUTTON", L"关闭", WS_TABSTOP | BS_PUSHBUTTON, 534, 424, 100, 28, kRplmgrClose);
  Add(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 10, 462, 624, 36, kRplmgrStatus);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case kRplmgrCheck: Check(); return 0;
        case IDOK:  // Enter with no button focused
        case kRplmgrMakeProfile: MakeProfile(); return 0;
        case kRplmgrDeleteProfile: DeleteProfile(); return 0;
        case kRplmgrRefresh: Refresh(); return 0;
        case kRplmgrClose: DestroyWindow(window); return 0;
      }
      break;
    case DM_GETDEFID:
      return MAKELONG(kRplmgrMakeProfile, DC_HASDEFID);
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassW(&wc)) return 1;
  g_font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
  RECT rect = {0, 0, 644, 506};
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRectEx(&rect, style, FALSE, WS_EX_CONTROLPARENT);
  g_window = CreateWindowExW(WS_EX_CONTROLPARENT, kClass, kCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                             rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
  if (!g_window) return 1;
  CreateControls();
  Refresh();
  ShowWindow(g_window, show);
  UpdateWindow(g_window);
  SetFocus(Item(kRplmgrConfigurations));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(g_window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (g_font) DeleteObject(g_font);
  return static_cast<int>(msg.wParam);
}
