// The installation of the Windows 98 boot files into a Remoteboot profile:
// the boot image unpacked, the service's Windows 95 files replaced, the
// profile's suboot and suboot\winboot built, and this server, share and
// (for a card other than the RTL8139) driver written into its files.
#pragma once

#include <string>

#include "platform/controls.h"
#include "platform/platform.h"

namespace rpl {

struct InstallInput {
  std::string profile;           // ComboBox2
  std::string nic_type;          // ComboBox1
  std::string shared_directory;  // Edit1
  std::string system_root;
  std::string start_dir;
  std::string ndis_driver_name;  // the custom card's driver of this run
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

// The button "安装". `auto_register` is CheckBox1: cleared before the profile
// is built, which runs its switch.
void InstallWin98(platform::Host& host, platform::Ui& ui, const InstallInput& in,
                  platform::CheckBox& auto_register);

}  // namespace rpl
