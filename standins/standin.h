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
  // program cannot be started.
  virtual int RunAndWait(const std::string& command_line, const std::string& input) = 0;

  platform::Host& host;
  std::string arguments;  // the command line after the program's name, as typed
  std::string input;   // standard input, UTF-8
  std::string output;  // standard output, UTF-8
  std::string error;   // standard error, UTF-8
};

// A stand-in's entry: the words after the program's name; returns the exit code.
using Main = int (*)(Context& context, const std::vector<std::string>& args);

}  // namespace standins
