// The net stand-in's words: message numbers and texts, exit statuses, and each command's syntax.
#pragma once

namespace standins {
namespace net_messages {

// Message numbers of the server's network messages (2100-2999, 3500-...) and
// of its system errors, with their texts.
const int kNerrUnknownDevDir = 2116;
const int kNerrDuplicateShare = 2118;
const int kNerrServiceInstalled = 2182;
const int kNerrServiceNotInstalled = 2184;
const int kNerrBadServiceName = 2185;
const int kNerrServiceSpecificError = 3547;
const int kNerrGroupNotFound = 2220;
const int kNerrUserNotFound = 2221;
const int kNerrGroupExists = 2223;
const int kNerrUserExists = 2224;
const int kNerrBadPassword = 2203;
const int kNerrUserInGroup = 2236;
const int kNerrUserNotInGroup = 2237;
const int kNerrNetNameNotFound = 2310;
const int kErrorAccessDenied = 5;
const int kErrorInvalidName = 123;
const int kErrorInvalidAccountName = 1315;

// The text of a message number; "" for a number it does not know.
const char* MessageText(int number);

const int kExitError = 2;   // a refused command
const int kExitSyntax = 1;  // a command that could not be parsed

// What a command that did its work prints.
extern const char kDone[];

// The syntax of net, and of each of its commands.
extern const char kNetSyntax[];
extern const char kUserSyntax[];
extern const char kGroupSyntax[];
extern const char kShareSyntax[];
extern const char kStartSyntax[];
extern const char kStopSyntax[];

}  // namespace net_messages
}  // namespace standins
