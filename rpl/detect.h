// Detection of the chosen card type: is the Remoteboot service with its
// Windows 95 boot files installed, and is the card already registered (its
// driver and its boot-block files in the boot-block tree)? The answer unlocks
// registration or installation.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "rpl/records.h"

namespace rpl {

// The card types of the card list, exactly as the list holds them.
extern const char kRtl8139[];  // "RTL 8139"
extern const char kRtl8029[];  // "RTL 8029"
extern const char kOtherCard[];  // "Other NetCARD"

// The card type of a boot-block folder ("rtsnd", "pcind", or a custom card's
// driver name), as the card list names it.
const char* CardType(const std::string& block);

// The files a registration puts in the Remoteboot tree below `root` for the
// card of boot-block folder `block`: its DOS NDIS driver bblock\ndis\BLOCK.dos,
// then its boot-block files in bblock\netbeui\BLOCK.
std::vector<std::string> CardFiles(const std::string& root, const std::string& block);

// Whether all the card's files are there. A boot-block folder holding none
// of them (what a registration that did not complete leaves behind) is no
// card at all.
bool CardRegistered(platform::Host& host, const std::string& root, const std::string& block);
bool IsCard(platform::Host& host, const std::string& root, const std::string& block);

// What the service boots of a card: its files, and its records in the
// Remoteboot database as rplcmd lists them (records.h). A card is
// registered when both are whole.
enum class CardState {
  kRegistered,     // every file there, and a vendor whose records boot it
  kNoRecords,      // files there (some or all), no vendor boots it
  kNoFiles,        // a vendor boots it, some or all of its files are gone
  kNone,           // neither files nor records: never registered
};
CardState JudgeCard(platform::Host& host, const std::string& root, const std::string& block,
                    const std::vector<Record>& records);

// The button detection unlocks, if any.
enum class Unlock { kNone, kConfigure, kInstall };

// The button "检测": one message, then the button to unlock. A Realtek card
// counts as registered only with its driver, its boot-block files and its
// records in the database (rplcmd is asked, changing nothing), so that a
// card missing one of them is sent to registration, which makes them. A
// database rplcmd cannot list unlocks nothing, and the message says why.
Unlock DetectCard(platform::Host& host, platform::Ui& ui, const std::string& nic_type,
                  const std::string& system_root);

}  // namespace rpl
