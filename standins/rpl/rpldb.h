// The Remoteboot service's database and tree, as its stand-ins keep them.
//
// The tree is WINDIR\rpl. The database is one text file in it,
// WINDIR\rpl\rpldb.txt, code page 936, every line ended by CR LF:
//
//   RPLDB 1
//   VENDOR  <tab> NAME <tab> COMMENT
//   BOOT    <tab> NAME <tab> VENDOR <tab> BOOT-BLOCK FILE <tab> COMMENT <tab> WINDOW SIZE
//   CONFIG  <tab> NAME <tab> BOOT NAME <tab> DIRECTORY <tab> DIRECTORY 2 <tab>
//                 FIT FILE SHARED <tab> FIT FILE PERSONAL <tab> COMMENT <tab>
//                 DIRECTORY 3 <tab> DIRECTORY 4
//   PROFILE <tab> NAME <tab> CONFIGURATION <tab> COMMENT
//
// The first line names the format; then the vendors, the boot blocks, the
// configurations and the profiles, each kind in the order its records were
// added. Every field is present (an empty field is an empty string between
// two tabs); no field holds a tab or another control character, and every
// field is code page 936 text. Names compare without regard to case; each
// record's name is one its kind may have (a vendor: 6 hexadecimal digits; a
// boot block or configuration: ValidName; a profile: ValidProfileName, as it
// names a folder). Any other line, a Ctrl-Z before the last byte, or a last
// line without its line end makes the whole file unreadable (record_file.h):
// the stand-ins then refuse to work on it rather than write it again.
//
// Where the fields point into the tree:
//   boot-block file and FIT files   relative to WINDIR\rpl
//                                   (BBLOCK\NETBEUI\rtsnd\DOSBB.CNF, fits\dos622.fit)
//   directories 1 to 4              below WINDIR\rpl\rplfiles\binfiles (dos, dos622)
//   a profile's files               WINDIR\rpl\rplfiles\profiles\NAME, with its
//                                   wksta.pro subdirectory
//
// The file is replaced whole: the new text is written to WINDIR\rpl\rpldb.new,
// read back, and moved over rpldb.txt in one step; on any failure rpldb.txt
// stays as it was and rpldb.new is removed.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "standins/record_file.h"

namespace standins {
namespace rpl {

struct Vendor {
  std::string name, comment;
};
struct BootBlock {
  std::string name, vendor, file, comment, window;
};
struct Configuration {
  std::string name, boot, dir, dir2, fit_shared, fit_personal, comment, dir3, dir4;
};
struct Profile {
  std::string name, configuration, comment;
};

struct Database {
  std::vector<Vendor> vendors;
  std::vector<BootBlock> boot_blocks;
  std::vector<Configuration> configurations;
  std::vector<Profile> profiles;

  const Vendor* FindVendor(const std::string& name) const;
  const BootBlock* FindBootBlock(const std::string& name) const;
  const Configuration* FindConfiguration(const std::string& name) const;
  const Profile* FindProfile(const std::string& name) const;
};

// The first line of the file.
extern const char kFormatLine[];

// WINDIR\rpl, WINDIR\rpl\rpldb.txt, WINDIR\rpl\rplfiles\binfiles,
// WINDIR\rpl\rplfiles\profiles (no trailing backslash).
std::string TreeDirectory(platform::Host& host);
std::string DatabasePath(platform::Host& host);
std::string BinfilesDirectory(platform::Host& host);
std::string ProfilesDirectory(platform::Host& host);

// The file's lines, and back. Parse gives false and the first line it cannot
// read (1-based, the format line counted) with what is wrong with it.
std::vector<std::string> Format(const Database& db);
bool Parse(const std::vector<std::string>& lines, Database* db, RecordFileError* error);

enum class LoadResult { kLoaded, kAbsent, kUnreadable, kDamaged };
// Reads the database. An absent file is an empty database (kAbsent); a file
// that cannot be read or parsed leaves `db` empty and must not be overwritten.
LoadResult Load(platform::Host& host, Database* db, RecordFileError* error = nullptr);
// Replaces the file whole (see above); false when it could not be written,
// or would not read back as this database (a field holding a tab, or text
// that is not code page 936): the file then stays as it was.
bool Save(platform::Host& host, const Database& db);

// Whole-word checks shared by the stand-ins.
bool SameName(const std::string& a, const std::string& b);
// A text a field may hold: no tab, no other control character, code page 936.
bool PlainText(const std::string& s);
// A vendor name: 6 hexadecimal digits.
bool ValidVendorName(const std::string& name);
// A record name: 1 to 15 characters, no blank, plain text.
bool ValidName(const std::string& name);
// A profile name: a record name that is also a folder's name directly inside
// the profiles folder (SafeComponent).
bool ValidProfileName(const std::string& name);
// A path inside the tree: relative, no drive, every component a SafeComponent
// other than "." and "..", no blank at either end.
bool ValidTreePath(const std::string& path);

// A configuration that boots DOS rather than Windows: its directory 2 (the
// directory of its system files) begins with "dos" ("dos622").
bool IsDosConfiguration(const Configuration& c);

}  // namespace rpl
}  // namespace standins
