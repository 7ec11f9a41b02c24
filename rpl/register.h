// Registration of a card type with the Remoteboot service: the DOS 6.22
// files, the vendor prefix (and for a custom card its driver), the database
// script, the driver and boot-block files, rplcmd, the manager.
#pragma once

#include <string>

#include "base/plan.h"
#include "platform/platform.h"
#include "rpl/card_names.h"
#include "rpl/records.h"
#include "rpl/vendor_prefix_dialog.h"
#include "rpl/driver_chooser.h"

namespace rpl {

// What registration reads besides its dialogs.
struct RegistrationInput {
  std::string nic_type;     // ComboBox1
  std::string system_root;  // the server's Windows directory
  std::string start_dir;    // the program's own directory
  // A custom card's boot-block name when its driver is not chosen (the
  // check plans the registration of a card whose driver is nowhere).
  std::string card;
  // The database as rplcmd listed it (`unlisted`: why not), when the caller
  // has asked already: the check asks once for all its plans.
  bool listed = false;
  std::vector<Record> records;
  std::string unlisted;
};

// The answers of registration's dialog: the vendor prefix (Form3, or the
// chooser's field), and a custom card's driver. A plan made without the
// dialog's answers (`answered` false) judges what it can without the vendor
// and lists the questions; the check gives a custom card's driver it knows
// of (the tree's copy) as `driver`.
struct RegistrationAnswers {
  bool answered = false;
  std::string vendor;
  std::string driver;
  bool until_dialog = false;  // plan only what is refused before the dialog shows
};

// A registration's plan, and what its apply takes from it.
struct Registration {
  plan::Plan plan;
  std::string root, vendor, block;
  std::string driver_source, driver_target;
  bool keep_existing_driver = true;  // a Realtek driver there is kept
  std::string script_driver, dos_comment, windows_comment, vendor_comment, done;
  std::vector<std::pair<std::string, std::string>> dos;  // DOS 6.22 files to copy: from, to
  std::vector<Record> missing_records;   // the card's records the database lacks
  std::vector<std::string> absent;       // the card's files to bring (driver, boot-block files)
  bool driver_there = false;
  bool asks = false;              // the plan came as far as the dialog
  bool named = false;             // the answers passed: the card's name is known
  size_t missing_templates = 0;  // NE2000 templates a refusal found missing
};

// The plan of "配置Rpl" for `in` with `answers` (null: the dialog not yet
// asked). It only reads: files and folders, and rplcmd's listing of the
// database. Its items are the server check's RPL items up to the card's.
Registration PlanRegistration(platform::Host& host, const RegistrationInput& in, const RegistrationAnswers* answers);

// Carries out a plan that does not refuse, staged and committed: what was
// there stays byte for byte on any failure. True when the card is
// registered afterwards.
bool ApplyRegistration(platform::Host& host, platform::Ui& ui, const Registration& r);

// The check's name of a card's item: "网卡 RTL 8139（rtsnd）".
std::string CardItem(const std::string& block);

// The cards the server has: each boot-block folder but the NE2000's that
// holds one of a card's files, a Realtek card whose driver alone is there,
// and the cards of the database's records. False when the boot-block
// folder cannot be listed.
bool KnownCards(platform::Host& host, const std::string& root, const std::vector<Record>& records,
                std::vector<std::string>* cards);

// What a custom card's registration sets: the chosen driver's path as soon as
// the chooser is confirmed, its base name once every check has passed.
struct CustomDriver {
  std::string path;  // NdisDriverPath
  std::string name;  // NdisDriverName
};

// How long rplcmd may take before the registration gives up on it.
const unsigned kRplcmdLimit = 60000;

// The button "配置Rpl". True when the card is registered afterwards (the
// install button is then unlocked and this one locked, and a custom card's
// driver name set for the installation):
// - rplcmd, started itself with the script as its input, finished with the
//   exit status 0, and the card's files are in place; or
// - rplcmd added nothing and, asked for a list, listed the card's own
//   records (those the script adds, tied to this card's boot-block files):
//   the message says the card is registered already, and only the files it
//   lacked were added.
// The card's boot-block files that are there stay byte for byte (they may
// hold settings made by hand); those absent, and an absent driver, are made
// and put in place before rplcmd runs; a custom card's driver that is there
// is replaced only after rplcmd has succeeded (a Realtek driver is kept).
// At the first step that fails a warning names it, and the script, the new
// files and the ones brought are taken away: every file that was there stays
// byte for byte as it was, and the manager is not started.
bool RegisterCard(platform::Host& host, platform::Ui& ui, const RegistrationInput& in,
                  TForm3& form3, TGetNetDrv& chooser, CustomDriver* custom);

}  // namespace rpl
