// Names derived from the main window's fields that several subsystems use.
#pragma once

#include <string>
#include <vector>

namespace base {

// The shared directory's share: the field's text from its 4th character on,
// at most 20 characters, counted as bytes of code page 936 as the shares of
// earlier installations were ("D:\PVDROOT" gives "PVDROOT"). A Chinese
// character that would not fit whole is left out rather than cut in half.
std::string ShareName(const std::string& shared_directory);

// Names for a message or a report line: the first `shown` joined by "、",
// then how many there are in all.
std::string NameList(const std::vector<std::string>& names, size_t shown = 8);

}  // namespace base
