// The Remoteboot database's records as rplcmd lists them: asked for without
// writing any file, and read for which cards the service can boot.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace rpl {

// A record of the database as rplcmd reads and lists it: its kind's letter
// (V vendor, B boot block, C configuration) and its fields, the name first,
// in the order rplcmd's add reads them.
struct Record {
  char kind;
  std::vector<std::string> fields;
};

// The records an add script adds, in its order: a record letter, "A", the
// record's fields (2 for a vendor, 5 for a boot block, 9 for a
// configuration), and so on to "q". False for lines that are no such script.
bool AddedRecords(const std::vector<std::string>& lines, std::vector<Record>* records);

// The script that deletes the records, the last first: each record's
// letter, "D" and its name, and "q".
std::vector<std::string> DeletionScript(const std::vector<Record>& records);

// The records in what rplcmd printed: each a line of its letter and its
// fields, each field after a tab; its other lines are not records.
std::vector<Record> ListedRecords(const std::vector<std::string>& lines);

// How long rplcmd may take to list the records.
const unsigned kListLimit = 60000;

// Asks rplcmd for every vendor, boot block and configuration, its input given
// and its output taken through pipes, so that nothing on the server changes.
// False with why not (for a message) when rplcmd cannot be started, runs out
// of time or refuses (the database missing, unreadable or damaged).
bool ListRecords(platform::Host& host, const std::string& root, std::vector<Record>* records, std::string* why);

// What the listed records lack of the card's own, those its script adds:
// each there by its name (names compare without regard to case), each boot
// block for the script's vendor and boot-block file, each configuration for
// the script's boot block. "" when nothing is lacking.
std::string NotTheCards(const std::vector<Record>& added, const std::vector<Record>& listed);

// The vendors under which the service boots the card of boot-block folder
// `block`: a boot block VENDORDOS naming BBLOCK\NETBEUI\block\DOSBB.CNF and
// one VENDORWIN naming its W95BB.CNF, each with its configuration
// (DOSVENDOR, WINVENDOR) naming it.
std::vector<std::string> VendorsOf(const std::vector<Record>& records, const std::string& block);

// The boot-block folders the records' boot blocks point at, the NE2000
// templates' left out, each once, in the records' order.
std::vector<std::string> CardsOf(const std::vector<Record>& records);

}  // namespace rpl
