// make_system_dat FILE: writes the template boot image's system.dat, a small
// Windows 98 registry file whose network card key names the card's driver,
// RTSND, in its NetDriver value. The installation puts the registered card's
// driver name there; imagetools/template/SYSTEM.DAT is this program's output.
#include <cstdio>
#include <string>
#include <vector>

#include "rpl/registry_hive.h"

namespace {

const std::vector<rpl::HiveKey>& TemplateKeys() {
  static const std::vector<rpl::HiveKey> kKeys = {
      {"System\\CurrentControlSet\\Services\\Class\\Net\\0000",
       {rpl::TextValue("DriverDesc", "RTL 8139"), rpl::TextValue("NetDriver", "RTSND")}},
  };
  return kKeys;
}

// The whole file under a new name, then in place of the old one.
bool WriteWhole(const std::string& path, const std::string& bytes) {
  const std::string part = path + ".new";
  std::FILE* f = std::fopen(part.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written || std::rename(part.c_str(), path.c_str()) != 0) {
    std::remove(part.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_system_dat FILE\n");
    return 2;
  }
  std::string hive, why;
  if (!rpl::BuildHive(TemplateKeys(), rpl::HiveLayout{}, &hive, &why)) {
    std::fprintf(stderr, "make_system_dat: %s\n", why.c_str());
    return 1;
  }
  if (!WriteWhole(argv[1], hive)) {
    std::fprintf(stderr, "make_system_dat: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
