// What the account script made on the server, asked of net itself: the
// users, their group and shares, and the shared directory's share. Asking
// reads net's listings and changes nothing; the unattended run asks once the
// script has ended, since the script's own net commands report to no one.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "accounts/users.h"
#include "platform/platform.h"

namespace accounts {

// How long one question to net may take, in milliseconds.
const unsigned kNetAskLimit = 60000;

// What of the accounts the script of `fields` makes is not on the server, one
// line each: a user, its membership in the group or its share; the guest
// account or its membership; the group; the shared directory's share. A share
// must name its own folder. Asked of SYS\net.exe by three listings ("net
// user", "net group GROUP", "net share"); a listing net could not give is a
// line too, and what it would have shown is not judged. Empty when all is there.
std::vector<std::string> MissingAccounts(platform::Host& host, const AccountFields& fields);

// The accounts net lists now, names in lower case: its users, groups and
// shares, and the members of the group `group`.
struct Listed {
  std::set<std::string> users, groups, shares, members;
};
// False, with why, when net cannot give a listing.
bool ListAccounts(platform::Host& host, const std::string& group, Listed* listed, std::string* why);

// The net lines of the account script that add what `before` lacked, each
// with the net line that takes it back, in the script's order, both naming
// net by its full path `net`: a user (taken back with "/delete"), a group, a
// share, a membership (taken back with its new user or group: "" then, else
// on its own). What was there before is never taken back.
std::vector<std::pair<std::string, std::string>> AddedByScript(const std::vector<std::string>& script,
                                                                const Listed& before, const std::string& net);

// Whether the record a net command line adds or takes away is there now,
// asked of net's own listings: a user, a group, a user in a group, a share,
// or a service started ("net start NAME" and "net stop NAME"). False, with
// nothing set, when net cannot tell, or the line is none of these.
bool NetRecordThere(platform::Host& host, const std::string& command_line, bool* there);

// The lines of a net listing: those after its rule (a line of dashes) but
// the last, which tells how the command completed; none without a rule.
std::vector<std::string> ListingLines(const std::string& printed);

}  // namespace accounts
