// Inside registration's plan: one plan in the making, and the steps that fill it in.
#pragma once

#include <string>
#include <vector>

#include "base/paths.h"
#include "base/plan.h"
#include "platform/platform.h"
#include "rpl/records.h"
#include "rpl/register.h"

namespace rpl {
namespace registration {

std::string FolderOf(const std::string& path);

// Whether a file is on the server. "Absent" is trusted only where nothing
// can hide the file: no folder to hold it, or a folder that can be listed
// (the look-up of a file in a folder that cannot be listed finds nothing).
enum class There { kPresent, kAbsent, kUnknown };
There Look(platform::Host& host, const std::string& path);

// Names joined by "、", as the check's report writes them.
std::string Names(const std::vector<std::string>& names);

// A folder's path without the "\" it may end in.
std::string Folder(const std::string& path);

extern const char kService[];

// The first need a plan found unmet, in the order of the items: what a
// refused plan's items wait for. "" when there is none.
std::string FirstUnmet(const plan::Plan& p);

// The items registration looks at that the service's tree holds: its
// programs, its Windows 95 files (the Windows configuration boots from
// them), the folders and FIT files the records name, what the program
// brings, the DOS 6.22 files, the NE2000 templates and the Windows
// directory. The refusals among them come in the button's order, later.
struct TreeLook {
  std::vector<std::string> missing_programs, missing_win95, absent_parts, absent_folders, absent_files;
  std::vector<std::string> dos_in_the_way;   // folders where a DOS 6.22 file goes
  std::vector<std::string> dos_absent;       // DOS 6.22 files the tree lacks (short names)
  std::vector<std::string> dos_no_source;    // their sources the program lacks (short names)
  std::vector<std::string> missing_templates;
  bool tree = false;
};

// One registration's plan as its steps make it, in the button's order: the
// card chosen, what the server holds (register_look.cpp), the refusals
// before the dialog, the dialog's answers, the refusals after them, and the
// changes (register.cpp).
class Planner {
 public:
  Planner(platform::Host& host, const RegistrationInput& in, const RegistrationAnswers* answers)
      : host(host), in(in), answers(answers) {}
  Registration Plan();

 private:
  // register.cpp: the card, the refusals and the changes.
  bool ChooseCard();          // 1. a card type chosen; false when the plan refuses
  void RefuseBeforeDialog();  // the refusals before the dialog: the service, the tree, the DOS 6.22 files
  bool JudgeAnswers();        // 3. the dialog's answers; false when the plan refuses
  void TakeCardColumn();      // what registration does for this card type
  bool RefuseAfterAnswers();  // 4.-6. the card's files, its records, the files to bring; false when refused
  void PlanChanges();         // the changes, for the card's item
  // A refusal: the first of the button's, in its order. `need`: the item
  // whose need stops it ("" for the card's own).
  void Refuse(const std::string& need, const std::string& text, const std::string& todo, bool admin);
  // The card's item once the plan refuses: what stops it, and what it waits for.
  void CardRefusal();

  // register_look.cpp: what the server holds.
  void LookAtTree();       // 2. the service's tree item by item, and what the program brings
  void JudgeDosFiles();    // the DOS 6.22 files' item
  void LookAtCardFiles();  // the card's files, the NE2000 templates and the Windows directory
  void LookAtDatabase();   // the database as rplcmd lists it, and what the card's item finds

  platform::Host& host;
  const RegistrationInput& in;
  const RegistrationAnswers* answers;
  Registration r;
  plan::Plan& p = r.plan;
  const std::string& root = in.system_root;
  const std::string& start = in.start_dir;
  const std::string& block = r.block;
  const std::string tree = paths::RemotebootTree(in.system_root);
  bool realtek = false, custom = false, asked = false;
  std::string chosen;  // a custom card's driver, when the answers give it
  TreeLook t;
  std::string prereq;  // the item whose need stops the plan ("" for the card's own)
  // The card's files (its driver and boot-block files), which of them are
  // there, and the boot-block files absent.
  std::vector<std::string> files;
  std::vector<There> there;
  std::vector<std::string> absent_blocks;
  // The database as rplcmd lists it (`unlisted`: why not), and what the
  // card's item finds.
  std::vector<Record> listed;
  std::string unlisted, found;
  bool rplcmd = false;
  bool cards_listed = true;
  std::string item;
  std::vector<std::string> vendors, missing_files, folders;
  bool records_to_add = false;  // the card's records are to be added
};

}  // namespace registration
}  // namespace rpl
