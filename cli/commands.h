#pragma once
// The commands of tarvex-cli. Each takes its arguments (without the command
// name) and returns the process exit code.

#include <string>
#include <vector>

namespace tarvex::cli {

using Args = std::vector<std::string>;

int Stats(const Args& A);
int Highlight(const Args& A);
int Import(const Args& A);
int Detect(const Args& A);
int Decode(const Args& A);
int Calc(const Args& A);

// Thrown for a malformed command line; main prints it with the usage.
struct UsageError {
    std::string Message;
};

}  // namespace tarvex::cli
