// A simulated server with the stand-ins registered, and ways to read the
// records the net stand-in keeps.
#pragma once

#include <string>
#include <vector>

#include "platform/textfile.h"
#include "standins/net/net.h"
#include "standins/sim_standins.h"
#include "tests/sim_session.h"

class StandinSession : public SimSession {
 protected:
  StandinSession() { standins::RegisterSimStandins(host); }

  // Runs a command line to its end; its exit code, and what it printed in `out`.
  int Run(const std::string& command_line, std::string* out = nullptr,
          const std::string& input = "") {
    std::string printed;
    int code = host.RunAndWait(command_line, input, &printed);
    if (out) *out = printed;
    return code;
  }

  // The lines of one record file of the net stand-in (UTF-8), or {"<absent>"}.
  std::vector<std::string> Records(const std::string& file) {
    std::vector<std::string> lines;
    if (!platform::ReadTextLines(host, standins::NetStateDirectory(host) + file, &lines))
      return {"<absent>"};
    return lines;
  }

  // The bytes of every record file, to see that nothing changed.
  std::string AllRecords() {
    std::string all;
    for (const char* file : {"users.txt", "groups.txt", "shares.txt", "services.txt"})
      all += std::string(file) + ":" + Get(standins::NetStateDirectory(host) + file) + "\n";
    return all;
  }
};
