// The texts of the net stand-in's messages and syntax lines.
#include "standins/net/net_messages.h"

namespace standins {
namespace net_messages {

const char* MessageText(int number) {
  switch (number) {
    case kNerrUnknownDevDir: return "The device or directory does not exist.";
    case kNerrDuplicateShare: return "The name has already been shared.";
    case kNerrServiceInstalled: return "The requested service has already been started.";
    case kNerrServiceNotInstalled: return "The service has not been started.";
    case kNerrBadServiceName: return "The service name is invalid.";
    case kNerrServiceSpecificError: return "A service specific error occurred: 1.";
    case kNerrGroupNotFound: return "The group name could not be found.";
    case kNerrUserNotFound: return "The user name could not be found.";
    case kNerrGroupExists: return "The group already exists.";
    case kNerrUserExists: return "The account already exists.";
    case kNerrBadPassword: return "The password parameter is invalid.";
    case kNerrUserInGroup: return "The user already belongs to this group.";
    case kNerrUserNotInGroup: return "The user does not belong to this group.";
    case kNerrNetNameNotFound: return "This shared resource does not exist.";
    case kErrorAccessDenied: return "Access is denied.";
    case kErrorInvalidName: return "The filename, directory name, or volume label syntax is incorrect.";
    case kErrorInvalidAccountName: return "The name provided is not a properly formed account name.";
  }
  return "";
}

const char kDone[] = "The command completed successfully.\n";

const char kNetSyntax[] =
    "NET [ ACCOUNTS | COMPUTER | CONFIG | CONTINUE | FILE | GROUP | HELP |\n"
    "      HELPMSG | LOCALGROUP | NAME | PAUSE | PRINT | SEND | SESSION |\n"
    "      SHARE | START | STATISTICS | STOP | TIME | USE | USER | VIEW ]\n";
const char kUserSyntax[] =
    "NET USER [username [password | *] [options]] [/DOMAIN]\n"
    "         username {password | *} /ADD [options] [/DOMAIN]\n"
    "         username [/DELETE] [/DOMAIN]\n";
const char kGroupSyntax[] =
    "NET GROUP [groupname [/COMMENT:\"text\"]] [/DOMAIN]\n"
    "          groupname {/ADD [/COMMENT:\"text\"] | /DELETE}  [/DOMAIN]\n"
    "          groupname username [...] {/ADD | /DELETE} [/DOMAIN]\n";
const char kShareSyntax[] =
    "NET SHARE sharename\n"
    "          sharename=drive:path [/USERS:number | /UNLIMITED]\n"
    "                               [/REMARK:\"text\"]\n"
    "          sharename [/USERS:number | /UNLIMITED]\n"
    "                    [/REMARK:\"text\"]\n"
    "          {sharename | devicename | drive:path} /DELETE\n";
const char kStartSyntax[] = "NET START [service]\n";
const char kStopSyntax[] = "NET STOP service\n";

}  // namespace net_messages
}  // namespace standins
