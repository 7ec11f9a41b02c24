// The stand-ins for the host's outside programs, registered on a simulated
// machine so that a program started there runs in process.
#pragma once

#include "platform/sim/sim_host.h"
#include "standins/standin.h"

namespace standins {

// Wraps a stand-in's entry as the simulated host calls it: its standard
// output and error both go to the host's output, output first; a program it
// runs and waits for prints into its output.
platform::Standin OnSimHost(Main main);

// Registers every stand-in: "command.com", "net", "rplcmd", ... (the
// Remoteboot Manager, a window, is not run on the simulated host: its start
// is only recorded).
void RegisterSimStandins(platform::SimHost& host);

}  // namespace standins
