// The rules for the names a card's registration takes: the vendor prefix and the driver's file name.
#pragma once

#include <string>

namespace rpl {

// True when `vendor` is exactly six hexadecimal digits.
bool IsVendorPrefix(const std::string& vendor);

// The driver's base name from its path: the file name without directory, the
// dot and the three characters after it removed ("C:\DRIVERS\NIC\MYNIC.DOS"
// gives "MYNIC").
std::string DriverBaseName(const std::string& path);

// True when `name` can be a DOS file base name: 1 to 8 characters, no blank,
// no dot and none of the characters DOS refuses in names.
bool IsDosBaseName(const std::string& name);

// True when a chosen driver's file name (without directory) is NAME.DOS, in
// any case, with a DOS base name that is not a device name (CON, NUL, AUX,
// PRN, COM1 to COM9, LPT1 to LPT9).
bool IsDriverFileName(const std::string& file);

}  // namespace rpl
