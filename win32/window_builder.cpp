#include "win32/window_builder.h"

#include <algorithm>

#include "win32/owner_draw.h"
#include "win32/owner_draw.h"

namespace win32 {

using platform::Widen;

namespace {

const wchar_t kContainerClass[] = L"KorrinContainer";
// Window properties of a container.
const wchar_t kGroupProp[] = L"KorrinGroup";  // drawn as a group box
const wchar_t kFontProp[] = L"KorrinFont";    // its font

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

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
  if (IsNotification(message)) return SendMessageW(TopWindow(hwnd), message, wparam, lparam);
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
  std::string all = text;
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

// What the layout of a control makes: the setups run after the control is
// made, with its layout row and font.
struct Made {
  HWND hwnd;
  const look::ControlLayout& c;
  HFONT font;
  BuiltWindow* window;
};

void MarkGroup(const Made& m) { SetPropW(m.hwnd, kGroupProp, reinterpret_cast<HANDLE>(1)); }

// A label of width or height 0 takes the size of its text.
void SizeToText(const Made& m) {
  if (m.c.width != 0 && m.c.height != 0) return;
  std::wstring text = Widen(m.c.text);
  HDC dc = GetDC(m.hwnd);
  HGDIOBJ old = SelectObject(dc, m.font);
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(m.hwnd, dc);
  SetWindowPos(m.hwnd, nullptr, 0, 0, m.c.width ? m.c.width : size.cx, m.c.height ? m.c.height : size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A drop-down list: its items from the layout's text, and its closed field
// as high as the layout says. The field's height is set through its item
// height; some systems report that height with the field's border included,
// so correct until the field has the height wanted.
void FillCombo(const Made& m) {
  for (const std::wstring& item : SplitItems(m.c.text))
    SendMessageW(m.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (GetWindowLongW(m.hwnd, GWL_STYLE) & CBS_OWNERDRAWFIXED)
    SendMessageW(m.hwnd, CB_SETITEMHEIGHT, 0, kPictureItemHeight);
  int item_height = static_cast<int>(SendMessageW(m.hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT rc;
    GetWindowRect(m.hwnd, &rc);
    int off = m.c.height - (rc.bottom - rc.top);
    if (off == 0 || item_height + off <= 0) break;
    item_height += off;
    SendMessageW(m.hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item_height);
  }
}

void FillList(const Made& m) {
  if (GetWindowLongW(m.hwnd, GWL_STYLE) & LBS_OWNERDRAWFIXED)
    SendMessageW(m.hwnd, LB_SETITEMHEIGHT, 0, kPictureItemHeight);
  for (const std::wstring& item : SplitItems(m.c.text))
    SendMessageW(m.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void SetBarRange(const Made& m) { SendMessageW(m.hwnd, PBM_SETRANGE, 0, MAKELPARAM(0, 100)); }

void SetStatusText(const Made& m) {
  int right_edge = -1;  // one panel, to the right end of the bar
  SendMessageW(m.hwnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right_edge));
  SendMessageW(m.hwnd, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Widen(m.c.text).c_str()));
}

void Flat(const Made& m) { MakeFlatButton(m.hwnd); }
void Push(const Made& m) { MakePushButton(m.hwnd); }

// One band across the bar, with its gripper; the panels on it keep the
// places the layout gives them (the bar moves none of its children).
void AddBand(const Made& m) {
  REBARBANDINFOW band;
  ZeroMemory(&band, sizeof band);
  band.cbSize = REBARBANDINFOW_V3_SIZE;
  band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE;
  band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
  band.cyMinChild = m.c.height - 4;
  band.cx = m.c.width;
  SendMessageW(m.hwnd, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
  for (const look::ControlLayout& child : *m.window->layout->controls)
    if (std::string(m.c.name) == child.parent)
      if (HWND w = m.window->Control(child.name))
        SetWindowPos(w, HWND_TOP, child.left, child.top, child.width, child.height, SWP_NOACTIVATE);
}

enum class TabStop { kAsLaidOut, kNever, kAlways };

// Each kind of control: its window class and style, the notification that
// is its event (a click, a change of choice; kNoEvent for none), and what is
// done to it once made (setup) and once its children are made (finish).
struct KindLook {
  look::Kind kind;
  const wchar_t* window_class;
  int event;
  DWORD style;     // besides WS_CHILD and the layout's visible, enabled and tab-stop states
  DWORD ex_style;
  TabStop tab_stop;
  bool shows_text; // the layout's text is the window text
  int drop_height; // the opened list below a drop-down, in pixels
  void (*setup)(const Made&);
  void (*finish)(const Made&);
};

constexpr DWORD kListStyle = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
constexpr DWORD kPicturedList = LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
constexpr DWORD kPicturedCombo = CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;

using K = look::Kind;
const KindLook kKinds[] = {
    {K::kCoolBar, REBARCLASSNAMEW, kNoEvent,
     WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | RBS_BANDBORDERS,
     0, TabStop::kAsLaidOut, false, 0, nullptr, AddBand},
    {K::kPanel, kContainerClass, kNoEvent, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, TabStop::kAsLaidOut, true, 0, nullptr, nullptr},
    {K::kPage, kContainerClass, kNoEvent, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, TabStop::kAsLaidOut, true, 0, nullptr, nullptr},
    {K::kGroupBox, kContainerClass, kNoEvent, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, TabStop::kAsLaidOut, true, 0, MarkGroup, nullptr},
    {K::kSpeedButton, L"BUTTON", BN_CLICKED, BS_OWNERDRAW, 0, TabStop::kNever, true, 0, Flat, nullptr},
    {K::kLabel, L"STATIC", kNoEvent, SS_LEFT, 0, TabStop::kAsLaidOut, true, 0, SizeToText, nullptr},
    {K::kEdit, L"EDIT", kNoEvent, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, TabStop::kAsLaidOut, true, 0, nullptr, nullptr},
    {K::kGlyphButton, L"BUTTON", BN_CLICKED, BS_OWNERDRAW, 0, TabStop::kAsLaidOut, true, 0, Push, nullptr},
    {K::kCheckBox, L"BUTTON", BN_CLICKED, BS_AUTOCHECKBOX, 0, TabStop::kAsLaidOut, true, 0, nullptr, nullptr},
    {K::kButton, L"BUTTON", BN_CLICKED, BS_PUSHBUTTON, 0, TabStop::kAsLaidOut, true, 0, nullptr, nullptr},
    {K::kComboBox, L"COMBOBOX", CBN_SELCHANGE, CBS_DROPDOWNLIST | WS_VSCROLL, 0, TabStop::kAsLaidOut, false, 160, FillCombo, nullptr},
    {K::kDriveCombo, L"COMBOBOX", CBN_SELCHANGE, CBS_DROPDOWNLIST | kPicturedCombo | WS_VSCROLL, 0, TabStop::kAsLaidOut, false, 160,
     FillCombo, nullptr},
    {K::kEditCombo, L"COMBOBOX", kNoEvent, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, TabStop::kAsLaidOut, false, 160,
     FillCombo, nullptr},
    {K::kListBox, L"LISTBOX", LBN_SELCHANGE, kListStyle, WS_EX_CLIENTEDGE, TabStop::kAsLaidOut, false, 0, FillList, nullptr},
    {K::kDirectoryList, L"LISTBOX", LBN_DBLCLK, kListStyle | kPicturedList, WS_EX_CLIENTEDGE, TabStop::kAsLaidOut, false, 0,
     FillList, nullptr},
    {K::kProgressBar, PROGRESS_CLASSW, kNoEvent, 0, 0, TabStop::kNever, false, 0, SetBarRange, nullptr},
    {K::kTabBook, WC_TABCONTROLW, kNoEvent, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, TabStop::kAlways, false, 0,
     nullptr, nullptr},
    {K::kImage, L"STATIC", kNoEvent, SS_OWNERDRAW, 0, TabStop::kAsLaidOut, true, 0, nullptr, nullptr},
    {K::kStatusBar, STATUSCLASSNAMEW, kNoEvent, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, TabStop::kAsLaidOut, false,
     0, SetStatusText, nullptr},
    {K::kMemo, L"EDIT", kNoEvent, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, WS_EX_CLIENTEDGE,
     TabStop::kAsLaidOut, true, 0, nullptr, nullptr},
};

const KindLook* LookOf(look::Kind kind) {
  for (const KindLook& k : kKinds)
    if (k.kind == kind) return &k;
  return nullptr;
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

// A page is one tab of its notebook and fills the notebook's display area.
RECT AddPage(HWND notebook, std::wstring caption) {
  TCITEMW item;
  ZeroMemory(&item, sizeof item);
  item.mask = TCIF_TEXT;
  item.pszText = &caption[0];
  int index = static_cast<int>(SendMessageW(notebook, TCM_GETITEMCOUNT, 0, 0));
  SendMessageW(notebook, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
  RECT area;
  GetClientRect(notebook, &area);
  SendMessageW(notebook, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

void CreateOne(BuiltWindow* window, const look::ControlLayout& c, HWND parent,
               const look::Font* parent_font) {
  const KindLook* k = LookOf(c.kind);
  if (!k) return;
  const look::Font* font = c.font ? c.font : parent_font;
  HFONT hfont = window->Font(font);
  bool tab_stop = k->tab_stop == TabStop::kAlways || (k->tab_stop == TabStop::kAsLaidOut && c.tab_order >= 0);
  DWORD style = WS_CHILD | k->style | (c.visible ? WS_VISIBLE : 0) | (c.enabled ? 0 : WS_DISABLED) |
                (tab_stop ? WS_TABSTOP : 0);
  std::wstring text = Widen(c.text);
  RECT place = {c.left, c.top, c.left + c.width, c.top + c.height + k->drop_height};
  if (c.kind == look::Kind::kPage) place = AddPage(parent, text);

  HWND hwnd = CreateWindowExW(k->ex_style, k->window_class, k->shows_text ? text.c_str() : L"", style,
                              place.left, place.top, place.right - place.left, place.bottom - place.top,
                              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), Instance(),
                              nullptr);
  if (!hwnd) return;
  window->controls[c.name] = hwnd;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(hfont), FALSE);
  Made made = {hwnd, c, hfont, window};
  if (k->setup) k->setup(made);
  CreateChildren(window, c.name, hwnd, font);
  if (k->finish) k->finish(made);
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
      // The hints are Chinese: the system's tooltip font, for the Chinese
      // character set (on a Chinese system the same font).
      HFONT system = reinterpret_cast<HFONT>(SendMessageW(window->tooltip, WM_GETFONT, 0, 0));
      window->tooltip_font = ChineseFont(system);
      if (window->tooltip_font)
        SendMessageW(window->tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(window->tooltip_font), FALSE);
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

}  // namespace

int EventOf(look::Kind kind) {
  const KindLook* k = LookOf(kind);
  return k ? k->event : kNoEvent;
}

HWND BuiltWindow::OfKind(look::Kind kind) const {
  for (const look::ControlLayout& c : *layout->controls)
    if (c.kind == kind) return Control(c.name);
  return nullptr;
}

BuiltWindow::~BuiltWindow() {
  for (auto& f : fonts_) DeleteObject(f.second);
  if (tooltip_font) DeleteObject(tooltip_font);
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

HFONT ChineseFont(HFONT base) {
  LOGFONTW lf;
  if (!base || GetObjectW(base, sizeof lf, &lf) != sizeof lf) return nullptr;
  lf.lfCharSet = GB2312_CHARSET;
  return CreateFontIndirectW(&lf);
}

HFONT BuiltWindow::Font(const look::Font* font) {
  auto it = fonts_.find(font);
  if (it != fonts_.end()) return it->second;
  // Every font asks for the Chinese character set (see look::Font). A
  // negative height asks for the character height, as the layout gives it.
  HFONT made = font ? CreateFontW(-font->height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, Widen(font->face).c_str())
                    : ChineseFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  if (!made) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_[font] = made;
  return made;
}

void BuildControls(BuiltWindow* window) {
  RegisterContainerClass();
  CreateChildren(window, "", window->hwnd, window->layout->font);
  AddTooltips(window);
}

}  // namespace win32
