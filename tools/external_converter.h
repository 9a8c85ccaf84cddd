#pragma once
// Word documents through the command-line converters of the system
// (antiword, catdoc), when they are installed.

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

// Runs Argv (Argv[0] a full path) with no input and its error output
// discarded, and collects its standard output. False when it cannot start,
// exits with a nonzero status, is killed, writes more than MaxOutput bytes or
// runs longer than TimeoutMs (it is killed then).
bool RunProgram(const std::vector<std::string>& Argv, std::string& Output, int TimeoutMs,
                std::size_t MaxOutput);

// Tries the converters in order; the first that is installed and succeeds
// with some output gives Text (Windows-1251). False when none did.
bool ConvertWithTools(const std::string& FileName, const std::vector<TDocConverter>& Converters, std::string& Text);

}  // namespace tarvex
