// The server's NET command, as far as the configuration tool uses it:
//   net user NAME [PASSWORD] /add [/passwordchg:yes|no]
//   net user NAME [PASSWORD] [/passwordchg:yes|no]
//                                   changes a user's password or flag
//   net user [NAME]                 lists the users, or shows one
//   net group NAME /add
//   net group GROUP USER [...] /add adds users to a group
//   net group [NAME]                lists the groups, or a group's members
//   net share NAME=DRIVE:PATH
//   net share [NAME]                lists the shares, or shows one
//   net start [SERVICE]             starts an installed service, or lists
//                                   the started ones
//   net user NAME /delete           deletes a user, and its memberships
//   net group NAME /delete          deletes a group
//   net group GROUP USER [...] /delete
//                                   takes users out of a group
//   net share NAME /delete          stops sharing a share
//   net stop SERVICE                stops a started service
// It keeps its records in plain text files (code page 936, CR LF) in the
// directory NetStateDirectory names (a file whose last record goes is removed,
// so that what was added and is taken back leaves the files as they were):
//   users.txt      NAME <tab> passwordchg:yes|no <tab> PASSWORD
//   groups.txt     GROUP [<tab> MEMBER]...
//   shares.txt     NAME <tab> PATH
//   services.txt   NAME                  (the started services)
//   installed.txt  NAME [<tab> DISPLAY NAME]
//                                        (the installed services; set up by
//                                        whoever prepares the machine, never
//                                        written here; absent: none)
// The Remoteboot service, service name RemoteBoot, display name 远程启动服务,
// is installed when its database WINDIR\rpl\rpldb.txt is there (an entry
// for it in installed.txt counts for nothing); it starts when that database
// can be read, and fails to start (NET HELPMSG 3547) when it cannot.
// Names compare without regard to case; users and groups share one name
// space, as accounts do. A refused command prints the server's message, exits
// with 2 and changes no record; a command it cannot parse prints the syntax
// and exits with 1. No field holds a control character (a password with a line
// end is refused, NET HELPMSG 2203). A record file that is damaged (records.h)
// is never written again: the command names the file and the line, changes
// nothing and exits with 2.
#pragma once

#include <string>
#include <vector>

#include "standins/standin.h"

namespace standins {

int NetMain(Context& context, const std::vector<std::string>& args);

// The directory of the records: WINDIR\netstate.
std::string NetStateDirectory(platform::Host& host);

}  // namespace standins
