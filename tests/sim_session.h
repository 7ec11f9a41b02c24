// A session at the simulated server: a fresh machine in a temporary
// directory, its window system, and the main window on it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/server.h"
#include "app/server_check_parts.h"
#include "platform/sim/sim_host.h"
#include "tests/standins/fuzz/fuzz_machine.h"

// The machine (root, host, Put, Get) is the fuzz targets' own.
class SimMachine : public standinfuzz::Machine {
 public:
  void MakeDirs(const std::string& path);
  // Every file and folder below a directory of the simulated machine, with
  // the files' bytes and attributes: compared before and after a step that
  // must change nothing.
  std::map<std::string, std::string> Tree(const std::string& dir);

  platform::SimUi ui{host};
  std::unique_ptr<app::TForm1> form;
  // Creates the main window and runs its creation handler, as at start-up.
  void Start();
  // The vendor-prefix dialog answered with a prefix and OK.
  void AnswerPrefix(const std::string& mac);
  // The driver chooser answered with a driver path and a prefix, then OK.
  void AnswerDriver(const std::string& path, const std::string& mac);
  std::vector<platform::SimEvent>& journal() { return host.journal(); }
};

// The marks of the check's items made of `plans` on `road`, "?" where the
// item is not the one `items` names.
std::string CheckMarks(app::Road road, std::initializer_list<plan::Plan> plans, const std::vector<std::string>& items);

namespace platform {
// Journal events as tests print them when a comparison fails.
inline void PrintTo(const SimEvent& e, std::ostream* os) {
  *os << "{" << e.kind << ", \"" << e.text << "\", \"" << e.caption << "\", " << e.flags << "}";
}
}  // namespace platform

// The same as a test fixture.
class SimSession : public ::testing::Test, public SimMachine {};
