// Workstation users, their group, shares and directories: the account script
// "c:\usertemp.bat", the user directories, and the shared directory carried to
// the next run in "c:\temps.bak".
#pragma once

#include <string>
#include <vector>

#include "base/plan.h"
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

// The fields' labels, as the window and its warnings name them.
extern const char kSharedField[], kPrefixField[], kGroupField[], kCountField[];

// What is wrong with the fields: each warning the button could show, with
// the field it is about, in the order the button looks (it shows the
// first). Besides what the script cannot carry, it refuses what net would
// refuse inside it unseen: a name with a character net does not take (a
// blank, a tab, a control character, " / \ [ ] : ; | = , + * ? < >), a group
// or share named as one of the users, and a count below 0 or above
// MostUsers. A count of 0 makes the shared directory, the group, its share
// and the guest account, and no workstation user.
struct FieldProblem {
  const char* field;  // kSharedField, ...
  std::string message;
};
std::vector<FieldProblem> FieldProblems(const AccountFields& fields);
// The first warning, or "" when the button takes the fields.
std::string CheckFields(const AccountFields& fields);

// The button "生成用户及目录". Its plan only reads: it refuses (with the
// warning the button shows) while the script numbered `script` (0: none)
// still runs, for fields it does not take, for a folder it cannot make (a
// drive that is not there, a file in the folder's place), for c:\temps.bak
// or the script where it cannot write them, and without the command
// interpreter. Otherwise it makes the shared directory and the user
// directories that are not there, writes c:\temps.bak and the script, and
// starts the script. It declares the server check's items "共享目录" and
// "用户目录"; the script and its run count as nothing to do when every folder
// is there (the accounts are made with their folders), c:\temps.bak when it
// already names the shared directory.
plan::Plan PlanUsers(platform::Host& host, const AccountFields& fields, int script = 0);
// Carries out a plan of PlanUsers for the same fields: a refused plan's
// warning shown; else the folders with the progress bar moving on, then
// c:\temps.bak and the script, then the script started unseen (its number
// in `script`), and the notice that the accounts are on their way. A folder
// that cannot be made stops it before anything is written; so does a file
// that cannot be written before the script runs.
void ApplyUsers(platform::Host& host, platform::Ui& ui, const plan::Plan& plan, const AccountFields& fields,
                platform::ProgressBar& progress, int* script);
// The button: its plan carried out.
void GenerateUsers(platform::Host& host, platform::Ui& ui, const AccountFields& fields,
                   platform::ProgressBar& progress, int* script);

// The exit button's clean-up: deletes the account script, unless the script
// numbered `script` still runs and reads it; false then, the file kept.
bool RemoveAccountScript(platform::Host& host, int script);

// The button "编辑信息文件". Its plan only reads: Notepad opens the
// workstation names file below the shared directory's Windows; when the file
// is absent the button first asks (the plan's question) and makes it empty.
// It declares the check's item "工作站信息文件": a folder in the file's place,
// or no Windows uploaded to the shared directory, is the administrator's
// (the button goes ahead all the same, and Notepad finds no file).
plan::Plan PlanNamesFile(platform::Host& host, const std::string& shared_directory);
// The button: the question asked when the plan has it, then the plan
// carried out (the empty file, Notepad).
void EditNamesFile(platform::Host& host, platform::Ui& ui, const std::string& shared_directory);
// The plan's empty file without Notepad; false when the file is not there
// afterwards.
bool MakeNamesFile(platform::Host& host, const std::string& shared_directory);

}  // namespace accounts
