#include "rpl/service.h"

#include "base/paths.h"

namespace rpl {

void StartRemoteboot(platform::Host& host, platform::ProgressBar& bar) {
  host.RunCommand(paths::RemotebootStart(host.WindowsDirectory()), platform::kHide);
  // The bar follows the clock, not the service: it only shows that
  // something is under way.
  for (int position = 20; position <= 100; position += 20) {
    host.Pause(600);
    bar.SetPosition(position);
  }
  host.Pause(600);
  bar.SetPosition(0);
}

void StartManager(platform::Host& host, const std::string& system_root) {
  host.RunCommand(paths::RplManager(system_root), platform::kShowNormal);
}

}  // namespace rpl
