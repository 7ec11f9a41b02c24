#include "win32/owner_draw.h"

#include "look/pictures.h"
#include "win32/illustration.h"

namespace win32 {
namespace {

const wchar_t kOldProcProp[] = L"KorrinFlatProc";
const wchar_t kPushProcProp[] = L"KorrinPushProc";
const wchar_t kHotProp[] = L"KorrinHot";  // the mouse is over a flat button

// Flat picture buttons raise their edge while the mouse is over them.
LRESULT CALLBACK FlatButtonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
  switch (message) {
    case WM_MOUSEMOVE:
      if (!GetPropW(hwnd, kHotProp)) {
        SetPropW(hwnd, kHotProp, reinterpret_cast<HANDLE>(1));
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
        _TrackMouseEvent(&track);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      RemovePropW(hwnd, kHotProp);
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_NCDESTROY:
      RemovePropW(hwnd, kHotProp);
      RemovePropW(hwnd, kOldProcProp);
      break;
  }
  return CallWindowProcW(old, hwnd, message, wparam, lparam);
}

LRESULT CALLBACK PushButtonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kPushProcProp));
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
      RemovePropW(hwnd, kPushProcProp);
      break;
  }
  return CallWindowProcW(old, hwnd, message, wparam, lparam);
}

// Dark pixels of a picture make the relief of its disabled look.
bool IsDark(const look::Rgb& rgb) { return rgb.r * 30 + rgb.g * 59 + rgb.b * 11 < 160 * 100; }

void DrawPicture(HDC dc, int x, int y, const look::Picture& picture, bool enabled) {
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  for (int pass = enabled ? 1 : 0; pass < 2; ++pass) {
    for (int row = 0; row < look::kPictureSize; ++row) {
      for (int col = 0; col < look::kPictureSize; ++col) {
        look::Rgb rgb;
        if (!look::PictureColour(picture.rows[row][col], &rgb)) continue;
        if (enabled) {
          SetPixelV(dc, x + col, y + row, RGB(rgb.r, rgb.g, rgb.b));
        } else if (IsDark(rgb)) {
          if (pass == 0)
            SetPixelV(dc, x + col + 1, y + row + 1, light);
          else
            SetPixelV(dc, x + col, y + row, shadow);
        }
      }
    }
  }
}

HGDIOBJ SelectControlFont(HDC dc, HWND control) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  return SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
}

// The button's frame: flat buttons show their edge only under the mouse or
// while pressed; a push button that Enter would press has a black frame
// around its edge, and shows pressed as a flat shadow.
void DrawButtonFrame(const DRAWITEMSTRUCT& item, bool flat, RECT rc) {
  HDC dc = item.hDC;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  if (flat) {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (pressed)
      DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
    else if (GetPropW(item.hwndItem, kHotProp))
      DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT);
    return;
  }
  if (LooksDefault(item.hwndItem)) {
    FrameRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&rc, -1, -1);
    if (pressed) {
      FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
      FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
      return;
    }
  }
  DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
}

