// The fuzz targets' machine, which the unit tests' SimMachine (sim_session.h)
// builds on: a simulated host in a fresh temporary directory, removed at its
// end, its files written and read, and a picture of every file below its
// root, to see that a run changed nothing it must not; and the demo server's
// Remoteboot tree laid out on a simulated host, shared with the Remoteboot
// stand-ins' unit tests (rpl_session.h).
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/sim/sim_host.h"

namespace standinfuzz {

namespace fs = std::filesystem;

// The demo server's tree (demo/rpl) in WINDIR\rpl, with the empty
// directories demo/rpl.dirs lists.
inline void LayOutRemotebootTree(platform::SimHost& host) {
  fs::create_directories(host.NativePath("C:\\WINNT\\rpl"));
  fs::copy(DEMO_RPL_TREE, host.NativePath("C:\\WINNT\\rpl"), fs::copy_options::recursive);
  std::ifstream list(DEMO_RPL_DIRS);
  std::string line;
  while (std::getline(list, line))
    if (!line.empty() && line[0] != '#') fs::create_directories(host.NativePath("C:\\WINNT\\rpl\\" + line));
}

inline std::string FreshRoot() {
  std::string tmpl = (fs::temp_directory_path() / "simhost-XXXXXX").string();
  if (!mkdtemp(&tmpl[0])) std::abort();
  return tmpl;
}

class Machine {
 public:
  Machine() : root(FreshRoot()), host(root) {}
  ~Machine() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // Writes a file of the simulated machine, making its directories.
  void Put(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(host.NativePath(path)).parent_path());
    std::ofstream(host.NativePath(path), std::ios::binary) << bytes;
  }
  // The bytes of a file of the simulated machine, or "<absent>".
  std::string Get(const std::string& path) const { return Bytes(host.NativePath(path)); }

  // Every file and folder below the root (the simulated host's attributes
  // included): relative path, and the bytes of a file.
  std::map<std::string, std::string> Picture() const {
    std::map<std::string, std::string> picture;
    for (const auto& e : fs::recursive_directory_iterator(root))
      picture[fs::relative(e.path(), root).string()] = e.is_directory() ? "<folder>" : Bytes(e.path());
    return picture;
  }

  std::string root;
  platform::SimHost host;

 private:
  // The bytes of a file of this computer, or "<absent>".
  static std::string Bytes(const fs::path& native) {
    if (!fs::is_regular_file(native)) return "<absent>";
    std::ifstream in(native, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

}  // namespace standinfuzz
