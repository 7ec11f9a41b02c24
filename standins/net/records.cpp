#include "standins/net/records.h"

#include "platform/textfile.h"
#include "standins/rpl/rpldb.h"

namespace standins {

const char kRemoteboot[] = "RemoteBoot";
const char kRemotebootDisplay[] = "远程启动服务";

namespace {

bool Same(const std::string& a, const std::string& b) { return platform::SameName(a, b); }

bool NoneOf(const std::string& s, const char* refused) {
  return s.find_first_of(refused) == std::string::npos && PlainField(s);
}

const char kRefusedInNames[] = "\"/\\[]:;|=,+*?<>";

// What each file's records hold.
bool ValidUser(const std::vector<std::string>& f) {
  return f.size() == 3 && ValidAccountName(f[0], kMaxUserName) &&
         (Same(f[1], "passwordchg:yes") || Same(f[1], "passwordchg:no")) && PlainField(f[2]);
}
bool ValidGroup(const std::vector<std::string>& f) {
  if (!ValidAccountName(f[0], kMaxGroupName)) return false;
  for (size_t i = 1; i < f.size(); ++i)
    if (!ValidAccountName(f[i], kMaxUserName)) return false;
  return true;
}
bool ValidShare(const std::vector<std::string>& f) {
  return f.size() == 2 && ValidShareName(f[0]) && ValidSharePath(f[1]);
}
bool ValidService(const std::vector<std::string>& f) {
  return f.size() <= 2 && !f[0].empty() && PlainField(f[0]) && (f.size() == 1 || PlainField(f[1]));
}
bool ValidStarted(const std::vector<std::string>& f) {
  return f.size() == 1 && !f[0].empty() && PlainField(f[0]);
}

}  // namespace

size_t Characters(const std::string& utf8) {
  size_t n = 0;
  for (size_t i = 0; i < utf8.size(); ++n) {
    size_t len = platform::Utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
    i += len ? len : 1;
  }
  return n;
}

bool ValidAccountName(const std::string& name, size_t max) {
  if (name.empty() || Characters(name) > max) return false;
  if (name.find_first_not_of(". ") == std::string::npos) return false;
  return NoneOf(name, kRefusedInNames);
}

bool ValidShareName(const std::string& name) {
  return !name.empty() && Characters(name) <= kMaxShareName && NoneOf(name, kRefusedInNames);
}

bool ValidSharePath(const std::string& path) {
  bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path.size() >= 3 && path[1] == ':' && path[2] == '\\' && PlainField(path);
}

namespace {

// The records of a file's lines, split into fields, each checked by `valid`;
// empty lines hold none. False at the first line that is no record.
bool ToRecords(const std::vector<std::string>& lines, bool (*valid)(const std::vector<std::string>&),
               std::vector<std::vector<std::string>>* records, RecordFileError* damage) {
  records->clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    records->push_back(SplitFields(lines[i]));
    if (!valid(records->back())) {
      *damage = {static_cast<int>(i + 1), Damage::kRecord};
      records->clear();
      return false;
    }
  }
  return true;
}

}  // namespace

// False when the file exists and cannot be read or is damaged: the command
// must then not write it again. An absent file holds no records.
bool NetRecords::LoadRecords(const std::string& file, bool (*valid)(const std::vector<std::string>&),
                             std::vector<std::vector<std::string>>* records) {
  records->clear();
  damaged_file_ = dir_ + file;
  std::vector<std::string> lines;
  switch (ReadRecordFile(host_, dir_ + file, nullptr, &lines, &damage_)) {
    case ReadResult::kAbsent: return true;
    case ReadResult::kUnreadable:
    case ReadResult::kDamaged: return false;
    case ReadResult::kRead: break;
  }
  return ToRecords(lines, valid, records, &damage_);
}

// Written only when the file will read back as these very records, so that
// no command leaves a file that every later one refuses.
bool NetRecords::SaveLines(const std::string& file, bool (*valid)(const std::vector<std::string>&),
                           const std::vector<std::string>& lines) {
  std::vector<Staged> staged;
  return Stage(file, valid, lines, &staged) && Commit(staged);
}

bool NetRecords::Stage(const std::string& file, bool (*valid)(const std::vector<std::string>&),
                       const std::vector<std::string>& lines, std::vector<Staged>* staged) {
  std::vector<std::vector<std::string>> records;
  RecordFileError damage;
  if (!ReadsBack(lines, nullptr) || !ToRecords(lines, valid, &records, &damage)) return false;
  Staged s;
  s.path = dir_ + file;
  s.existed = host_.FileExists(s.path);
  if (s.existed && !host_.ReadFile(s.path, &s.old)) return false;
  if (!lines.empty()) {
    // The directory is made, a level at a time, on the first record written.
    std::string sofar;
    size_t pos = 0;
    while ((pos = dir_.find('\\', pos + 1)) != std::string::npos) {
      sofar = dir_.substr(0, pos);
      if (sofar.size() > 2 && !host_.DirectoryExists(sofar)) host_.MakeDirectory(sofar);
    }
    s.fresh = s.path + ".new";
    if (!host_.WriteFile(s.fresh, platform::JoinLines(lines))) {
      host_.DeleteFile(s.fresh);
      return false;
    }
  }
  staged->push_back(s);
  return true;
}

