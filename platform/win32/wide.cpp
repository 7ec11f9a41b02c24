#include "platform/win32/wide.h"

#include <windows.h>

namespace platform {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
  return wide;
}

std::string Narrow(const wchar_t* wide, int length) {
  if (length == 0 || !wide) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, length, &utf8[0], n, nullptr, nullptr);
  if (length < 0 && !utf8.empty() && utf8.back() == '\0') utf8.pop_back();
  return utf8;
}

std::string Narrow(const std::wstring& wide) { return Narrow(wide.data(), static_cast<int>(wide.size())); }

}  // namespace platform
