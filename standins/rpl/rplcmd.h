// The Remoteboot service's command-line tool, rplcmd, as far as the
// configuration tool uses it: it adds, deletes and lists the records of the
// service's database (rpldb.h) as it reads on its standard input.
//
// The input is read a line at a time: a record letter, an action letter, then
// what the action reads, one line each:
//   A  add     the record's fields, in this order:
//     V  vendor         name (6 hexadecimal digits), comment
//     B  boot block     boot name, vendor name, boot-block file, comment,
//                       window size
//     C  configuration  name, boot name, directory, directory 2, FIT file shared,
//                       FIT file personal, comment, directory 3, directory 4
//   D  delete  the record's name
//   L  list    nothing more
// and so on until a line "q". Letters are taken in either case. The records
// W (workstation), P (profile) and A (adapter) and every other action are
// refused as not available here. Lines after "q" are not read.
//
// Each action is checked against the database as the actions before it in
// the same input have left it, and all of them before any change is kept:
//   - an added name (vendor, boot block, configuration) not there already;
//     a vendor name of exactly 6 hexadecimal digits; other names 1 to 15
//     characters without blanks;
//   - an added boot block's vendor and configuration's boot block there;
//   - an added boot-block file and the FIT files: files of the Remoteboot
//     tree, relative to WINDIR\rpl; directories 1 and 2, and 3 and 4 when
//     given: directories below WINDIR\rpl\rplfiles\binfiles;
//   - a window size of decimal digits, 0 to 65535;
//   - a deleted record there, and named by no other record: a vendor by no
//     boot block, a boot block by no configuration, a configuration by no
//     profile;
//   - no field or name holding a tab or another control character, and
//     every one code page 936 text.
// Names compare without regard to case.
//
// The run is all or nothing: the first refusal prints one line naming the
// record and the field, ending "Nothing was changed.", and the database
// stays byte for byte as it was. So does an input that ends inside a record
// or without its "q". Only a run that went through prints: in the input's
// order, a line for each record added ("Added vendor 00E04C.") or deleted
// ("Deleted vendor 00E04C."), and for each list every record of that kind as
// the database stands at that point of the input, in the database's order,
// one a line: the record letter, then each field after a tab, in the order A
// reads them ("V<tab>00E04C<tab>RTL8139 Netcard(100/10M)"); then "The
// command completed successfully.". An input that only lists writes nothing.
// Exit codes: 0 every action done; 1 a bad command line; 2 refused input; 3
// the database does not exist, cannot be read or written, or is damaged
// (rpldb.h), and is then left as it was.
#pragma once

#include <string>
#include <vector>

#include "standins/standin.h"

namespace standins {

int RplcmdMain(Context& context, const std::vector<std::string>& args);

}  // namespace standins
