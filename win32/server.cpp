// The main window (Form1): created from its layout; every click of a button,
// menu item or toolbar button goes to the form's handler of that name.
#include "app/server.h"

#include "win32/forms.h"

namespace win32 {

Form1Window::~Form1Window() {
  if (silver_) DeleteObject(silver_);
}

HWND Form1Window::Create() {
  const look::WindowLayout& layout = app::TForm1::Layout();
  RegisterHandlerClass(L"TForm1");
  window_.layout = &layout;
  FrameSpec frame;
  frame.class_name = L"TForm1";
  frame.layout = &layout;
  // Fixed single border with the system menu and close box only.
  frame.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  frame.menu = layout.menu ? BuildMenu(*layout.menu) : nullptr;
  frame.handler = this;
  HWND hwnd = CreateFrame(frame);
  if (!hwnd) return nullptr;
  window_.hwnd = hwnd;
  silver_ = CreateSolidBrush(RGB(192, 192, 192));
  BuildControls(&window_);
  for (const look::ControlLayout& c : *layout.controls) {
    if (c.kind == look::Kind::kPage) pages_.push_back(window_.Control(c.name));
    platform::Control* control = form_.Find(c.name);
    HWND control_hwnd = window_.Control(c.name);
    if (!control || !control_hwnd) continue;
    peers_.Bind(control, control_hwnd, c.kind);
  }
  ui_.SetMainWindow(hwnd);
  form_.FormCreate();
  return hwnd;
}

void Form1Window::ShowPage(int index) {
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i]) ShowWindow(pages_[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
}

bool Form1Window::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !(GetKeyState(VK_CONTROL) & 0x8000)) return false;
  HWND notebook = window_.Control("tabbook1");
  int count = static_cast<int>(pages_.size());
  if (!notebook || count == 0) return false;
  int step = (GetKeyState(VK_SHIFT) & 0x8000) ? count - 1 : 1;
  int index = (static_cast<int>(SendMessageW(notebook, TCM_GETCURSEL, 0, 0)) + step) % count;
  SendMessageW(notebook, TCM_SETCURSEL, index, 0);
  ShowPage(index);
  // The focus goes to the page's first tab stop, or to the notebook.
  HWND first = pages_[index] ? GetNextDlgTabItem(pages_[index], nullptr, FALSE) : nullptr;
  SetFocus(first && IsChild(pages_[index], first) ? first : notebook);
  return true;
}

void Form1Window::Command(int id, int code) {
  const look::WindowLayout& layout = *window_.layout;
  const look::ControlLayout* c = look::FindControl(layout, id);
  const look::MenuLayout* item = c ? nullptr : look::FindMenuItem(layout, id);
  if (!c && !item) return;
  const char* name = c ? c->name : item->name;
  if (c) {
    platform::Control* control = form_.Find(name);
    if (auto* box = dynamic_cast<platform::CheckBox*>(control)) {
      // The user has toggled the box: its change handler runs.
      if (code == BN_CLICKED) box->Changed();
      return;
    }
    if (auto* list = dynamic_cast<platform::ListBox*>(control)) {
      // The user has chosen an item (CBN_SELCHANGE and LBN_SELCHANGE are one code).
      if (code == LBN_SELCHANGE) list->Changed();
      return;
    }
  }
  if (code == BN_CLICKED) form_.Click(name);
}

LRESULT Form1Window::Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom == window_.Control("tabbook1") && header->code == TCN_SELCHANGE)
        ShowPage(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      return 0;
    }
    case WM_DRAWITEM:
      if (DrawControl(window_, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (reinterpret_cast<HWND>(lparam) == window_.Control("CheckBox2")) {
        // This check box sits on a silver ground of its own.
        SetBkColor(reinterpret_cast<HDC>(wparam), RGB(192, 192, 192));
        return reinterpret_cast<LRESULT>(silver_);
      }
      break;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      peers_.Unbind();
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace win32
