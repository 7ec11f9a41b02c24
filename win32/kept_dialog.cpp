#include "win32/kept_dialog.h"

#include "win32/owner_draw.h"

namespace win32 {

HWND KeptDialog::Create(const wchar_t* class_name, const look::WindowLayout& layout, HWND owner,
                        const std::vector<platform::Control*>& controls) {
  RegisterHandlerClass(class_name);
  owner_ = owner;
  window_.layout = &layout;
  window_.default_id = IDOK;
  FrameSpec frame;
  frame.class_name = class_name;
  frame.layout = &layout;
  frame.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  frame.ex_style = WS_EX_DLGMODALFRAME;
  frame.owner = owner;
  frame.handler = this;
  HWND hwnd = CreateFrame(frame);
  if (!hwnd) return nullptr;
  window_.hwnd = hwnd;
  BuildControls(&window_);
  peers_.Bind(window_, controls);
  return hwnd;
}

platform::ModalResult KeptDialog::Show() {
  return window_.hwnd ? RunModal(owner_, window_.hwnd) : platform::kMrCancel;
}

LRESULT KeptDialog::Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wparam), code = HIWORD(wparam);
      if (id == IDOK && code == BN_CLICKED)
        EndModal(owner_, hwnd, platform::kMrOk, /*keep=*/true);
      else if (id == IDCANCEL)
        EndModal(owner_, hwnd, platform::kMrCancel, /*keep=*/true);  // Esc
      else
        peers_.Notify(id, code);
      return 0;
    }
    case WM_DRAWITEM:
      if (DrawControl(window_, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_CLOSE:
      EndModal(owner_, hwnd, platform::kMrCancel, /*keep=*/true);
      return 0;
    case WM_DESTROY:
      peers_.Unbind();
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

bool KeptDialog::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
  const look::ControlLayout* c = window_.LayoutOf(GetFocus());
  return c && c->kind == look::Kind::kDirectoryList && peers_.Notify(c->id, EventOf(c->kind));
}

}  // namespace win32
