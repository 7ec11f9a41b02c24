// The Remoteboot configurations (profiles) of the server: their listing, the
// update of the profile list, and the switch of a profile's workstation start
// script between its two variants (workstation auto-registration).
#pragma once

#include <string>
#include <vector>

#include "base/plan.h"
#include "platform/platform.h"

namespace rpl {

// The profile listing: every entry of the profiles directory, directories
// and files alike, hidden and system entries left out, in the file system's
// order, of the first 256 entries; the "." and ".." entries are skipped by
// their names. A missing directory lists nothing.
std::vector<std::string> ListProfiles(platform::Host& host, const std::string& system_root);

// A DOS profile has a dosshell.ini in its wksta.pro.
bool IsDosProfile(platform::Host& host, const std::string& system_root, const std::string& name);

// The profiles the list offers: the listing without the DOS profiles.
std::vector<std::string> ProfileChoices(platform::Host& host, const std::string& system_root);

// The auto-registration switch, for the box's new state: writes the chosen
// profile's start script as the auto-registering variant when set, the
// standard one when cleared. A setting that cannot be applied (no profile
// chosen, or one without the Windows 98 files) is refused with a message;
// true then, and the box must be cleared. A start script that cannot be
// written is reported, set or cleared, and true: the box must go back to
// the state it had, which is what the file still holds.
bool SwitchAutoRegistration(platform::Host& host, platform::Ui& ui, const std::string& system_root,
                            const std::string& profile, bool set);

// The switch's plan for the box's new state `set`: the refusal of a setting
// that cannot apply (none for a clearing, which then does nothing), or the
// start script rewritten as the variant asked for; nothing when it already
// is that variant, byte for byte. It only reads.
plan::Plan PlanAutoRegistration(platform::Host& host, const std::string& system_root, const std::string& profile,
                                bool set);

}  // namespace rpl
