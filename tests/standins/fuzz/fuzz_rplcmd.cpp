// Fuzz target: rplcmd on any script, on the demo server's Remoteboot tree made
// ready for the RTL8139 card. The input's first byte chooses a fault (none, a
// read-only database, a disk that fills after 16 * the second byte bytes);
// from the third byte on comes the script, code page 936 as the command
// interpreter hands it over.
// Whatever the script and the fault, the run is all or nothing:
//   - exit 0: the database reads back (unchanged when it was read-only), holding every old record in its old
//     order with the added ones after them (a script may delete only what
//     it added: each of the demo's records is named by another, and
//     profiles are not deleted here);
//   - any other exit: the database is byte for byte as it was;
// and no other file of the machine is made, changed or removed.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/textfile.h"
#include "standins/rpl/rplcmd.h"
#include "standins/rpl/rpldb.h"
#include "tests/standins/fuzz/fuzz_machine.h"

namespace {

using namespace standins::rpl;

class FuzzContext : public standins::Context {
 public:
  explicit FuzzContext(platform::Host& host) : Context(host) {}
  int RunAndWait(const std::string&, const std::string&, std::string*) override { return -1; }
};

struct Ready {
  standinfuzz::Machine m;
  std::string db;
  std::map<std::string, std::string> picture;

  Ready() {
    standinfuzz::LayOutRemotebootTree(m.host);
    // What the configuration tool makes before it runs rplcmd for a card.
    for (const char* f : {"io.sys", "msdos.sys", "command.com", "himem.sys"})
      m.Put(std::string("C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\") + f, "x\r\n");
    for (const char* f : {"ndis\\rtsnd.dos", "netbeui\\rtsnd\\dosbb.cnf", "netbeui\\rtsnd\\w95bb.cnf",
                          "netbeui\\rtsnd\\protocol.ini"})
      m.Put(std::string("C:\\WINNT\\rpl\\bblock\\") + f, "x\r\n");
    if (!m.host.ReadFile(DatabasePath(m.host), &db, SIZE_MAX)) std::abort();
    picture = m.Picture();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static Ready ready;
  platform::SimHost& host = ready.m.host;
  const std::string path = DatabasePath(host);
  const int fault = size > 0 ? data[0] % 3 : 0;
  const size_t space = size > 1 ? 16u * data[1] : 0;
  const size_t head = std::min<size_t>(size, 2);
  const std::string script(reinterpret_cast<const char*>(data) + head, size - head);
  if (fault == 1 && !host.SetFileAttributes(path, platform::kAttrReadOnly)) std::abort();
  if (fault == 2) host.LimitDiskSpace(space);

  FuzzContext context(host);
  context.input = platform::FromCodePage(script);
  const int code = standins::RplcmdMain(context, {});
  host.LimitDiskSpace(SIZE_MAX);
  if (fault == 1 && !host.SetFileAttributes(path, 0)) std::abort();

  // A database gone reads "<absent>": no database as it was, none that loads.
  const std::string now = ready.m.Get(path);
  if (code == 0) {
    Database before, after;
    // A read-only database is refused only by a run that would write it: a
    // run that only lists or quits goes through and leaves it as it was.
    if ((fault == 1 && now != ready.db) || !Parse(platform::SplitLines(ready.db), &before, nullptr) ||
        Load(host, &after) != LoadResult::kLoaded ||
        context.output.find("The command completed successfully.\n") == std::string::npos)
      std::abort();
    // Each kind's old records come first, as they were.
    auto by_kind = [](const Database& db) {
      std::map<std::string, std::vector<std::string>> kinds;
      for (const std::string& line : Format(db)) kinds[line.substr(0, line.find('\t'))].push_back(line);
      return kinds;
    };
    auto added_to = by_kind(after);
    for (const auto& [kind, lines] : by_kind(before)) {
      const std::vector<std::string>& now_lines = added_to[kind];
      if (now_lines.size() < lines.size() || !std::equal(lines.begin(), lines.end(), now_lines.begin()))
        std::abort();
    }
  } else if ((code != 1 && code != 2 && code != 3) || now != ready.db) {
    std::abort();
  }
  // Nothing else made, changed or removed (the host's own attribute list aside).
  auto picture = ready.m.Picture(), kept = ready.picture;
  for (const char* own : {"c/WINNT/rpl/rpldb.txt", "attributes.txt"}) {
    picture.erase(own);
    kept.erase(own);
  }
  if (picture != kept) std::abort();
  ready.m.Put(path, ready.db);
  return 0;
}
