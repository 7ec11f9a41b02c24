// The net stand-in's records: plain code page 936 text files in the Windows
// directory's netstate folder, one record a line, fields separated by tabs.
//   users.txt      NAME, passwordchg:yes|no, PASSWORD
//   groups.txt     NAME, then its members
//   shares.txt     NAME, PATH
//   installed.txt  SERVICE NAME, DISPLAY NAME: the services there are
//   services.txt   the started services' names
// The Remoteboot service counts as installed when its database is in its tree.
// The files are read strictly (record_file.h): every record must be one its
// file can hold, with names the server accepts, and a damaged file is never
// written again. Empty lines hold no record and are skipped. A file left with
// no records is removed (an absent file holds none), so that records taken
// back in the reverse order of their adding leave every file as it was before.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"
#include "standins/record_file.h"

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

const std::size_t kMaxUserName = 20;    // user names (logon names)
const std::size_t kMaxGroupName = 256;  // GNLEN
const std::size_t kMaxShareName = 80;   // NNLEN

// Characters, not bytes: a Chinese name of 20 characters is 20 long.
std::size_t Characters(const std::string& utf8);
// An account name the server accepts: 1 to `max` characters, not only dots
// and blanks, none of " / \ [ ] : ; | = , + * ? < > or control characters,
// code page 936 text.
bool ValidAccountName(const std::string& name, std::size_t max);
// A share name: 1 to kMaxShareName characters, none of the characters an
// account name may not hold.
bool ValidShareName(const std::string& name);
// A full path of a directory: a drive letter, a colon, a backslash, and no
// control character.
bool ValidSharePath(const std::string& path);

template <typename T>
T* Find(std::vector<T>& records, const std::string& name) {
  for (T& r : records)
    if (platform::SameName(r.name, name)) return &r;
  return nullptr;
}

class NetRecords {
 public:
  NetRecords(platform::Host& host, std::string dir) : host_(host), dir_(std::move(dir)) {}
  // Each false when its file exists and cannot be read, is damaged, or cannot
  // be written, or would not read back as the records given; damage() then
  // tells what of the last file read was damaged (kNone: it could not be read).
  bool LoadUsers(std::vector<User>* users);
  bool SaveUsers(const std::vector<User>& users);
  bool LoadGroups(std::vector<Group>* groups);
  bool SaveGroups(const std::vector<Group>& groups);
  // A user taken away with its memberships: both files are staged before
  // either is replaced, and when the second cannot take its place the first
  // is put back as it was.
  bool SaveUsersAndGroups(const std::vector<User>& users, const std::vector<Group>& groups);
  bool LoadShares(std::vector<Share>* shares);
  bool SaveShares(const std::vector<Share>& shares);
  bool LoadInstalled(std::vector<Service>* services);
  bool LoadStarted(std::vector<std::string>* started);
  bool SaveStarted(const std::vector<std::string>& started);

  const std::string& damaged_file() const { return damaged_file_; }
  const RecordFileError& damage() const { return damage_; }

 private:
  // The file's records, split into fields, each checked by `valid`.
  bool LoadRecords(const std::string& file, bool (*valid)(const std::vector<std::string>&),
                   std::vector<std::vector<std::string>>* records);
  bool SaveLines(const std::string& file, bool (*valid)(const std::vector<std::string>&),
                 const std::vector<std::string>& lines);
  // A file's new records, written beside it, and how to put it back.
  struct Staged {
    std::string path;
    std::string fresh;     // the new file beside it; empty: the file goes
    bool existed = false;  // and its bytes before:
    std::string old;
  };
  bool Stage(const std::string& file, bool (*valid)(const std::vector<std::string>&),
             const std::vector<std::string>& lines, std::vector<Staged>* staged);
  // Each staged file takes its place, in order; on a failure the rest are
  // dropped and those already in place are put back.
  bool Commit(const std::vector<Staged>& staged);
  void Drop(const std::vector<Staged>& staged, std::size_t from);

  platform::Host& host_;
  std::string dir_;
  std::string damaged_file_;
  RecordFileError damage_;
};

}  // namespace standins
