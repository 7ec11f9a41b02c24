// The machine's converter on Windows: the system's own tables.
#include <windows.h>

#include "platform/encoding.h"

namespace platform {
namespace {

const UINT kCodePage = 936;

bool ToWide(UINT cp, const std::string& in, std::wstring* out) {
  out->clear();
  if (in.empty()) return true;
  // Windows NT 4.0 takes no flags with CP_UTF8; the UTF-8 given here is
  // already checked by the caller.
  DWORD flags = cp == CP_UTF8 ? 0 : MB_ERR_INVALID_CHARS;
  int n = MultiByteToWideChar(cp, flags, in.data(), static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  out->resize(n);
  return MultiByteToWideChar(cp, flags, in.data(), static_cast<int>(in.size()), &(*out)[0], n) == n;
}

// A character the code page lacks is written as the default character
// ("?", which `lossy` reports) or, by the system's best-fit tables, as a
// near one that it does not report ("à" for "À"). Windows NT 4.0 takes no
// WC_NO_BEST_FIT_CHARS (any flag it does not know fails every call), so the
// portable side (encoding.cpp) takes no conversion that does not convert
// back to the same text.
bool FromWide(UINT cp, const std::wstring& in, std::string* out) {
  out->clear();
  if (in.empty()) return true;
  BOOL lossy = FALSE;
  BOOL* lossy_arg = cp == CP_UTF8 ? nullptr : &lossy;
  int n = WideCharToMultiByte(cp, 0, in.data(), static_cast<int>(in.size()), nullptr, 0, nullptr, lossy_arg);
  if (n <= 0) return false;
  out->resize(n);
  WideCharToMultiByte(cp, 0, in.data(), static_cast<int>(in.size()), &(*out)[0], n, nullptr, lossy_arg);
  return !lossy;
}

bool CodePageToUtf8(const std::string& in, std::string* out) {
  std::wstring wide;
  return ToWide(kCodePage, in, &wide) && FromWide(CP_UTF8, wide, out);
}

bool Utf8ToCodePage(const std::string& in, std::string* out) {
  std::wstring wide;
  return ToWide(CP_UTF8, in, &wide) && FromWide(kCodePage, wide, out);
}

}  // namespace

Converter MachineConverter() { return {&CodePageToUtf8, &Utf8ToCodePage}; }

}  // namespace platform
