// What the RPL buttons need of the Remoteboot service's tree and do not make
// themselves, in one list: registration refuses a tree without one of its
// parts before it changes anything, and the server check gives the same parts
// to the administrator.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace rpl {

// The DOS 6.22 system files registration copies into the tree, in order.
const std::vector<std::string>& Dos622Files();  // io.sys, msdos.sys, command.com, himem.sys

// The parts of the tree a configuration record names, as rplcmd reads them:
// two directories below rplfiles\binfiles, and two FIT files relative to the
// tree. rplcmd refuses a record naming a part that is not there.
struct ConfigurationParts {
  const char* directory;
  const char* directory2;
  const char* fit_shared;
  const char* fit_personal;
};
extern const ConfigurationParts kDosConfiguration;      // dos, dos622, fits\dos622.fit, fits\dos622p.fit
extern const ConfigurationParts kWindowsConfiguration;  // dos, win95, fits\win95.fit, fits\win95p.fit

// A folder or a file of the tree, by its full path.
struct TreePart {
  std::string path;
  bool folder;
};

// What 配置Rpl needs of the tree below `root` before it changes anything,
// each once: the folders it copies into (the DOS 6.22 files, the card's
// driver), then the folders and FIT files its two configurations name. The
// NE2000 templates are needed only for boot-block files a card lacks, and
// are read where they are used (bootblock.h).
std::vector<TreePart> RegistrationTree(const std::string& root);

// The parts of `parts` that are not there: a folder that is no folder, a
// file that is no file.
std::vector<TreePart> MissingParts(platform::Host& host, const std::vector<TreePart>& parts);

// Registration's refusal of a tree without some of RegistrationTree's parts:
// the message naming each of them, or "" when the tree holds them all.
std::string IncompleteTree(platform::Host& host, const std::string& root);

}  // namespace rpl
