// The Remoteboot service's command-line tool, rplcmd, as far as the
// configuration tool uses it: it adds records to the service's database
// (rpldb.h) from what it reads on its standard input.
//
// The input is read a line at a time: a record letter, an action letter, then
// the record's fields, one a line, in this order:
//   V  vendor         name (6 hexadecimal digits), comment
//   B  boot block     boot name, vendor name, boot-block file, comment,
//                     window size
//   C  configuration  name, boot name, directory, directory 2, FIT file shared,
//                     FIT file personal, comment, directory 3, directory 4
// and so on until a line "q". Letters are taken in either case. The only
// action is A (add); the records W (workstation), P (profile) and A (adapter)
// and every other action are refused as not available here. Lines after "q"
// are not read.
//
// Every record is checked before any is kept:
//   - a name (vendor, boot block, configuration) not already in the database
//     nor earlier in the same input; a vendor name of exactly 6 hexadecimal
//     digits; other names 1 to 15 characters without blanks;
//   - a boot block's vendor and a configuration's boot block present, in the
//     database or earlier in the input;
//   - a boot-block file and the FIT files: files of the Remoteboot tree,
//     relative to WINDIR\rpl; directories 1 and 2, and 3 and 4 when given:
//     directories below WINDIR\rpl\rplfiles\binfiles;
//   - a window size of decimal digits, 0 to 65535;
//   - no field holding a tab or another control character, and every field
//     code page 936 text.
// The run is all or nothing: the first refusal prints one line naming the
// record and the field, and the database stays byte for byte as it was. So
// does an input that ends inside a record or without its "q". Exit codes:
// 0 every record added; 1 a bad command line; 2 refused input; 3 the database
// cannot be read or written, or is damaged (rpldb.h), and is then left as it
// was.
#pragma once

#include <string>
#include <vector>

#include "standins/standin.h"

namespace standins {

int RplcmdMain(Context& context, const std::vector<std::string>& args);

}  // namespace standins
