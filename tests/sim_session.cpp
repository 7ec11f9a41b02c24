#include "tests/sim_session.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "rpl/driver_chooser.h"
#include "rpl/vendor_prefix_dialog.h"

namespace fs = std::filesystem;

namespace {

std::string FreshRoot() {
  std::string tmpl = (fs::temp_directory_path() / "simhost-XXXXXX").string();
  return mkdtemp(&tmpl[0]);
}

}  // namespace

SimMachine::SimMachine() : root(FreshRoot()), host(root) {}

SimMachine::~SimMachine() {
  std::error_code ec;
  fs::remove_all(root, ec);
}

void SimMachine::MakeDirs(const std::string& path) {
  fs::create_directories(host.NativePath(path));
}

void SimMachine::Put(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(host.NativePath(path)).parent_path());
  std::ofstream(host.NativePath(path), std::ios::binary) << bytes;
}

std::string SimMachine::Get(const std::string& path) {
  std::string native = host.NativePath(path);
  if (!fs::is_regular_file(native)) return "<absent>";
  std::ifstream in(native, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
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
