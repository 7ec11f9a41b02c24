// The fuzz targets' machine: a simulated host in a fresh temporary directory,
// kept for the whole run and removed at its end, and a picture of every file
// below its root, to see that a run changed nothing it must not; and the
// demo server's Remoteboot tree and a card's files laid out on a simulated
// host, shared with the Remoteboot stand-ins' unit tests (rpl_session.h).
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_host.h"
#include "platform/textfile.h"

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

// What the configuration tool makes before it runs rplcmd for a card whose
// boot-block directory is `driver`: the DOS 6.22 files, the driver in the
// boot blocks' NDIS directory, and the card's boot-block files made from the
// NE2000 templates. False when a template cannot be read or a file written.
inline bool MakeCardFiles(platform::SimHost& host, const std::string& driver) {
  const std::string bblock = "C:\\WINNT\\rpl\\bblock\\";
  for (const char* f : {"io.sys", "msdos.sys", "command.com", "himem.sys"})
    if (!host.WriteFile(std::string("C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\") + f,
                        "DOS 6.22 " + std::string(f) + "\r\n"))
      return false;
  fs::create_directories(host.NativePath(bblock + "netbeui\\" + driver));
  if (!host.WriteFile(bblock + "ndis\\" + driver + ".dos", "driver\r\n")) return false;
  for (auto [name, token] : {std::pair<const char*, const char*>{"dosbb.cnf", "NE2000"},
                             {"w95bb.cnf", "NE2000"}, {"protocol.ini", "ms2000"}}) {
    std::vector<std::string> lines;
    if (!platform::ReadTextLines(host, bblock + "netbeui\\ne2000\\" + name, &lines)) return false;
    for (std::string& l : lines)
      if (l.find(token) != std::string::npos) l.replace(l.find(token), 6, driver);
    if (!platform::WriteTextLines(host, bblock + "netbeui\\" + driver + "\\" + name, lines)) return false;
  }
  return true;
}

inline std::string FreshRoot() {
  std::string tmpl = (fs::temp_directory_path() / "standinfuzz-XXXXXX").string();
  if (!mkdtemp(&tmpl[0])) std::abort();
  return tmpl;
}

class Machine {
 public:
  Machine() : root_(FreshRoot()), host(root_) {}
  ~Machine() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  void Put(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(host.NativePath(path)).parent_path());
    std::ofstream(host.NativePath(path), std::ios::binary) << bytes;
  }

  // Every file and folder below the root (the simulated host's attributes
  // included): relative path, and the bytes of a file.
  std::map<std::string, std::string> Picture() const {
    std::map<std::string, std::string> picture;
    for (const auto& e : fs::recursive_directory_iterator(root_)) {
      std::string bytes = "<folder>";
      if (!e.is_directory()) {
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        bytes = s.str();
      }
      picture[fs::relative(e.path(), root_).string()] = bytes;
    }
    return picture;
  }

 private:
  std::string root_;

 public:
  platform::SimHost host;
};

}  // namespace standinfuzz