// A push button with a picture left of its caption, both centred.
void DrawPictureButton(const look::ControlLayout& c, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  bool flat = c.kind == look::Kind::kSpeedButton;
  DrawButtonFrame(item, flat, rc);

  wchar_t caption[256] = {0};
  GetWindowTextW(item.hwndItem, caption, 256);
  int caption_length = lstrlenW(caption);
  HGDIOBJ old_font = SelectControlFont(dc, item.hwndItem);
  SIZE text = {0, 0};
  if (caption_length) GetTextExtentPoint32W(dc, caption, caption_length, &text);

  const look::Picture* picture = look::FindPicture(c.picture);
  const int spacing = 4;
  int content = (picture ? look::kPictureSize : 0) + (picture && caption_length ? spacing : 0) + text.cx;
  int x = rc.left + (rc.right - rc.left - content) / 2 + (pressed ? 1 : 0);
  int mid = (rc.top + rc.bottom) / 2 + (pressed ? 1 : 0);
  if (picture) {
    DrawPicture(dc, x, mid - look::kPictureSize / 2, *picture, !disabled);
    x += look::kPictureSize + (caption_length ? spacing : 0);
  }
  if (caption_length) {
    SetBkMode(dc, TRANSPARENT);
    int y = mid - text.cy / 2;
    if (disabled) {
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      TextOutW(dc, x + 1, y + 1, caption, caption_length);
      SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    TextOutW(dc, x, y, caption, caption_length);
  }
  SelectObject(dc, old_font);

  if ((item.itemState & ODS_FOCUS) && !flat) {
    RECT focus = rc;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

// Item data of a pictured list item: the indent in the high word, the
// picture's place among the pictures plus one (0: none) in the low word.
int IndentOf(ULONG_PTR data) { return static_cast<int>((data >> 16) & 0xFF); }

const look::Picture* PictureOf(ULONG_PTR data) {
  size_t index = data & 0xFFFF;
  const std::vector<look::Picture>& all = look::Pictures();
  return index >= 1 && index <= all.size() ? &all[index - 1] : nullptr;
}

std::wstring ItemText(const DRAWITEMSTRUCT& item) {
  bool combo = item.CtlType == ODT_COMBOBOX;
  int n = static_cast<int>(SendMessageW(item.hwndItem, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, item.itemID, 0));
  if (n <= 0) return std::wstring();
  std::wstring text(n + 1, L'\0');
  n = static_cast<int>(SendMessageW(item.hwndItem, combo ? CB_GETLBTEXT : LB_GETTEXT, item.itemID,
                                    reinterpret_cast<LPARAM>(&text[0])));
  text.resize(n > 0 ? n : 0);
  return text;
}

// An item of a pictured list: indented by its steps (not in the closed
// field of a drop-down), its picture, then its text; a chosen item has its
// text in the highlight colours.
void DrawListItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
  if (item.itemID == static_cast<UINT>(-1)) {  // an empty list
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
    return;
  }
  bool field = (item.itemState & ODS_COMBOBOXEDIT) != 0;
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  int x = rc.left + 2 + (field ? 0 : IndentOf(item.itemData) * kIndentStep);
  int mid = (rc.top + rc.bottom) / 2;
  if (const look::Picture* picture = PictureOf(item.itemData))
    DrawPicture(dc, x, mid - look::kPictureSize / 2, *picture, !disabled);
  x += look::kPictureSize + 4;

  std::wstring text = ItemText(item);
  HGDIOBJ old_font = SelectControlFont(dc, item.hwndItem);
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  RECT back = {x - 2, rc.top, x + size.cx + 2, rc.bottom};
  if (back.right > rc.right) back.right = rc.right;
  if (selected) FillRect(dc, &back, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  TextOutW(dc, x, mid - size.cy / 2, text.c_str(), static_cast<int>(text.size()));
  SelectObject(dc, old_font);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &back);
}

}  // namespace

bool DrawControl(const BuiltWindow& window, const DRAWITEMSTRUCT& item) {
  const look::ControlLayout* c = window.LayoutOf(item.hwndItem);
  if (!c) return false;
  switch (c->kind) {
    case look::Kind::kGlyphButton:
    case look::Kind::kSpeedButton:
      DrawPictureButton(*c, item);
      return true;
    case look::Kind::kImage:
      DrawIllustration(item.hDC, item.rcItem, c->picture);
      return true;
    case look::Kind::kDirectoryList:
    case look::Kind::kDriveCombo:
      DrawListItem(item);
      return true;
    default:
      return false;
  }
}

void MakeFlatButton(HWND button) {
  SetPropW(button, kOldProcProp,
           reinterpret_cast<HANDLE>(SetWindowLongPtrW(button, GWLP_WNDPROC,
                                                      reinterpret_cast<LONG_PTR>(FlatButtonProc))));
}

LPARAM ItemLookData(const platform::ItemLook& look) {
  const std::vector<look::Picture>& all = look::Pictures();
  size_t index = 0;
  for (size_t i = 0; i < all.size(); ++i)
    if (look.picture == all[i].name) index = i + 1;
  int indent = look.indent < 0 ? 0 : look.indent > 0xFF ? 0xFF : look.indent;
  return static_cast<LPARAM>((static_cast<ULONG_PTR>(indent) << 16) | index);
}

HWND TopWindow(HWND control) {
  while (control && (GetWindowLongW(control, GWL_STYLE) & WS_CHILD)) control = GetParent(control);
  return control;
}

void MakePushButton(HWND button) {
  SetPropW(button, kPushProcProp,
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
