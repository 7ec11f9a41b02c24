// The files that make a card type bootable through the Remoteboot service:
// the database script fed to rplcmd, the card's boot-block definition files
// made from the NE2000 templates, and a copy of a file with the driver name
// put in place of the RTL8139 driver's.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace rpl {

// The 41 lines of rpltemp.bat that add a card's vendor, its DOS and Windows
// boot blocks and their two configurations. `driver` names the card's
// boot-block directory; the texts go in unchanged.
std::vector<std::string> RplScriptLines(const std::string& driver, const std::string& vendor,
                                        const std::string& dos_comment, const std::string& windows_comment,
                                        const std::string& vendor_comment);

// The card's boot-block files, in the order they are made.
extern const char* const kBootBlockFiles[3];  // dosbb.cnf, w95bb.cnf, protocol.ini
std::vector<std::string> BootBlockFileNames();  // the same, as a list

// Makes the card's dosbb.cnf, w95bb.cnf and protocol.ini (those of them
// that `files` names) from the NE2000 templates, the first "NE2000" (the
// .cnf files) or "ms2000" (protocol.ini) of each line replaced by `driver`,
// each written beside its place in the card's boot-block directory (which
// must exist) as FILE.new, for the caller to put in place. Each template
// needed that is missing or cannot be read is reported before anything is
// written, and gives no FILE.new. True when all were written whole;
// otherwise `failed` names the first template that could not be read or the
// first file that could not be written.
bool MakeBootBlockFiles(platform::Host& host, platform::Ui& ui, const std::string& driver,
                        std::string* failed,
                        const std::vector<std::string>& files = BootBlockFileNames());

// The line with the first occurrence of `token` (exact case) replaced by
// `name`; a line without it is returned unchanged.
std::string ReplaceFirst(const std::string& line, const std::string& token, const std::string& name);

}  // namespace rpl
