// The command interpreter of the server, as the configuration tool uses it:
//   command.com /c FILE.BAT        runs a batch file, line by line
//   command.com /c PROGRAM ARGS    runs one program and waits for it
//   command.com /c PROGRAM ARGS <FILE
//                                  the same, with FILE as its standard input
// Without /c it reads commands from its standard input, one a line, until
// EXIT or the end of the input.
//
// Inside a batch file: "@" before a line keeps it from being echoed; ECHO
// ON|OFF|text|. ; REM; labels (":name") are skipped; a line naming another
// batch file continues in that file and does not come back, CALL comes back.
// CALLs nest at most 32 deep (a deeper CALL is refused with a message), and
// one run starts at most 256 batch files in all (then the run stops with a
// message), so that batch files naming one another never run for ever.
// Every other line starts a program through the context and waits for it.
// Not handled: %variables and %1 parameters, GOTO, IF, FOR, SHIFT, PAUSE,
// output redirection (">", ">>") and pipes ("|").
#pragma once

#include <string>
#include <vector>

#include "standins/standin.h"

namespace standins {

int CommandMain(Context& context, const std::vector<std::string>& args);

}  // namespace standins
