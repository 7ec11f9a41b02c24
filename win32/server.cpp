// The main window (Form1): created from its layout; every click of a button,
// menu item or toolbar button, every change of a list or check box, goes to
// the handler the form put on its value object.
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
  for (const look::ControlLayout& c : *layout.controls)
    if (c.kind == look::Kind::kPage) pages_.push_back(window_.Control(c.name));
  peers_.Bind(window_, form_.Controls());
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
  HWND notebook = window_.OfKind(look::Kind::kTabBook);
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

LRESULT Form1Window::Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      peers_.Notify(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom == window_.OfKind(look::Kind::kTabBook) && header->code == TCN_SELCHANGE)
        ShowPage(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      return 0;
    }
    case WM_DRAWITEM:
      if (DrawControl(window_, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (reinterpret_cast<HWND>(lparam) == peers_.HwndOf(form_.CheckBox2)) {
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
