// The check window's report seen from outside: its items read from its text,
// the report compared with the one /check wrote, and the copy button filling
// the clipboard. The window itself (place, controls, tab order) is in the
// tables of windows.cpp.
#include "tests/e2e/probe.h"  // first: it includes windows.h

#include <fstream>
#include <sstream>

#include "platform/encoding.h"

namespace e2e {
namespace {

using platform::Narrow;

HWND Report(HWND* window) {
  *window = WaitVisible("TCheckForm");
  return *window ? Control(*window, "Memo1") : nullptr;
}

// The whole text of a control of another process, however long.
std::string WholeText(HWND control) {
  std::wstring text(static_cast<size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  LRESULT n = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  return Narrow(text.substr(0, static_cast<size_t>(n)));
}

// The item lines "MARK【STATE】WHAT：FOUND" as "MARK WHAT", joined by "，".
std::string Items(const std::string& text) {
  std::string items;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t open = line.find("【"), close = line.find("】"), colon = line.find("：", close);
    if (open == std::string::npos || open > 3 || close == std::string::npos || colon == std::string::npos) continue;
    items += (items.empty() ? "" : "，") + line.substr(0, open) + line.substr(close + 3, colon - close - 3);
  }
  return items;
}

std::string Clipboard() {
  std::string text = "<nothing>";
  if (!OpenClipboard(nullptr)) return "<the clipboard cannot be opened>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Narrow(wide);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

int CheckReportItems(const std::string& items) {
  HWND w = nullptr;
  if (HWND memo = Report(&w)) CheckMatch(Items(WholeText(memo)), items, "the check's items");
  return Failures();
}

int CheckReportFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  Check(in.good() || in.eof(), "the report file " + file + " can be read");
  HWND w = nullptr;
  if (HWND memo = Report(&w))
    Check(WholeText(memo) == platform::FromCodePage(bytes.str()), "the window shows the report in " + file);
  return Failures();
}

int CheckReportCopy(const std::string& how) {
  HWND w = nullptr, memo = Report(&w);
  if (!memo) return Failures();
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  if (how == "click")
    PostMessageW(Control(w, "Button1"), BM_CLICK, 0, 0);
  else
    Keys(w, {"alt+c"});
  const std::string report = WholeText(memo);
  Check(WaitFor([&] { return Clipboard() == report; }, 5000), "the clipboard holds the report after a " + how);
  CheckMatch(Text(Control(w, "Label1")), "报告已复制到剪贴板。", "the line below the report");
  Check(IsWindowVisible(w) != 0, "the check window stays open");
  return Failures();
}

}  // namespace e2e
