#include "standins/rpl/rpldb.h"

#include "platform/textfile.h"

namespace standins {
namespace rpl {
namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

size_t Characters(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string Join(const char* kind, const std::vector<std::string>& fields) {
  std::string line = kind;
  for (const std::string& f : fields) line += "\t" + f;
  return line;
}

template <typename T>
const T* FindIn(const std::vector<T>& records, const std::string& name) {
  for (const T& r : records)
    if (SameName(r.name, name)) return &r;
  return nullptr;
}

std::string Under(platform::Host& host, const char* tail) {
  std::string dir = host.WindowsDirectory();
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir + tail;
}

}  // namespace

const char kFormatLine[] = "RPLDB 1";

const Vendor* Database::FindVendor(const std::string& name) const { return FindIn(vendors, name); }
const BootBlock* Database::FindBootBlock(const std::string& name) const {
  return FindIn(boot_blocks, name);
}
const Configuration* Database::FindConfiguration(const std::string& name) const {
  return FindIn(configurations, name);
}
const Profile* Database::FindProfile(const std::string& name) const { return FindIn(profiles, name); }

std::string TreeDirectory(platform::Host& host) { return Under(host, "\\rpl"); }
std::string DatabasePath(platform::Host& host) { return Under(host, "\\rpl\\rpldb.txt"); }
std::string BinfilesDirectory(platform::Host& host) { return Under(host, "\\rpl\\rplfiles\\binfiles"); }
std::string ProfilesDirectory(platform::Host& host) { return Under(host, "\\rpl\\rplfiles\\profiles"); }

std::vector<std::string> Format(const Database& db) {
  std::vector<std::string> lines = {kFormatLine};
  for (const Vendor& v : db.vendors) lines.push_back(Join("VENDOR", {v.name, v.comment}));
  for (const BootBlock& b : db.boot_blocks)
    lines.push_back(Join("BOOT", {b.name, b.vendor, b.file, b.comment, b.window}));
  for (const Configuration& c : db.configurations)
    lines.push_back(Join("CONFIG", {c.name, c.boot, c.dir, c.dir2, c.fit_shared, c.fit_personal,
                                    c.comment, c.dir3, c.dir4}));
  for (const Profile& p : db.profiles)
    lines.push_back(Join("PROFILE", {p.name, p.configuration, p.comment}));
  return lines;
}

bool Parse(const std::vector<std::string>& lines, Database* db, RecordFileError* error) {
  *db = Database();
  int number = 0;
  auto bad = [&](Damage damage) {
    if (error) *error = {number, damage};
    *db = Database();
    return false;
  };
  for (const std::string& line : lines) {
    ++number;
    if (number == 1) {
      if (line != kFormatLine) return bad(Damage::kFirstLine);
      continue;
    }
    std::vector<std::string> f = SplitFields(line);
    const std::string& kind = f[0];
    for (const std::string& field : f)
      if (!PlainText(field)) return bad(Damage::kControlCharacter);
    if (kind == "VENDOR" && f.size() == 3) {
      if (!ValidVendorName(f[1])) return bad(Damage::kName);
      db->vendors.push_back({f[1], f[2]});
    } else if (kind == "BOOT" && f.size() == 6) {
      if (!ValidName(f[1])) return bad(Damage::kName);
      db->boot_blocks.push_back({f[1], f[2], f[3], f[4], f[5]});
    } else if (kind == "CONFIG" && f.size() == 10) {
      if (!ValidName(f[1])) return bad(Damage::kName);
      db->configurations.push_back({f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]});
    } else if (kind == "PROFILE" && f.size() == 4) {
      if (!ValidProfileName(f[1])) return bad(Damage::kName);
      db->profiles.push_back({f[1], f[2], f[3]});
    } else {
      return bad(Damage::kRecord);
    }
  }
  if (number == 0) {
    number = 1;  // an empty file lacks its first line
    return bad(Damage::kFirstLine);
  }
  return true;
}

LoadResult Load(platform::Host& host, Database* db, RecordFileError* error) {
  *db = Database();
  RecordFileError ignored;
  if (!error) error = &ignored;
  std::vector<std::string> lines;
  switch (ReadRecordFile(host, DatabasePath(host), kFormatLine, &lines, error)) {
    case ReadResult::kAbsent: return LoadResult::kAbsent;
    case ReadResult::kUnreadable: return LoadResult::kUnreadable;
    case ReadResult::kDamaged: return LoadResult::kDamaged;
    case ReadResult::kRead: break;
  }
  return Parse(lines, db, error) ? LoadResult::kLoaded : LoadResult::kDamaged;
}

bool Save(platform::Host& host, const Database& db) {
  const std::string path = DatabasePath(host), fresh = TreeDirectory(host) + "\\rpldb.new";
  const std::vector<std::string> lines = Format(db);
  // Only a database that reads back as itself is written: one that would be
  // refused, or read as other records, is never put in the old one's place.
  Database again;
  if (!ReadsBack(lines, kFormatLine) || !Parse(lines, &again, nullptr) || Format(again) != lines) return false;
  const std::string bytes = platform::JoinLines(lines);
  // The new file is read back before it takes the old one's place, so that a
  // short write never becomes the database; until that move the old file is
  // untouched.
  std::string check;
  if (host.WriteFile(fresh, bytes) && host.ReadFile(fresh, &check) && check == bytes &&
      host.ReplaceFile(fresh, path))
    return true;
  host.DeleteFile(fresh);
  return false;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

bool PlainText(const std::string& s) { return PlainField(s); }

bool ValidVendorName(const std::string& name) {
  if (name.size() != 6) return false;
  for (char c : name)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

bool ValidName(const std::string& name) {
  if (name.empty() || Characters(name) > 15 || !PlainText(name)) return false;
  return name.find(' ') == std::string::npos;
}

bool ValidProfileName(const std::string& name) { return ValidName(name) && SafeComponent(name); }

bool ValidTreePath(const std::string& path) {
  if (path.empty() || path.front() == ' ' || path.back() == ' ') return false;
  size_t start = 0;
  for (;;) {
    size_t slash = path.find('\\', start);
    std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (!SafeComponent(part)) return false;
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

bool IsDosConfiguration(const Configuration& c) { return Lower(c.dir2).compare(0, 3, "dos") == 0; }

}  // namespace rpl
}  // namespace standins
