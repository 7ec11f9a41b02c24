#include "standins/net/records.h"

#include <algorithm>
#include <cstdint>

#include "platform/textfile.h"
#include "standins/rpl/rpldb.h"

namespace standins {

const char kRemoteboot[] = "RemoteBoot";
const char kRemotebootDisplay[] = "远程启动服务";

namespace {

bool Same(const std::string& a, const std::string& b) { return platform::SameName(a, b); }

std::vector<std::string> SplitTabs(const std::string& line, size_t max_fields) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (fields.size() + 1 < max_fields) {
    size_t tab = line.find('\t', start);
    if (tab == std::string::npos) break;
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

}  // namespace

// False when the file exists and cannot be read: the command must then not
// write it again from an empty list. An absent file holds no records.
bool NetRecords::LoadLines(const std::string& file, std::vector<std::string>* lines) {
  lines->clear();
  std::string path = dir_ + file;
  if (!host_.FileExists(path)) return true;
  if (!platform::ReadTextLines(host_, path, lines)) return false;
  lines->erase(std::remove(lines->begin(), lines->end(), std::string()), lines->end());
  return true;
}

bool NetRecords::SaveLines(const std::string& file, const std::vector<std::string>& lines) {
  // The directory is made, a level at a time, on the first record written.
  std::string sofar;
  size_t pos = 0;
  while ((pos = dir_.find('\\', pos + 1)) != std::string::npos) {
    sofar = dir_.substr(0, pos);
    if (sofar.size() > 2 && !host_.DirectoryExists(sofar)) host_.MakeDirectory(sofar);
  }
  return platform::WriteTextLines(host_, dir_ + file, lines);
}

bool NetRecords::LoadUsers(std::vector<User>* users) {
  std::vector<std::string> lines;
  if (!LoadLines("users.txt", &lines)) return false;
  for (const std::string& line : lines) {
    std::vector<std::string> f = SplitTabs(line, 3);
    f.resize(3);
    users->push_back({f[0], !Same(f[1], "passwordchg:no"), f[2]});
  }
  return true;
}

bool NetRecords::SaveUsers(const std::vector<User>& users) {
  std::vector<std::string> lines;
  for (const User& u : users)
    lines.push_back(u.name + "\tpasswordchg:" + (u.password_change ? "yes" : "no") + "\t" +
                    u.password);
  return SaveLines("users.txt", lines);
}

bool NetRecords::LoadGroups(std::vector<Group>* groups) {
  std::vector<std::string> lines;
  if (!LoadLines("groups.txt", &lines)) return false;
  for (const std::string& line : lines) {
    std::vector<std::string> f = SplitTabs(line, SIZE_MAX);
    groups->push_back({f[0], std::vector<std::string>(f.begin() + 1, f.end())});
  }
  return true;
}

bool NetRecords::SaveGroups(const std::vector<Group>& groups) {
  std::vector<std::string> lines;
  for (const Group& g : groups) {
    std::string line = g.name;
    for (const std::string& m : g.members) line += "\t" + m;
    lines.push_back(line);
  }
  return SaveLines("groups.txt", lines);
}

bool NetRecords::LoadShares(std::vector<Share>* shares) {
  std::vector<std::string> lines;
  if (!LoadLines("shares.txt", &lines)) return false;
  for (const std::string& line : lines) {
    std::vector<std::string> f = SplitTabs(line, 2);
    f.resize(2);
    shares->push_back({f[0], f[1]});
  }
  return true;
}

bool NetRecords::SaveShares(const std::vector<Share>& shares) {
  std::vector<std::string> lines;
  for (const Share& s : shares) lines.push_back(s.name + "\t" + s.path);
  return SaveLines("shares.txt", lines);
}

// The services of installed.txt, and the Remoteboot service when its
// database is in its tree (whatever installed.txt says of it).
bool NetRecords::LoadInstalled(std::vector<Service>* services) {
  std::vector<std::string> lines;
  if (!LoadLines("installed.txt", &lines)) return false;
  for (const std::string& line : lines) {
    std::vector<std::string> f = SplitTabs(line, 2);
    f.resize(2);
    if (!Same(f[0], kRemoteboot)) services->push_back({f[0], f[1]});
  }
  if (host_.FileExists(rpl::DatabasePath(host_)))
    services->push_back({kRemoteboot, kRemotebootDisplay});
  return true;
}

bool NetRecords::LoadStarted(std::vector<std::string>* started) { return LoadLines("services.txt", started); }

}  // namespace standins
