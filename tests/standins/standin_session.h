// A simulated server with the stand-ins registered, and ways to read the
// records the net stand-in keeps.
#pragma once

#include <string>
#include <vector>

#include "platform/textfile.h"
#include "standins/net/net.h"
#include "standins/sim_standins.h"
#include "tests/sim_session.h"

class StandinMachine : public SimMachine {
 public:
  StandinMachine() { standins::RegisterSimStandins(host); }

  // Runs a command line to its end; its exit code, and what it printed in `out`.
  int Run(const std::string& command_line, std::string* out = nullptr,
          const std::string& input = "") {
    std::string printed;
    int code = host.RunAndWait(command_line, input, &printed);
    if (out) *out = printed;
    return code;
  }

  // The lines of a text file (UTF-8), or {"<absent>"}.
  std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    if (!platform::ReadTextLines(host, path, &lines)) return {"<absent>"};
    return lines;
  }
  // The lines of one record file of the net stand-in.
  std::vector<std::string> Records(const std::string& file) {
    return Lines(standins::NetStateDirectory(host) + file);
  }
};

// The same as a test fixture (whose Run is the machine's, not the test's own).
class StandinSession : public ::testing::Test, public StandinMachine {
 protected:
  using StandinMachine::Run;
};

// `part` `n` times over: a name of n characters.
inline std::string Times(const std::string& part, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += part;
  return s;
}
