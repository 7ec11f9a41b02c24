#include "win32/dialog.h"

#include <string>

#include "win32/owner_draw.h"
#include "win32/window_class.h"

namespace win32 {
namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// A class whose windows the dialog manager runs: DefDlgProc with its extra
// bytes. Registering twice is harmless.
void RegisterDialogClass(const wchar_t* class_name) {
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(Instance(), class_name, &wc)) return;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefDlgProcW;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = Instance();
  wc.hIcon = ProgramIcon(32);
  wc.hIconSm = ProgramIcon(16);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = class_name;
  RegisterClassExW(&wc);
}

// The template of a frame without items: the header, no menu, the class and
// the caption. No DS_SETFONT: the controls take the layout's fonts.
std::vector<WORD> FrameTemplate(const DialogFrame& frame, const std::wstring& caption) {
  DLGTEMPLATE header;
  ZeroMemory(&header, sizeof header);
  header.style = frame.style;
  header.dwExtendedStyle = frame.ex_style;
  std::vector<WORD> words(sizeof header / sizeof(WORD));
  CopyMemory(words.data(), &header, sizeof header);
  words.push_back(0);  // no menu
  for (const wchar_t* s : {frame.class_name, caption.c_str()}) {
    for (; *s; ++s) words.push_back(static_cast<WORD>(*s));
    words.push_back(0);
  }
  return words;
}

}  // namespace

Dialog::Dialog(const look::WindowLayout& layout, const DialogFrame& frame, std::vector<platform::Control*> controls)
    : frame_(frame), controls_(std::move(controls)) {
  window_.layout = &layout;
}

HWND Dialog::Create(HWND owner) {
  RegisterDialogClass(frame_.class_name);
  const std::vector<WORD> words = FrameTemplate(frame_, platform::Widen(window_.layout->caption));
  return CreateDialogIndirectParamW(Instance(), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner, Procedure,
                                    reinterpret_cast<LPARAM>(this));
}

platform::ModalResult Dialog::ShowModal(HWND owner) {
  RegisterDialogClass(frame_.class_name);
  const std::vector<WORD> words = FrameTemplate(frame_, platform::Widen(window_.layout->caption));
  INT_PTR result = DialogBoxIndirectParamW(Instance(), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner,
                                           Procedure, reinterpret_cast<LPARAM>(this));
  return result == platform::kMrOk ? platform::kMrOk : platform::kMrCancel;
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    reinterpret_cast<Dialog*>(lparam)->window_.hwnd = hwnd;
  }
  Dialog* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return dialog ? dialog->Handle(message, wparam, lparam) : FALSE;
}

// At the layout's place, as large as the layout says; the controls from its
// rows, bound to the form's value objects; the focus on the first tab stop.
void Dialog::Start() {
  HWND hwnd = window_.hwnd;
  const look::WindowLayout& layout = *window_.layout;
  if (layout.menu) SetMenu(hwnd, BuildMenu(*layout.menu));  // destroyed with the window
  int width = frame_.outer_width, height = frame_.outer_height;
  if (width == 0) {
    RECT rc = {0, 0, layout.client_width, layout.client_height};
    AdjustWindowRectEx(&rc, GetWindowLongW(hwnd, GWL_STYLE), layout.menu != nullptr,
                       GetWindowLongW(hwnd, GWL_EXSTYLE));
    width = rc.right - rc.left;
    height = rc.bottom - rc.top;
  }
  SetWindowPos(hwnd, nullptr, layout.left, layout.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  BuildControls(&window_);
  peers_.Bind(window_, controls_);
  if (default_id_) SendMessageW(hwnd, DM_SETDEFID, default_id_, 0);
  Started();
  if (HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE)) SetFocus(first);
}

INT_PTR Dialog::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      Start();
      return FALSE;  // the focus is set
    case WM_COMMAND: {
      const int id = LOWORD(wparam), code = HIWORD(wparam);
      if (Command(id, code)) return TRUE;
      const look::ControlLayout* focused = window_.LayoutOf(GetFocus());
      if (id == IDOK && focused && focused->kind == look::Kind::kDirectoryList) {
        peers_.Notify(focused->id, EventOf(focused->kind));  // Enter opens the chosen directory
      } else if (id == IDOK && look::FindControl(*window_.layout, IDOK)) {
        End(platform::kMrOk);
      } else if (id == IDCANCEL) {
        if (cancels_) End(platform::kMrCancel);
      } else {
        peers_.Notify(id, code);
      }
      return TRUE;
    }
    case WM_DRAWITEM:
      if (DrawControl(window_, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) {
        SetWindowLongPtrW(window_.hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      break;
    case WM_DESTROY:
      peers_.Unbind();  // the form keeps what the window showed
      break;
  }
  return Message(message, wparam, lparam);
}

}  // namespace win32
