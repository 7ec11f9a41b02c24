// The installation of the Windows 98 boot files into a Remoteboot profile:
// the boot image unpacked, the service's Windows 95 files replaced, the
// profile's suboot and suboot\winboot built, and this server, share and
// (for a card other than the RTL8139) driver written into its files.
#pragma once

#include <string>
#include <vector>

#include "base/plan.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "rpl/records.h"

namespace rpl {

struct InstallInput {
  std::string profile;           // ComboBox2
  std::string nic_type;          // ComboBox1
  std::string shared_directory;  // Edit1
  std::string system_root;
  std::string start_dir;
  std::string ndis_driver_name;  // the custom card's driver of this run
  // The database's records as rplcmd listed them, when the caller has
  // (the check lists once for all its plans); null: the plan lists them.
  const std::vector<Record>* records = nullptr;
};

// How long the unpacker may take before the installation gives up on it.
const unsigned kUnpackLimit = 60000;

// The four DOS start files written into the profile's suboot, with their lines.
struct StartFile {
  const char* name;
  std::vector<std::string> lines;
};
const std::vector<StartFile>& StartFiles();

// The 18 network-client files copied from the image's winboot, in order.
const std::vector<std::string>& ClientFiles();

// The driver name a profile installed for this card carries: "RTSND" for
// the RTL8139, "PCIND" for the RTL8029, the registered custom driver's name
// otherwise (empty when none was registered in this run).
std::string InstalledDriver(const std::string& nic_type, const std::string& ndis_driver_name);

// A file the installation puts in place: copied whole from `from`, or, when
// `from` is empty, written from `bytes`. It is first prepared beside its
// target, as the target's name and kStagedSuffix.
struct PlacedFile {
  std::string target;
  std::string from;
  std::string bytes;
};
const char kStagedSuffix[] = ".ins";

// What the profile's own files are made from: the image's setvars.bat and
// protocol.ini, its system.dat with the driver's name put in (not used for
// the RTL8139, whose profile takes the image's), and the server's name.
struct InstallContent {
  std::vector<std::string> setvars;
  std::vector<std::string> protocol_ini;
  std::string system_dat;
  std::string computer_name;
};

// Every file an installation writes, in the order they take their places:
// the profile's (its driver first, the files naming the driver last), the
// image's rtsnd.dos deleted from winboot when the profile names another
// driver (empty otherwise), then the service's Windows 95 io.sys and
// command.com.
struct InstallPlan {
  std::vector<PlacedFile> profile;
  std::string deleted;
  std::vector<PlacedFile> shared;
};
InstallPlan PlanInstallation(const InstallInput& in, const InstallContent& content);

// What stands in a plan's way, which the installation refuses before it
// changes anything and does not mend: the profile's files it must replace
// or delete that are read-only (one made so by hand, to keep it), and
// folders in the place of any file it writes, each list in the plan's order.
struct InTheWay {
  std::vector<std::string> read_only;
  std::vector<std::string> folders;
};
InTheWay FindInTheWay(platform::Host& host, const InstallPlan& plan);

// An installation's plan, and what its apply takes from it.
struct Installation {
  plan::Plan plan;
  bool asks = false;     // the profile looks like a DOS one: the button asks whether to go on
  bool declined = false; // answered no: nothing is done
  bool closes = false;   // the refusal ends the program (no boot image to unpack)
  bool card = false;     // the refusal is the card's: its registration is not whole, or cannot be seen
};

// The plan of "安装" for `in`; `go_on` is the answer to the DOS profile's
// question (null: not asked; the plan then lists it, or with
// `until_question` stops there). It reads only: files, folders and, for a
// Realtek card, rplcmd's listing of the database. What only the unpacked
// image tells is found by the apply.
Installation PlanInstall(platform::Host& host, const InstallInput& in, const bool* go_on,
                         bool until_question = false);

// The driver a profile's setvars.bat names (NETCARD), or the image's own
// RTSND.DOS when it names none; `readable` false when the file is there and
// cannot be read.
std::string ProfileDriver(platform::Host& host, const std::string& system_root, const std::string& profile,
                          bool* readable);

// Adds to an installation's plan what the profile holds of an earlier one
// (its item "配置 NAME"): a DOS profile, not installed, or each of its files,
// its driver, this server and share, and its start script's variant against
// what the installation writes. When all is today's, the plan's rewrites of
// the profile are refreshes; when it is not and the plan refuses, the item
// is unmet with the refusal's words and what to do.
void JudgeInstalled(platform::Host& host, const InstallInput& in, const bool* go_on, Installation* r);

// Carries out a plan that does not refuse: unpacks the image, checks it,
// and puts every file in place, staged and committed.
void ApplyInstall(platform::Host& host, platform::Ui& ui, const InstallInput& in, const Installation& plan,
                  platform::CheckBox& auto_register);

// The button "安装". Everything it needs is checked, and every file prepared,
// before the first file is replaced. `auto_register` is CheckBox1: cleared,
// which runs its switch, when all is prepared and before the profile's files
// take their places.
void InstallWin98(platform::Host& host, platform::Ui& ui, const InstallInput& in,
                  platform::CheckBox& auto_register);

}  // namespace rpl
