#include "win32/dialog.h"

#include <map>
#include <string>

#include "look/pictures.h"
#include "win32/owner_draw.h"

namespace win32 {

using platform::Widen;

namespace {

// The icon drawn from its picture, each pixel a square of size / 16. Both
// bitmaps are filled in memory and handed over in one call each: a GDI call
// per pixel took a noticeable part of the program's start.
HICON MakeIcon(int size) {
  const look::Picture* picture = look::FindPicture(look::kIconPicture);
  if (!picture || size <= 0) return nullptr;
  int scale = size / look::kPictureSize;
  if (scale < 1) scale = 1;
  // Colour: the pixels on black, 32 bits each, top row first. Mask: one bit
  // a pixel, set where the background shows; each row on a 16-bit boundary.
  std::vector<DWORD> colour_bits(static_cast<size_t>(size) * size, 0);
  const int mask_row = (size + 15) / 16 * 2;
  std::vector<BYTE> mask_bits(static_cast<size_t>(mask_row) * size, 0xFF);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int row = y / scale, col = x / scale;
      look::Rgb rgb;
      if (row >= look::kPictureSize || col >= look::kPictureSize ||
          !look::PictureColour(picture->rows[row][col], &rgb))
        continue;
      colour_bits[static_cast<size_t>(y) * size + x] = (rgb.r << 16) | (rgb.g << 8) | rgb.b;
      mask_bits[static_cast<size_t>(y) * mask_row + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
    }
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
  BITMAPINFO info;
  ZeroMemory(&info, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (colour) SetDIBits(screen, colour, 0, size, colour_bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, mask_bits.data());
  HICON icon = nullptr;
  if (colour && mask) {
    ICONINFO icon_info = {TRUE, 0, 0, mask, colour};
    icon = CreateIconIndirect(&icon_info);
  }
  if (colour) DeleteObject(colour);
  if (mask) DeleteObject(mask);
  return icon;
}

// The icons made so far, by size; destroyed when the program ends.
class Icons {
 public:
  ~Icons() {
    for (auto& icon : icons_)
      if (icon.second) DestroyIcon(icon.second);
  }
  HICON Get(int size) {
    auto it = icons_.find(size);
    if (it != icons_.end()) return it->second;
    return icons_[size] = MakeIcon(size);
  }

 private:
  std::map<int, HICON> icons_;
};

}  // namespace

HICON ProgramIcon(int size) {
  static Icons icons;
  return icons.Get(size);
}

HMENU BuildMenu(const std::vector<look::MenuLayout>& menu) {
  HMENU bar = CreateMenu();
  for (const look::MenuLayout& top : menu) {
    if (*top.parent) continue;
    HMENU popup = CreatePopupMenu();
    for (const look::MenuLayout& item : menu) {
      if (std::string(item.parent) != top.name) continue;
      if (std::string(item.caption) == "-")
        AppendMenuW(popup, MF_SEPARATOR, item.id, nullptr);
      else
        AppendMenuW(popup, MF_STRING, item.id, Widen(item.caption).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), Widen(top.caption).c_str());
  }
  return bar;
}
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
