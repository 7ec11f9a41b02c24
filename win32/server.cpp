// The main window (Form1): a modeless dialog made from its layout. Every click
// of a button, menu item or toolbar button, every change of a list or check
// box, goes to the handler the form put on its value object; Ctrl+Tab and
// Ctrl+Shift+Tab turn the notebook's pages.
#include "app/server.h"

#include "win32/forms.h"

namespace win32 {

namespace {
// The commands of the window's keys: not identifiers of its controls or menu.
const int kNextPage = 301, kPreviousPage = 302;
}  // namespace

Form1Window::Form1Window(app::TForm1& form, platform::Win32Ui& ui)
    : Dialog(app::TForm1::Layout(), {L"TForm1", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0}, form.Controls()),
      form_(form),
      ui_(ui) {
  // Esc and Enter on a field close nothing: the window has no OK or Cancel.
  cancels_ = false;
}

Form1Window::~Form1Window() {
  if (keys_) DestroyAcceleratorTable(keys_);
  if (silver_) DeleteObject(silver_);
}

HWND Form1Window::Create() {
  HWND hwnd = Dialog::Create(nullptr);
  if (!hwnd) return nullptr;
  ACCEL keys[] = {{FVIRTKEY | FCONTROL, VK_TAB, kNextPage}, {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, kPreviousPage}};
  keys_ = CreateAcceleratorTableW(keys, 2);
  ui_.SetMainWindow(hwnd);
  form_.FormCreate();
  return hwnd;
}

bool Form1Window::Translate(MSG* msg) {
  HWND hwnd = window_.hwnd;
  return (keys_ && TranslateAcceleratorW(hwnd, keys_, msg)) || IsDialogMessageW(hwnd, msg);
}

void Form1Window::Started() {
  silver_ = CreateSolidBrush(RGB(192, 192, 192));
  for (const look::ControlLayout& c : *window_.layout->controls)
    if (c.kind == look::Kind::kPage) pages_.push_back(window_.Control(c.name));
}

void Form1Window::ShowPage(int index) {
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i]) ShowWindow(pages_[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
}

// The focus goes to the page's first tab stop, or to the notebook.
void Form1Window::TurnPage(int step) {
  HWND notebook = window_.OfKind(look::Kind::kTabBook);
  int count = static_cast<int>(pages_.size());
  if (!notebook || count == 0) return;
  int index = (static_cast<int>(SendMessageW(notebook, TCM_GETCURSEL, 0, 0)) + count + step) % count;
  SendMessageW(notebook, TCM_SETCURSEL, index, 0);
  ShowPage(index);
  HWND first = pages_[index] ? GetNextDlgTabItem(pages_[index], nullptr, FALSE) : nullptr;
  SendMessageW(window_.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first && IsChild(pages_[index], first) ? first : notebook), TRUE);
}

bool Form1Window::Command(int id, int) {
  if (id != kNextPage && id != kPreviousPage) return false;
  TurnPage(id == kNextPage ? 1 : -1);
  return true;
}

INT_PTR Form1Window::Message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom == window_.OfKind(look::Kind::kTabBook) && header->code == TCN_SELCHANGE)
        ShowPage(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (reinterpret_cast<HWND>(lparam) == peers_.HwndOf(form_.CheckBox2)) {
        // This check box sits on a silver ground of its own.
        SetBkColor(reinterpret_cast<HDC>(wparam), RGB(192, 192, 192));
        return reinterpret_cast<INT_PTR>(silver_);
      }
      return FALSE;
    case WM_CLOSE:  // the close box, Alt+F4 and the form's CloseMainWindow
      DestroyWindow(window_.hwnd);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace win32
