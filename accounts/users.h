// Workstation users, their group, shares and directories: the account script
// "c:\usertemp.bat", the user directories, and the shared directory carried to
// the next run in "c:\temps.bak".
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/platform.h"

namespace accounts {

// The account group's fields as they stand when the button is pressed.
struct AccountFields {
  std::string shared_directory;  // Edit1
  std::string prefix;            // Edit2
  std::string count;             // Edit3
  std::string group;             // Edit4
};

// The guest account every workstation may log on as, with its name as
// password, in the group with the workstations' users.
extern const char kGuest[];  // "kotavei"

// The user name of number i: the prefix, a "0" for i up to 9, i in decimal.
std::string UserName(const std::string& prefix, int i);

// The script's lines: the group, the shared directory's share, the guest
// account and its membership (ScriptHead), then three lines for each user
// (UserLines).
std::vector<std::string> ScriptHead(const AccountFields& fields);
std::vector<std::string> UserLines(const AccountFields& fields, const std::string& user);
std::vector<std::string> AccountScript(const AccountFields& fields, int users);

// True for a directory one level below a drive root, "D:\NAME".
bool IsDirectoryBelowRoot(const std::string& path);

// Reads the user count: a plain decimal number, blanks around it allowed.
// False for anything else (empty, trailing text, hexadecimal, out of range).
bool ParseUserCount(const std::string& text, int* count);

// The most workstation users one press makes: a server's one network
// segment, the script's net commands within the unattended run's wait.
const int kMostUsers = 250;
// The longest user name net takes, in characters.
const int kLongestUserName = 20;
// The largest user count the button takes with this prefix: kMostUsers, or
// fewer where the numbers (two digits or more) would make a user name longer
// than net takes; 0 when not even two digits fit.
int MostUsers(const std::string& prefix);

// What is wrong with the fields, as the warning to show, or "" when nothing.
// Besides what the script cannot carry, it refuses what net would refuse
// inside it unseen: a name with a character net does not take (a blank, a
// tab, a control character, " / \ [ ] : ; | = , + * ? < >), a group or share
// named as one of the users, and a count below 0 or above MostUsers. A count
// of 0 makes the shared directory, the group, its share and the guest
// account, and no workstation user.
std::string CheckFields(const AccountFields& fields);

// The button "生成用户及目录": checks the fields, then makes the directories,
// writes and starts the script, and tells the administrator. `script` holds
// the number of the script an earlier press started (0: none); while that
// one still runs the press is refused, and a started script leaves its own.
void GenerateUsers(platform::Host& host, platform::Ui& ui, const AccountFields& fields,
                   platform::ProgressBar& progress, int* script);

// The exit button's clean-up: deletes the account script, unless the script
// numbered `script` still runs and reads it; false then, the file kept.
bool RemoveAccountScript(platform::Host& host, int script);

// The button "编辑信息文件": opens the workstation names file in Notepad,
// creating it empty first when it is absent and the administrator agrees.
// Makes the empty workstation names file when it is absent; false when it
// is not there afterwards.
bool MakeNamesFile(platform::Host& host, const std::string& shared_directory);
void EditNamesFile(platform::Host& host, platform::Ui& ui, const std::string& shared_directory);

}  // namespace accounts
