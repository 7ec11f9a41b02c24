// What a stand-in for one of the host's outside programs is given: the
// machine it runs on, its arguments, its standard input, a way to run another
// program and wait for it, and places for what it prints.
//
// A stand-in is a library: the simulated host calls it in process, and a small
// console program for Windows calls it on the demo server.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace standins {

class Context {
 public:
  explicit Context(platform::Host& host) : host(host) {}
  virtual ~Context() = default;

  // Runs a command line to its end and returns its exit code; -1 when the
  // program cannot be started. What the program prints goes where this
  // program's output goes, or into `printed` (UTF-8) when it is given.
  virtual int RunAndWait(const std::string& command_line, const std::string& input,
                         std::string* printed = nullptr) = 0;

  platform::Host& host;
  std::string arguments;  // the command line after the program's name, as typed
  std::string input;   // standard input, UTF-8
  std::string output;  // standard output, UTF-8
  std::string error;   // standard error, UTF-8
};

// Standard input (already UTF-8) split into lines at CR LF, CR or LF, up to a
// Ctrl-Z; a last line without its line end still counts.
inline std::vector<std::string> InputLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\x1A') break;
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      continue;
    }
    line += c;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// A stand-in's entry: the words after the program's name; returns the exit code.
using Main = int (*)(Context& context, const std::vector<std::string>& args);

}  // namespace standins
