// The rules for the names a card's registration takes: the vendor prefix and the driver's file name.
#include "rpl/card_names.h"

#include <cctype>

#include "platform/text.h"

namespace rpl {

bool IsVendorPrefix(const std::string& vendor) {
  if (vendor.size() != 6) return false;
  for (char c : vendor)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string DriverBaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('\\') + 1);
  size_t dot = name.find('.');
  if (dot != std::string::npos) name.erase(dot, 4);
  return name;
}

bool IsDosBaseName(const std::string& name) {
  if (name.empty() || name.size() > 8) return false;
  for (char c : name) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x21 || b >= 0x80 || std::string(".\"*+,/:;<=>?[\\]|").find(c) != std::string::npos)
      return false;
  }
  return true;
}

bool IsDriverFileName(const std::string& file) {
  const size_t dot = file.find('.');
  if (dot == std::string::npos || file.find('.', dot + 1) != std::string::npos) return false;
  const std::string base = file.substr(0, dot);
  if (!platform::SameName(file.substr(dot), ".dos") || !IsDosBaseName(base)) return false;
  // A device name opens the device, not a file, whatever its extension.
  for (const char* device : {"CON", "NUL", "AUX", "PRN"})
    if (platform::SameName(base, device)) return false;
  // The server's file system also takes COM1 to COM9 and LPT1 to LPT9 for
  // ports, the workstation's DOS the first four and three of them.
  const bool port = base.size() == 4 && (platform::SameName(base.substr(0, 3), "COM") ||
                                         platform::SameName(base.substr(0, 3), "LPT"));
  return !(port && base[3] >= '1' && base[3] <= '9');
}

}  // namespace rpl
