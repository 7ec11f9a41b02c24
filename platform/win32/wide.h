// UTF-8 <-> UTF-16 through the system (CP_UTF8 with no flags: Windows NT 4.0
// accepts no others with it), for every Win32 part of the program and its tools.
#pragma once

#include <string>

namespace platform {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
// A string of `length` wide characters, or up to its terminator with -1.
std::string Narrow(const wchar_t* wide, int length = -1);

}  // namespace platform
