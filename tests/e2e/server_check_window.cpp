// The check window's report seen from outside: its items read from its text,
// the report compared with the one /check wrote, and the copy button filling
// the clipboard. The window itself (place, controls, tab order) is in the
// tables of windows.cpp.
#include "tests/e2e/probe.h"  // first: it includes windows.h

#include <sstream>

#include "platform/encoding.h"

namespace e2e {
namespace {

// The item lines "MARK【STATE】WHAT：FOUND" as "MARK WHAT".
std::vector<std::string> ItemsOf(const std::string& text) {
  std::vector<std::string> items;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t open = line.find("【"), close = line.find("】"), colon = line.find("：", close);
    if (open == std::string::npos || open > 3 || close == std::string::npos || colon == std::string::npos) continue;
    items.push_back(line.substr(0, open) + line.substr(close + 3, colon - close - 3));
  }
  return items;
}

std::string Clipboard() {
  std::string text = "<nothing>";
  if (!OpenClipboard(nullptr)) return "<the clipboard cannot be opened>";
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (const wchar_t* wide = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
    text = platform::Narrow(wide);
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

}  // namespace

void CheckReportItems(HWND w, const std::string& items) {
  CheckMatch(Join(ItemsOf(Text(Control(w, "Memo1"))), "，"), items, "the check's items");
}

void CheckReportReady(HWND w) {
  const std::vector<std::string> items = ItemsOf(Text(Control(w, "Memo1")));
  std::vector<std::string> others;
  for (const std::string& item : items)
    if (item.rfind("√", 0) != 0) others.push_back(item);
  Check(!items.empty() && others.empty(), "every item of the check is ready; not ready: " + Join(others, "，"));
}

void CheckReportFile(HWND w, const std::string& file) {
  std::string bytes;
  Check(platform::Win32Host().ReadFile(file, &bytes, SIZE_MAX), "the report file " + file + " can be read");
  Check(Text(Control(w, "Memo1")) == platform::FromCodePage(bytes), "the window shows the report in " + file);
}

void CheckReportCopy(HWND w, const std::string& how) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  if (how == "click")
    PostMessageW(Control(w, "Button1"), BM_CLICK, 0, 0);
  else
    Keys(w, {"alt+c"});
  const std::string report = Text(Control(w, "Memo1"));
  Check(WaitFor([&] { return Clipboard() == report; }), "the clipboard holds the report after a " + how);
  CheckMatch(Text(Control(w, "Label1")), "报告已复制到剪贴板。", "the line below the report");
  Check(IsWindowVisible(w) != 0, "the check window stays open");
}

}  // namespace e2e
