#include "win32/window_builder.h"

#include <algorithm>

#include "look/pictures.h"
#include "win32/illustration.h"

namespace win32 {

using platform::Widen;

namespace {

const wchar_t kContainerClass[] = L"KorrinContainer";
// Window properties of the program's own controls.
const wchar_t kGroupProp[] = L"KorrinGroup";  // a container drawn as a group box
const wchar_t kFontProp[] = L"KorrinFont";    // a container's font
const wchar_t kOldProcProp[] = L"KorrinOldProc";
const wchar_t kHotProp[] = L"KorrinHot";      // the mouse is over a flat button

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

LRESULT CALLBACK HandlerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowHandler* handler;
  if (message == WM_NCCREATE) {
    handler = static_cast<WindowHandler*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
  } else {
    handler = reinterpret_cast<WindowHandler*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return handler ? handler->Handle(hwnd, message, wparam, lparam)
                 : DefWindowProcW(hwnd, message, wparam, lparam);
}

// The top-level window a control lies in.
HWND Root(HWND hwnd) {
  while (hwnd && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = GetParent(hwnd);
  return hwnd;
}

// Notifications of controls inside a container go to the window, whose
// handlers act on them wherever the control lies.
bool IsNotification(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return true;
  }
  return false;
}

void PaintGroup(HWND hwnd, HDC dc) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  HFONT font = static_cast<HFONT>(GetPropW(hwnd, kFontProp));
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  wchar_t text[256] = {0};
  GetWindowTextW(hwnd, text, 256);
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  RECT frame = rc;
  frame.top = size.cy / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (text[0]) {
    RECT back = {6, 0, 6 + size.cx + 4, size.cy};
    FillRect(dc, &back, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TextOutW(dc, 8, 0, text, lstrlenW(text));
  }
  SelectObject(dc, old);
}

// Panels, pages and group boxes: plain windows that hold controls.
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (IsNotification(message)) return SendMessageW(Root(hwnd), message, wparam, lparam);
  switch (message) {
    case WM_SETFONT:
      SetPropW(hwnd, kFontProp, reinterpret_cast<HANDLE>(wparam));
      if (LOWORD(lparam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(hwnd, kFontProp));
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, message, wparam, lparam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (GetPropW(hwnd, kGroupProp)) PaintGroup(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      RemovePropW(hwnd, kGroupProp);
      RemovePropW(hwnd, kFontProp);
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

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

void RegisterContainerClass() {
  static bool done = false;
  if (done) return;
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ContainerProc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kContainerClass;
  RegisterClassExW(&wc);
  done = true;
}

std::vector<std::wstring> SplitItems(const char* text) {
  std::vector<std::wstring> items;
  std::string all = text, item;
  if (all.empty()) return items;
  size_t start = 0;
  for (;;) {
    size_t end = all.find('\n', start);
    items.push_back(Widen(all.substr(start, end == std::string::npos ? std::string::npos : end - start)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return items;
}

SIZE TextSize(HWND hwnd, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return size;
}

void CreateOne(BuiltWindow* window, const look::ControlLayout& c, HWND parent,
               const look::Font* parent_font);

// The children of a parent, in the order of their tab stops: controls that
// are no tab stop first, in the order of the layout.
void CreateChildren(BuiltWindow* window, const std::string& parent_name, HWND parent,
                    const look::Font* font) {
  std::vector<const look::ControlLayout*> children;
  for (const look::ControlLayout& c : *window->layout->controls)
    if (parent_name == c.parent) children.push_back(&c);
  std::stable_sort(children.begin(), children.end(),
                   [](const look::ControlLayout* a, const look::ControlLayout* b) {
                     return std::max(a->tab_order, -1) < std::max(b->tab_order, -1);
                   });
  for (const look::ControlLayout* c : children) CreateOne(window, *c, parent, font);
}

void CreateOne(BuiltWindow* window, const look::ControlLayout& c, HWND parent,
               const look::Font* parent_font) {
  const look::Font* font = c.font ? c.font : parent_font;
  HFONT hfont = window->Font(font);
  std::wstring text = Widen(c.text);
  DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0) | (c.enabled ? 0 : WS_DISABLED) |
                (c.tab_order >= 0 ? WS_TABSTOP : 0);
  DWORD ex_style = 0;
  const wchar_t* cls = L"STATIC";
  const wchar_t* window_text = text.c_str();
  int x = c.left, y = c.top, width = c.width, height = c.height;
  switch (c.kind) {
    case look::Kind::kCoolBar:
      cls = REBARCLASSNAMEW;
      style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN |
               RBS_BANDBORDERS;
      window_text = L"";
      break;
    case look::Kind::kPanel:
    case look::Kind::kPage:
    case look::Kind::kGroupBox:
      cls = kContainerClass;
      style |= WS_CLIPCHILDREN;
      ex_style |= WS_EX_CONTROLPARENT;
      break;
    case look::Kind::kSpeedButton:
      cls = L"BUTTON";
      style = (style & ~WS_TABSTOP) | BS_OWNERDRAW;
      break;
    case look::Kind::kLabel:
      style |= SS_LEFT;
      break;
    case look::Kind::kEdit:
      cls = L"EDIT";
      style |= ES_AUTOHSCROLL;
      ex_style |= WS_EX_CLIENTEDGE;
      break;
    case look::Kind::kGlyphButton:
      cls = L"BUTTON";
      style |= BS_OWNERDRAW;
      break;
    case look::Kind::kCheckBox:
      cls = L"BUTTON";
      style |= BS_AUTOCHECKBOX;
      break;
    case look::Kind::kComboBox:
      cls = L"COMBOBOX";
      style |= CBS_DROPDOWNLIST | WS_VSCROLL;
      height += 160;  // the dropped-down list
      window_text = L"";
      break;
    case look::Kind::kProgressBar:
      cls = PROGRESS_CLASSW;
      style &= ~WS_TABSTOP;  // a bar takes no input
      window_text = L"";
      break;
    case look::Kind::kTabBook:
      cls = WC_TABCONTROLW;
      style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP;
      ex_style |= WS_EX_CONTROLPARENT;
      window_text = L"";
      break;
    case look::Kind::kImage:
      style |= SS_OWNERDRAW;
      break;
    case look::Kind::kStatusBar:
      cls = STATUSCLASSNAMEW;
      style |= CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
      window_text = L"";
      break;
    case look::Kind::kMemo:
      cls = L"EDIT";
      style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
      ex_style |= WS_EX_CLIENTEDGE;
      break;
  }

  if (c.kind == look::Kind::kPage) {
    // A page is one tab of its notebook and fills the notebook's display area.
    TCITEMW item;
    ZeroMemory(&item, sizeof item);
    item.mask = TCIF_TEXT;
    item.pszText = &text[0];
    int index = static_cast<int>(SendMessageW(parent, TCM_GETITEMCOUNT, 0, 0));
    SendMessageW(parent, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    RECT area;
    GetClientRect(parent, &area);
    SendMessageW(parent, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    x = area.left;
    y = area.top;
    width = area.right - area.left;
    height = area.bottom - area.top;
  }

  HWND hwnd = CreateWindowExW(ex_style, cls, window_text, style, x, y, width, height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                              Instance(), nullptr);
  if (!hwnd) return;
  window->controls[c.name] = hwnd;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(hfont), FALSE);

  switch (c.kind) {
    case look::Kind::kGroupBox:
      SetPropW(hwnd, kGroupProp, reinterpret_cast<HANDLE>(1));
      break;
    case look::Kind::kLabel:
      if (width == 0 || height == 0) {  // sized to its text
        SIZE size = TextSize(hwnd, hfont, text);
        SetWindowPos(hwnd, nullptr, 0, 0, width ? width : size.cx, height ? height : size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    case look::Kind::kComboBox: {
      for (const std::wstring& item : SplitItems(c.text))
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      // Make the closed list as high as the layout says. The selection
      // field's height is set through its item height; some systems report
      // that height with the field's border included, so correct until the
      // list has the height wanted.
      int item_height = static_cast<int>(SendMessageW(hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
      for (int attempt = 0; attempt < 3; ++attempt) {
        RECT rc;
        GetWindowRect(hwnd, &rc);
        int off = c.height - (rc.bottom - rc.top);
        if (off == 0 || item_height + off <= 0) break;
        item_height += off;
        SendMessageW(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item_height);
      }
      break;
    }
    case look::Kind::kProgressBar:
      SendMessageW(hwnd, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
      break;
    case look::Kind::kStatusBar: {
      int right_edge = -1;  // one panel, to the right end of the bar
      SendMessageW(hwnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right_edge));
      SendMessageW(hwnd, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
      break;
    }
    case look::Kind::kSpeedButton:
      SetPropW(hwnd, kOldProcProp,
               reinterpret_cast<HANDLE>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                                                          reinterpret_cast<LONG_PTR>(FlatButtonProc))));
      break;
    default:
      break;
  }

  CreateChildren(window, c.name, hwnd, font);

  if (c.kind == look::Kind::kCoolBar) {
    // One band across the bar, with its gripper; the panels on it keep the
    // places the layout gives them (the bar moves none of its children).
    REBARBANDINFOW band;
    ZeroMemory(&band, sizeof band);
    band.cbSize = REBARBANDINFOW_V3_SIZE;
    band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    band.cyMinChild = c.height - 4;
    band.cx = c.width;
    SendMessageW(hwnd, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    for (const look::ControlLayout& child : *window->layout->controls)
      if (c.name == std::string(child.parent))
        if (HWND w = window->Control(child.name))
          SetWindowPos(w, HWND_TOP, child.left, child.top, child.width, child.height, SWP_NOACTIVATE);
  }
}

void AddTooltips(BuiltWindow* window) {
  for (const look::ControlLayout& c : *window->layout->controls) {
    HWND control = window->Control(c.name);
    if (!*c.hint || !control) continue;
    if (!window->tooltip) {
      window->tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window->hwnd,
                                        nullptr, Instance(), nullptr);
      if (!window->tooltip) return;
    }
    std::wstring hint = Widen(c.hint);
    TTTOOLINFOW tool;
    ZeroMemory(&tool, sizeof tool);
    // The size every version of the common controls understands.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window->hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = &hint[0];
    SendMessageW(window->tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
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

// A push button with a picture left of its caption, both centred; flat
// buttons show their edge only under the mouse or while pressed.
void DrawPictureButton(const look::ControlLayout& c, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  bool flat = c.kind == look::Kind::kSpeedButton;
  if (flat) {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (pressed)
      DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
    else if (GetPropW(item.hwndItem, kHotProp))
      DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT);
  } else {
    DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  }

  wchar_t caption[256] = {0};
  GetWindowTextW(item.hwndItem, caption, 256);
  int caption_length = lstrlenW(caption);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  HGDIOBJ old_font = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
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

}  // namespace

void RegisterHandlerClass(const wchar_t* class_name, HICON icon) {
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(Instance(), class_name, &wc)) return;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HandlerProc;
  wc.hInstance = Instance();
  wc.hIcon = icon ? icon : MakeIcon(32);
  wc.hIconSm = MakeIcon(16);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = class_name;
  RegisterClassExW(&wc);
}

BuiltWindow::~BuiltWindow() {
  for (auto& f : fonts_) DeleteObject(f.second);
}

HWND BuiltWindow::Control(const std::string& name) const {
  auto it = controls.find(name);
  return it == controls.end() ? nullptr : it->second;
}

const look::ControlLayout* BuiltWindow::Find(const std::string& name) const {
  if (!layout) return nullptr;
  for (const look::ControlLayout& c : *layout->controls)
    if (name == c.name) return &c;
  return nullptr;
}

const look::ControlLayout* BuiltWindow::LayoutOf(HWND control) const {
  for (const auto& entry : controls)
    if (entry.second == control) return Find(entry.first);
  return nullptr;
}

HFONT BuiltWindow::Font(const look::Font* font) {
  if (!font) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto it = fonts_.find(font);
  if (it != fonts_.end()) return it->second;
  // A negative height asks for the character height, as the layout gives it.
  HFONT made = CreateFontW(-font->height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           font->gb2312 ? GB2312_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           Widen(font->face).c_str());
  fonts_[font] = made;
  return made;
}

HWND CreateFrame(const wchar_t* class_name, const look::WindowLayout& layout, DWORD style,
                 DWORD ex_style, HWND owner, HMENU menu, bool client_size, int outer_width,
                 int outer_height, WindowHandler* handler) {
  int width = outer_width, height = outer_height;
  if (client_size) {
    RECT rc = {0, 0, layout.client_width, layout.client_height};
    AdjustWindowRectEx(&rc, style, menu != nullptr, ex_style);
    width = rc.right - rc.left;
    height = rc.bottom - rc.top;
  }
  return CreateWindowExW(ex_style, class_name, Widen(layout.caption).c_str(), style, layout.left,
                         layout.top, width, height, owner, menu, Instance(), handler);
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

void BuildControls(BuiltWindow* window) {
  RegisterContainerClass();
  CreateChildren(window, "", window->hwnd, window->layout->font);
  AddTooltips(window);
}

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
    default:
      return false;
  }
}

HICON MakeIcon(int size) {
  const look::Picture* picture = look::FindPicture(look::kIconPicture);
  if (!picture) return nullptr;
  int scale = size / look::kPictureSize;
  if (scale < 1) scale = 1;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ReleaseDC(nullptr, screen);
  // Colour: the pixels on black; mask: white where the background shows.
  HGDIOBJ old = SelectObject(dc, colour);
  RECT all = {0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (int row = 0; row < look::kPictureSize; ++row)
    for (int col = 0; col < look::kPictureSize; ++col) {
      look::Rgb rgb;
      if (!look::PictureColour(picture->rows[row][col], &rgb)) continue;
      HBRUSH brush = CreateSolidBrush(RGB(rgb.r, rgb.g, rgb.b));
      RECT px = {col * scale, row * scale, (col + 1) * scale, (row + 1) * scale};
      FillRect(dc, &px, brush);
      DeleteObject(brush);
    }
  SelectObject(dc, mask);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (int row = 0; row < look::kPictureSize; ++row)
    for (int col = 0; col < look::kPictureSize; ++col) {
      look::Rgb rgb;
      if (!look::PictureColour(picture->rows[row][col], &rgb)) continue;
      RECT px = {col * scale, row * scale, (col + 1) * scale, (row + 1) * scale};
      FillRect(dc, &px, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  SelectObject(dc, old);
  DeleteDC(dc);
  ICONINFO info = {TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

namespace {
// How each modal window still running ended, set by EndModal.
std::map<HWND, platform::ModalResult> modal_results;
}  // namespace

platform::ModalResult RunModal(HWND owner, HWND window) {
  modal_results[window] = platform::kMrCancel;
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg;
  while (IsWindow(window)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) EnableWindow(owner, TRUE);
  platform::ModalResult result = modal_results[window];
  modal_results.erase(window);
  return result;
}

void EndModal(HWND owner, HWND window, platform::ModalResult result) {
  modal_results[window] = result;
  // The owner takes input again before the window goes, so that it becomes
  // the active window.
  if (owner) EnableWindow(owner, TRUE);
  DestroyWindow(window);
}

namespace {

class TextWindow : public WindowHandler {
 public:
  TextWindow(const TextWindowSpec& look, HWND owner) : look_(look), owner_(owner) {
    window_.layout = look.layout;
  }
  BuiltWindow& window() { return window_; }

  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_SETFOCUS:
        if (HWND memo = window_.Control("Memo1")) SetFocus(memo);
        return 0;
      case WM_SIZE:
        if (look_.follow_size) {
          if (HWND memo = window_.Control("Memo1"))
            MoveWindow(memo, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        }
        return 0;
      case WM_CTLCOLORSTATIC:
        // A read-only text area keeps the look of a text area.
        if (reinterpret_cast<HWND>(lparam) == window_.Control("Memo1")) {
          HDC dc = reinterpret_cast<HDC>(wparam);
          SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
          SetBkColor(dc, GetSysColor(COLOR_WINDOW));
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
      case WM_CLOSE:
        EndModal(owner_, hwnd);
        return 0;
      case WM_NCDESTROY:
        delete this;
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

 private:
  TextWindowSpec look_;
  HWND owner_;
  BuiltWindow window_;
};

}  // namespace

HWND CreateTextWindow(const TextWindowSpec& look, HWND owner) {
  RegisterHandlerClass(look.class_name, nullptr);
  TextWindow* handler = new TextWindow(look, owner);
  HWND hwnd = CreateFrame(look.class_name, *look.layout, look.style, 0, owner, nullptr,
                          look.client_size, look.outer_width, look.outer_height, handler);
  if (!hwnd) {
    delete handler;
    return nullptr;
  }
  handler->window().hwnd = hwnd;
  BuildControls(&handler->window());
  if (HWND memo = handler->window().Control("Memo1")) {
    if (look.read_only) SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
    SetWindowTextW(memo, Widen(look.text).c_str());
    SendMessageW(memo, EM_SETSEL, 0, 0);
    SendMessageW(memo, EM_SCROLLCARET, 0, 0);
  }
  if (look.follow_size) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (HWND memo = handler->window().Control("Memo1"))
      MoveWindow(memo, 0, 0, rc.right, rc.bottom, FALSE);
  }
  return hwnd;
}

}  // namespace win32
