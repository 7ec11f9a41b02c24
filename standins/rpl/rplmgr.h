// The Remoteboot Manager's logic: shows the service's database (rpldb.h),
// checks its configurations, makes a profile from a configuration and deletes
// one. The window (standins/win32/rplmgr_main.cpp) only shows what this gives.
//
// What a configuration needs, each looked for in the Remoteboot tree WINDIR\rpl:
//   1. its boot block, in the database;
//   2. the boot block's definition file (relative to WINDIR\rpl);
//   3. every file that definition names: one component a line, a kind word,
//      a path relative to WINDIR\rpl and parameters ("DRV BBLOCK\NDIS\NE2000.DOS ~");
//      empty lines and lines beginning with ";" are skipped;
//   4. its two FIT files (relative to WINDIR\rpl);
//   5. its directories 1 and 2, and 3 and 4 when given, below
//      WINDIR\rpl\rplfiles\binfiles;
//   6. the system files in its directory 2: IO.SYS, MSDOS.SYS, COMMAND.COM,
//      and for a DOS configuration (rpldb.h: directory 2 beginning with "dos")
//      HIMEM.SYS too.
// A configuration is usable when all of these are there.
//
// A profile made from a configuration is a directory
// WINDIR\rpl\rplfiles\profiles\NAME with its subdirectory wksta.pro; a profile
// of a DOS configuration also gets wksta.pro\dosshell.ini, which marks it as a
// DOS profile to the configuration tool. Only a usable configuration gives a
// profile. The record is added to the database after the files are made, and
// the files are taken away again when the record cannot be written. Deleting
// a profile removes only that folder, directly inside the profiles folder:
// its name must be a valid profile name (rpldb.h), whatever the database says.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "standins/rpl/rpldb.h"

namespace standins {
namespace rpl {

struct ConfigurationCheck {
  std::string name;
  bool usable = false;
  int needed = 0;                    // how many files and directories were looked for
  std::vector<std::string> missing;  // what is missing, one reason a line (Chinese)
};

// The contents of dosshell.ini in a DOS profile's wksta.pro.
extern const char* const kDosShellIni[];

class Manager {
 public:
  // The host has no way to remove a directory; the caller gives one
  // (RemoveDirectoryW on Windows, the file system on the simulated host).
  using RemoveDirectory = std::function<bool(const std::string& path)>;

  Manager(platform::Host& host, RemoveDirectory remove_directory)
      : host_(host), remove_directory_(std::move(remove_directory)) {}

  // Reads the database again; false, with the reason in `message`, when it
  // cannot be read (the lists are then empty).
  bool Load(std::string* message);
  const Database& db() const { return db_; }

  // The lists' lines, fields separated by tabs.
  std::vector<std::string> VendorLines() const;
  std::vector<std::string> BootBlockLines() const;
  // The second field is the result of the last check since the database was
  // read: 可用, 不可用, or 未检查.
  std::vector<std::string> ConfigurationLines() const;
  std::vector<std::string> ProfileLines() const;

  ConfigurationCheck Check(const Configuration& c);
  // Checks every configuration and gives the report (lines, Chinese).
  std::vector<std::string> CheckAll();
  // The results of the last CheckAll, in the database's order.
  const std::vector<ConfigurationCheck>& checks() const { return checks_; }

  // Each gives true when done; `message` tells what was done or why not.
  bool MakeProfile(const std::string& name, const std::string& configuration,
                   const std::string& comment, std::string* message);
  bool DeleteProfile(const std::string& name, std::string* message);

 private:
  bool RemoveTree(const std::string& dir);

  platform::Host& host_;
  RemoveDirectory remove_directory_;
  Database db_;
  std::vector<ConfigurationCheck> checks_;
};

}  // namespace rpl
}  // namespace standins
