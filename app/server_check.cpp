// The server check: the whole of it, and what its roads share.
#include "app/server_check.h"

#include "app/server_check_parts.h"
#include "base/names.h"
#include "base/paths.h"
#include "platform/text.h"

namespace app {

std::vector<std::string> MissingFiles(platform::Host& host, const std::vector<std::string>& paths,
                                      bool short_names) {
  std::vector<std::string> missing;
  for (const std::string& path : paths)
    if (!host.FileExists(path)) missing.push_back(short_names ? path.substr(path.find_last_of('\\') + 1) : path);
  return missing;
}

ServerCheck CheckServer(platform::Host& host, const CheckInput& in) {
  ServerCheck check;
  check.computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  check.share = base::ShareName(in.shared_directory);
  CheckAccounts(host, in, &check);
  CheckPxe(host, in, &check);
  CheckRpl(host, in, &check);
  return check;
}

}  // namespace app
