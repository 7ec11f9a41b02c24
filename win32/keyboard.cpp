#include "win32/keyboard.h"

namespace win32 {
namespace {

const wchar_t kOldProcProp[] = L"KorrinPushProc";

LRESULT CALLBACK PushButtonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (LooksDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE:
      // The dialog keys set BS_PUSHBUTTON or BS_DEFPUSHBUTTON as the focus
      // moves; the button stays owner-drawn and shows its state from the
      // focus (LooksDefault).
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT result = CallWindowProcW(old, hwnd, message, wparam, lparam);
      HWND window = TopWindow(hwnd);
      HWND def = GetDlgItem(window, DefaultId(window));
      if (def && def != hwnd) InvalidateRect(def, nullptr, FALSE);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case WM_NCDESTROY:
      RemovePropW(hwnd, kOldProcProp);
      break;
  }
  return CallWindowProcW(old, hwnd, message, wparam, lparam);
}

}  // namespace

HWND TopWindow(HWND control) {
  while (control && (GetWindowLongW(control, GWL_STYLE) & WS_CHILD)) control = GetParent(control);
  return control;
}

void MakePushButton(HWND button) {
  SetPropW(button, kOldProcProp,
           reinterpret_cast<HANDLE>(SetWindowLongPtrW(button, GWLP_WNDPROC,
                                                      reinterpret_cast<LONG_PTR>(PushButtonProc))));
}

bool IsPushButton(HWND control) {
  return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

int DefaultId(HWND window) {
  LRESULT answer = SendMessageW(window, DM_GETDEFID, 0, 0);
  return HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : 0;
}

bool LooksDefault(HWND button) {
  HWND focus = GetFocus();
  if (focus == button) return true;
  HWND window = TopWindow(button);
  if (GetDlgCtrlID(button) != DefaultId(window)) return false;
  return !(focus && IsChild(window, focus) && IsPushButton(focus));
}

}  // namespace win32
