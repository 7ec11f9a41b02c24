// Fuzz target: the Remoteboot database reader on any file. A file it reads
// gives records that are written back as the very lines it held (each kind's
// records together), and saved and read again give the same database; a file
// it refuses is refused at one of its lines and is left as it was.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/textfile.h"
#include "standins/rpl/rpldb.h"
#include "tests/standins/fuzz/fuzz_machine.h"

namespace {

using namespace standins::rpl;

std::vector<std::string> SortedLines(std::string bytes) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < bytes.size(); start = end + 2) {
    end = bytes.find("\r\n", start);
    if (end == std::string::npos) std::abort();  // a file read whole ends its lines
    lines.push_back(bytes.substr(start, end - start));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static standinfuzz::Machine m;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = DatabasePath(m.host);
  m.Put(path, bytes);
  Database db;
  standins::RecordFileError error;
  LoadResult result = Load(m.host, &db, &error);
  if (result == LoadResult::kDamaged) {
    const size_t lines = std::count(bytes.begin(), bytes.end(), '\n') + 1;
    if (error.line < 1 || static_cast<size_t>(error.line) > lines || !db.profiles.empty()) std::abort();
    if (m.Get(path) != bytes) std::abort();
    return 0;
  }
  if (result != LoadResult::kLoaded) std::abort();
  std::string body = bytes;
  if (!body.empty() && body.back() == '\x1A') body.pop_back();
  if (SortedLines(platform::JoinLines(Format(db))) != SortedLines(body)) std::abort();
  for (const Profile& p : db.profiles)
    if (!ValidProfileName(p.name)) std::abort();
  Database again;
  if (!Save(m.host, db) || Load(m.host, &again) != LoadResult::kLoaded || Format(again) != Format(db))
    std::abort();
  return 0;
}