bool NetRecords::Commit(const std::vector<Staged>& staged) {
  for (size_t i = 0; i < staged.size(); ++i) {
    const Staged& s = staged[i];
    if (s.fresh.empty() ? !s.existed || host_.DeleteFile(s.path) : host_.ReplaceFile(s.fresh, s.path)) continue;
    Drop(staged, i);
    for (size_t j = 0; j < i; ++j) {
      if (staged[j].existed)
        platform::WriteFileWhole(host_, staged[j].path, staged[j].old);
      else
        host_.DeleteFile(staged[j].path);
    }
    return false;
  }
  // The records are the machine's, not files of its tree: the folder that
  // kept them goes with its last record file.
  host_.RemoveDirectory(dir_.substr(0, dir_.size() - 1));
  return true;
}

void NetRecords::Drop(const std::vector<Staged>& staged, std::size_t from) {
  for (size_t j = from; j < staged.size(); ++j)
    if (!staged[j].fresh.empty()) host_.DeleteFile(staged[j].fresh);
}

namespace {

std::vector<std::string> UserLines(const std::vector<User>& users) {
  std::vector<std::string> lines;
  for (const User& u : users)
    lines.push_back(u.name + "\tpasswordchg:" + (u.password_change ? "yes" : "no") + "\t" + u.password);
  return lines;
}

std::vector<std::string> GroupLines(const std::vector<Group>& groups) {
  std::vector<std::string> lines;
  for (const Group& g : groups) {
    std::string line = g.name;
    for (const std::string& m : g.members) line += "\t" + m;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

bool NetRecords::LoadUsers(std::vector<User>* users) {
  std::vector<std::vector<std::string>> records;
  if (!LoadRecords("users.txt", &ValidUser, &records)) return false;
  for (const auto& f : records) users->push_back({f[0], Same(f[1], "passwordchg:yes"), f[2]});
  return true;
}

bool NetRecords::SaveUsers(const std::vector<User>& users) {
  return SaveLines("users.txt", &ValidUser, UserLines(users));
}

bool NetRecords::LoadGroups(std::vector<Group>* groups) {
  std::vector<std::vector<std::string>> records;
  if (!LoadRecords("groups.txt", &ValidGroup, &records)) return false;
  for (const auto& f : records) groups->push_back({f[0], std::vector<std::string>(f.begin() + 1, f.end())});
  return true;
}

bool NetRecords::SaveGroups(const std::vector<Group>& groups) {
  return SaveLines("groups.txt", &ValidGroup, GroupLines(groups));
}

bool NetRecords::SaveUsersAndGroups(const std::vector<User>& users, const std::vector<Group>& groups) {
  std::vector<Staged> staged;
  if (Stage("users.txt", &ValidUser, UserLines(users), &staged) &&
      Stage("groups.txt", &ValidGroup, GroupLines(groups), &staged))
    return Commit(staged);
  Drop(staged, 0);
  return false;
}

bool NetRecords::LoadShares(std::vector<Share>* shares) {
  std::vector<std::vector<std::string>> records;
  if (!LoadRecords("shares.txt", &ValidShare, &records)) return false;
  for (const auto& f : records) shares->push_back({f[0], f[1]});
  return true;
}

bool NetRecords::SaveShares(const std::vector<Share>& shares) {
  std::vector<std::string> lines;
  for (const Share& s : shares) lines.push_back(s.name + "\t" + s.path);
  return SaveLines("shares.txt", &ValidShare, lines);
}

// The services of installed.txt, and the Remoteboot service when its
// database is in its tree (whatever installed.txt says of it).
bool NetRecords::LoadInstalled(std::vector<Service>* services) {
  std::vector<std::vector<std::string>> records;
  if (!LoadRecords("installed.txt", &ValidService, &records)) return false;
  for (const auto& f : records)
    if (!Same(f[0], kRemoteboot)) services->push_back({f[0], f.size() > 1 ? f[1] : ""});
  if (host_.FileExists(rpl::DatabasePath(host_)))
    services->push_back({kRemoteboot, kRemotebootDisplay});
  return true;
}

bool NetRecords::SaveStarted(const std::vector<std::string>& started) {
  return SaveLines("services.txt", &ValidStarted, started);
}

bool NetRecords::LoadStarted(std::vector<std::string>* started) {
  std::vector<std::vector<std::string>> records;
  if (!LoadRecords("services.txt", &ValidStarted, &records)) return false;
  for (const auto& f : records) started->push_back(f[0]);
  return true;
}

}  // namespace standins
