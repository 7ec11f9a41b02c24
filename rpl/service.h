// The Remoteboot service and its manager, started for the administrator.
#pragma once

#include <string>

#include "base/plan.h"
#include "platform/controls.h"
#include "platform/platform.h"

namespace rpl {

// The button "开启远程启动": starts the service unseen, by the system's own
// net.exe, and moves the bar through 20, 40, 60, 80 and 100 at 600 ms steps,
// then back to 0.
void StartRemoteboot(platform::Host& host, platform::ProgressBar& bar);

// Its plan: the service started by net.exe, which changes only the
// service's own state. It reads nothing and never refuses.
plan::Plan PlanRemoteboot(platform::Host& host);

// The button "启动管理器": the Remoteboot Manager, shown.
void StartManager(platform::Host& host, const std::string& system_root);

}  // namespace rpl
