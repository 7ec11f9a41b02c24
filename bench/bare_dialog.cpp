// The program the cold start is measured against: a bare modal dialog with a
// line of text and an OK button, made from a template in memory. Built twice:
// bare_dialog, and bare_dialog_cc, which first loads the common controls as
// the program does (ICC_LOADED), so that their share of a start shows apart
// from the program's own windows.
#include <windows.h>
#ifdef ICC_LOADED
#include <commctrl.h>
#endif

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(dialog, LOWORD(wparam));
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

// A dialog template: the header, then each item, every one on a DWORD.
struct Template {
  alignas(4) WORD words[256] = {};
  int n = 0;
  void Word(WORD w) { words[n++] = w; }
  void Text(const wchar_t* text) {
    do Word(*text); while (*text++);
  }
  void Align() {
    if (n % 2) Word(0);
  }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* text) {
    Align();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(x), Word(y), Word(cx), Word(cy), Word(id);
    Word(0xFFFF), Word(atom);  // a predefined class by its atom
    Text(text);
    Word(0);  // no creation data
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef ICC_LOADED
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LOADED};
  InitCommonControlsEx(&controls);
#endif
  Template t;
  t.Dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
  t.Dword(0);
  t.Word(2);  // items
  t.Word(0), t.Word(0), t.Word(180), t.Word(60);
  t.Word(0), t.Word(0);  // no menu, the dialog class
  t.Text(L"Bare dialog");
  t.Word(8);
  t.Text(L"MS Shell Dlg");
  t.Item(SS_LEFT, 10, 10, 160, 10, 100, 0x0082, L"A bare dialog.");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 65, 36, 50, 14, IDOK, 0x0080, L"OK");
  DialogBoxIndirectParamW(instance, reinterpret_cast<DLGTEMPLATE*>(t.words), nullptr, DialogProc, 0);
  return 0;
}
