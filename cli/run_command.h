#pragma once
// Running one tarvex-cli command with the program's conventions: a malformed
// command line prints its message and the usage and gives 2; any other
// failure prints one line on standard error and gives 1.

#include "cli/commands.h"

namespace tarvex::cli {

int RunCommand(int (*Command)(const Args&), const Args& A, const char* Usage);

}  // namespace tarvex::cli
