#include "rpl/service.h"

#include "base/paths.h"

namespace rpl {

plan::Plan PlanRemoteboot(platform::Host& host) {
  plan::Plan p;
  p.button = "开启远程启动";
  p.how = "在 RPL 页上按“开启远程启动”";
  p.Program(paths::RemotebootStart(host.WindowsDirectory()), "远程启动服务的运行状态", "");
  return p;
}

void StartRemoteboot(platform::Host& host, platform::ProgressBar& bar) {
  const plan::Plan p = PlanRemoteboot(host);
  host.RunCommand(p.changes.front().path, platform::kHide);
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
