// Detection of the chosen card type: is the Remoteboot service with its
// Windows 95 boot files installed, and is the card's driver already in the
// boot-block tree? The answer unlocks registration or installation.
#pragma once

#include <string>

#include "platform/platform.h"

namespace rpl {

// The card types of the card list, exactly as the list holds them.
extern const char kRtl8139[];  // "RTL 8139"
extern const char kRtl8029[];  // "RTL 8029"
extern const char kOtherCard[];  // "Other NetCARD"

// The button detection unlocks, if any.
enum class Unlock { kNone, kConfigure, kInstall };

// The button "检测": one message, then the button to unlock.
Unlock DetectCard(platform::Host& host, platform::Ui& ui, const std::string& nic_type,
                  const std::string& system_root);

}  // namespace rpl
