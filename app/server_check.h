// The check of the whole server: what each road needs (accounts, PXE, RPL),
// what is there, what is missing or stale, and what of this program mends it.
// It only looks: files and folders are tested, listed and read, registry
// values read, and nothing is written, made, removed or started.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace app {

// kAdmin: not ready, and no step of this program mends it; the administrator
// does it by hand (a file to fetch, a program outside this one).
enum class CheckState { kReady, kMissing, kStale, kAdmin, kUnreadable };
enum class Road { kAccounts, kPxe, kRpl };

struct CheckItem {
  Road road;
  std::string what;   // what is checked ("共享目录", "配置 W8139")
  CheckState state;
  std::string found;  // what the check found
  // When not ready: what mends it, as steps joined by "，" (server_check_parts.h
  // lists the words of the steps this program takes).
  std::string mend;
  // When its button would change it: what it would change, one a line
  // (plan::Describe's words).
  std::vector<std::string> changes;
};

// What the check reads besides the machine: the main window's fields and
// what it keeps.
struct CheckInput {
  std::string shared_directory;      // Edit1
  bool shared_directory_unread = false;  // c:\temps.bak is there but cannot be read
  std::string prefix, count, group;  // Edit2, Edit3, Edit4: the fields the account button would take
  std::string start_dir;             // the program's directory
  std::string system_root;
};

struct ServerCheck {
  std::string computer_name;  // today's, from the registry
  std::string share;          // today's share name of the shared directory
  std::vector<CheckItem> items;  // the accounts first, then PXE, then RPL
};

ServerCheck CheckServer(platform::Host& host, const CheckInput& in);

// The items' words, marks and headings as the report shows them.
const char* StateWord(CheckState state);  // "就绪", "缺少", "过期", "需管理员", "无法读取"
const char* StateMark(CheckState state);  // "√", "×", "△", "！", "？"
const char* RoadHeading(Road road);

// The counts of the states in one line: the ready ones always, the others
// where there are any ("共 20 项：就绪 12 项，缺少 6 项，过期 2 项。").
std::string CheckSummary(const ServerCheck& check);
// The report as text, lines ended by CR LF: what was checked with, the
// summary, then each road's heading followed by its items.
std::string ReportText(const ServerCheck& check, const CheckInput& in);
// 0 when every item is ready, 1 when something is missing, stale or needs the
// administrator, 2 when something could not be read (the check could not see
// all of the server).
int CheckStatus(const ServerCheck& check);

// What the check reads without the main window, as its start-up would: the
// shared directory of c:\temps.bak (or the field's first text), the fields'
// first texts, the current directory and the registry's SystemRoot.
CheckInput StartupInput(platform::Host& host);

// "/check FILE" on the program's command line (the words after the program's
// name): writes the report into FILE in code page 936 and returns the exit
// status: CheckStatus, or 2 when FILE is missing or cannot be written whole.
// -1 when the words are not this command (the program opens its window).
int CheckCommand(platform::Host& host, const std::vector<std::string>& words);

}  // namespace app
