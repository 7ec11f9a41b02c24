#include "tests/sim_session.h"

#include <sys/resource.h>

#include <filesystem>

#include "rpl/driver_chooser.h"
#include "rpl/vendor_prefix_dialog.h"

namespace fs = std::filesystem;

// Every test binary of the simulated server: a handler that runs away with
// the memory (a loop over two thousand million users that calls no host)
// ends in std::bad_alloc and a failed test, not in the machine's swap.
[[maybe_unused]] static const bool kMemoryLimited = [] {
  const rlimit memory = {3UL << 30, 3UL << 30};
  return setrlimit(RLIMIT_AS, &memory) == 0;
}();

void SimMachine::MakeDirs(const std::string& path) {
  fs::create_directories(host.NativePath(path));
}

std::map<std::string, std::string> SimMachine::Tree(const std::string& dir) {
  std::map<std::string, std::string> tree;
  const fs::path top = host.NativePath(dir);
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(top, ec)) {
    const std::string rel = fs::relative(e.path(), top).string();
    const std::string windows = dir + "\\" + rel;
    tree[rel] = e.is_directory() ? "<folder>"
                                 : Get(windows) + " attributes " + std::to_string(host.Attributes(windows));
  }
  return tree;
}

void SimMachine::Start() {
  form = std::make_unique<app::TForm1>(host, ui);
  form->FormCreate();
}

void SimMachine::AnswerPrefix(const std::string& mac) {
  ui.OnModal<rpl::TForm3>([mac](rpl::TForm3& d) {
    d.MAC.SetText(mac);
    return platform::kMrOk;
  });
}

void SimMachine::AnswerDriver(const std::string& path, const std::string& mac) {
  ui.OnModal<rpl::TGetNetDrv>([path, mac](rpl::TGetNetDrv& d) {
    d.NDISTALK.SetText(path);
    d.MACTALK.SetText(mac);
    return platform::kMrOk;
  });
}

std::string CheckMarks(app::Road road, std::initializer_list<plan::Plan> plans, const std::vector<std::string>& items) {
  app::ServerCheck check;
  for (const plan::Plan& p : plans) app::AddPlan(&check, road, p);
  std::string marks;
  for (size_t i = 0; i < check.items.size() || i < items.size(); ++i)
    marks += i >= check.items.size() || i >= items.size() || check.items[i].what != items[i] ? "?" : app::StateMark(check.items[i].state);
  return marks;
}
