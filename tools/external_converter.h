#pragma once
// Word documents through the command-line converters of the system
// (antiword, catdoc), when they are installed.

#include <functional>
#include <string>
#include <vector>

namespace tarvex {

// One converter: a program and its arguments; the document's name is appended.
// The program writes the text as UTF-8 to its standard output.
struct TDocConverter {
    std::string Program;
    std::vector<std::string> Args;
};

// antiword, then catdoc.
std::vector<TDocConverter> DefaultDocConverters();

// The full path of Program (searched in PATH unless it holds a '/'), or "".
std::string FindProgram(const std::string& Program);

// Polled several times a second while a converter runs; true stops it.
using TCancelled = std::function<bool()>;

// Runs Argv (Argv[0] a full path) in a process group of its own, with no
// input and its error output discarded, and collects its standard output.
// False when it cannot start, exits with a nonzero status, is killed, writes
// more than MaxOutput bytes, runs longer than TimeoutMs or is cancelled: the
// whole group is killed then. Processes it leaves behind when it exits are
// killed too, so nothing it started outlives the call.
bool RunProgram(const std::vector<std::string>& Argv, std::string& Output, int TimeoutMs,
                std::size_t MaxOutput, const TCancelled& Cancelled = {});

// Tries the converters in order; the first that is installed and succeeds
// with some output gives Text (Windows-1251). False when none did or the
// user cancelled (no further converter is tried then).
bool ConvertWithTools(const std::string& FileName, const std::vector<TDocConverter>& Converters, std::string& Text,
                      const TCancelled& Cancelled = {});

}  // namespace tarvex
