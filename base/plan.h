// What a button will do, before it does it. A button that changes the server
// first makes its plan, which only reads: either its refusal (the message it
// shows, and what the administrator must do), or the list of what it will
// change: the folders to make, the files to write, replace or delete (each
// with where its new bytes come from), the programs to start (with the
// folders each may change), and the questions still to ask. The button then
// carries out exactly that plan. The server check, the answer file's
// judgement and the dry run are made of the same plans.
#pragma once

#include <string>
#include <vector>

namespace plan {

struct Change {
  enum Kind { kFolder, kWrite, kReplace, kDelete, kProgram, kRemoveFolder };
  Kind kind;
  std::string path;  // the folder or the file; for a program, its command line
  // kWrite, kReplace: where the new bytes come from (a file, or what the
  // program writes, in words); kProgram: the folders and files it may
  // change, joined by "；".
  std::string from;
  std::string item;  // the item of the server check this change makes
  // The plan expects this change to leave what is there as it is: a button
  // that always rebuilds (the boot image) lists its rebuild, and marks it so
  // when what is there is already today's. The button does it all the same;
  // the check counts it as nothing to do.
  bool refresh = false;
  // kProgram: a window the administrator works in (an installer, Notepad):
  // what it changes comes after the button has returned.
  bool shown = false;
};

// Something a plan looked at: what the button needs (a program, a file, a
// field it takes) or what it makes, named as the server check's item names
// it ("镜像工具", "已安装的启动镜像", "配置 NE2KWIN"). An unmet need is a
// reason to refuse; a met one says what was found.
struct Need {
  std::string item;
  bool met = true;
  bool unreadable = false;  // the plan could not see it (a locked file, a listing refused)
  std::string found;        // what was found, in words
  std::string todo;         // when not met: what to do
  bool administrator = false;  // when not met: no step of this program mends it
};

struct Plan {
  std::string button;  // the button's caption, as the window shows it

  // The refusal, when the button would refuse: what it shows (a message box
  // with its caption and flags, or a notice with an empty caption), and
  // what the administrator must do about it. `administrator`: no step of
  // this program mends it (a file to fetch, a service to add).
  bool refused = false;
  std::string message, caption;
  unsigned flags = 0;
  std::string todo;
  bool administrator = false;

  std::vector<Need> needs;  // every item the plan looked at, in the order it looked
  std::vector<Change> changes;
  std::vector<std::string> questions;  // still to ask, in words
  std::vector<std::string> unknown;    // what could not be known beforehand, in words
  // How the administrator makes the button do this plan, as the check's
  // advice says it: the steps to reach and press it, with its answers
  // ("在“网卡类型”中选 RTL 8139，按“检测”，再按“配置Rpl”，填工作站网卡地址的前六位").
  std::string how;

  bool Refused() const { return refused; }
  // Nothing to do: not refused, and nothing would change.
  bool Nothing() const { return !refused && changes.empty(); }

  void Refuse(const std::string& text, const std::string& box_caption, unsigned box_flags,
              const std::string& what_to_do, bool only_the_administrator);
  // Each change, for the check's item `item`.
  void Folder(const std::string& path, const std::string& item) {
    changes.push_back({Change::kFolder, path, "", item});
  }
  void Write(const std::string& path, const std::string& source, const std::string& item) {
    changes.push_back({Change::kWrite, path, source, item});
  }
  void Replace(const std::string& path, const std::string& source, const std::string& item,
               bool refresh = false) {
    changes.push_back({Change::kReplace, path, source, item, refresh});
  }
  void Delete(const std::string& path, const std::string& item) {
    changes.push_back({Change::kDelete, path, "", item});
  }
  void Program(const std::string& command_line, const std::string& may_change, const std::string& item) {
    changes.push_back({Change::kProgram, command_line, may_change, item});
  }
  void ShownProgram(const std::string& command_line, const std::string& may_change, const std::string& item) {
    changes.push_back({Change::kProgram, command_line, may_change, item, false, true});
  }
  // What was looked at: met, or not (the refusal is the first unmet need's).
  void Met(const std::string& item, const std::string& found) { needs.push_back({item, true, false, found, "", false}); }
  void Unmet(const std::string& item, const std::string& found, const std::string& what_to_do,
             bool only_the_administrator) {
    needs.push_back({item, false, false, found, what_to_do, only_the_administrator});
  }
  // What the plan could not see (a locked file, a registry value it cannot
  // read): the check shows it as unreadable, with what to do.
  void Unreadable(const std::string& item, const std::string& found, const std::string& what_to_do) {
    needs.push_back({item, false, true, found, what_to_do, false});
  }
};

// The plan in lines, for the dry run and the check's window: the refusal
// with what to do, or each change, question and unknown, one a line.
std::vector<std::string> Describe(const Plan& plan);
// One change in a line, as Describe writes it ("替换 PATH（FROM）").
std::string Describe(const Change& change);

// The folders and files a program may change, those of them that are
// paths; the same for all the plan's programs, in the plan's order.
std::vector<std::string> PlacesOf(const Change& program);
std::vector<std::string> ProgramPlaces(const Plan& plan);

// Whether the plan lists `path` (a file or folder, any case): as a change's
// own path, or inside a folder the plan makes, or among what one of its
// programs may change (a listed folder with everything below it).
bool Lists(const Plan& plan, const std::string& path);

}  // namespace plan
