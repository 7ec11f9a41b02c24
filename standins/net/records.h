// The net stand-in's records: plain code page 936 text files in the Windows
// directory's netstate folder, one record a line, fields separated by tabs.
//   users.txt      NAME, passwordchg:yes|no, PASSWORD
//   groups.txt     NAME, then its members
//   shares.txt     NAME, PATH
//   installed.txt  SERVICE NAME, DISPLAY NAME: the services there are
//   services.txt   the started services' names
// The Remoteboot service counts as installed when its database is in its tree.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"

namespace standins {

// The Remoteboot service: its service name and its display name on a
// Simplified Chinese system.
extern const char kRemoteboot[];
extern const char kRemotebootDisplay[];

struct User {
  std::string name;
  bool password_change = true;
  std::string password;
};
struct Group {
  std::string name;
  std::vector<std::string> members;
};
struct Share {
  std::string name;
  std::string path;
};
struct Service {
  std::string name;
  std::string display;
};

template <typename T>
T* Find(std::vector<T>& records, const std::string& name) {
  for (T& r : records)
    if (platform::SameName(r.name, name)) return &r;
  return nullptr;
}

class NetRecords {
 public:
  NetRecords(platform::Host& host, std::string dir) : host_(host), dir_(std::move(dir)) {}
  // Each false when its file exists and cannot be read or written.
  bool LoadUsers(std::vector<User>* users);
  bool SaveUsers(const std::vector<User>& users);
  bool LoadGroups(std::vector<Group>* groups);
  bool SaveGroups(const std::vector<Group>& groups);
  bool LoadShares(std::vector<Share>* shares);
  bool SaveShares(const std::vector<Share>& shares);
  bool LoadInstalled(std::vector<Service>* services);
  bool LoadStarted(std::vector<std::string>* started);
  bool SaveStarted(const std::vector<std::string>& started) { return SaveLines("services.txt", started); }

 private:
  bool LoadLines(const std::string& file, std::vector<std::string>* lines);
  bool SaveLines(const std::string& file, const std::vector<std::string>& lines);

  platform::Host& host_;
  std::string dir_;
};

}  // namespace standins
