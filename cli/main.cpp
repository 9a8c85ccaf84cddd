// tarvex-cli: the batch front end of Tarvex.

#include <cstdio>
#include <exception>
#include <iostream>
#include <map>

#include "commands.h"

namespace {
const char* kUsage =
    "Usage: tarvex-cli COMMAND [OPTIONS] ARGS\n"
    "\n"
    "Commands:\n"
    "  stats [--null-replace CHAR] [--trim-trailing] [--wrap-chars N] FILE\n"
    "      Load FILE ('-' for standard input) and print its paragraph count,\n"
    "      length, line break, longest paragraph and display lines (wrapped\n"
    "      at N characters with --wrap-chars).\n"
    "  highlight --keys FILE.ini TEXTFILE\n"
    "      Highlight TEXTFILE with the [Keywords] and [StartStopKeys] of FILE.ini\n"
    "      (Name=Value lines) and print each change point as\n"
    "      paragraph<TAB>offset<TAB>flags<TAB>context<TAB>depth.\n"
    "  import [--doc-convert] FILE\n"
    "      Print the text of an RTF, HTML/XML, TCR or Word (.doc) file as\n"
    "      Windows-1251 bytes. --doc-convert tries antiword, then catdoc, for\n"
    "      Word files before the built-in extraction.\n";
}

int main(int argc, char** argv) {
    using namespace tarvex::cli;
    const std::map<std::string, int (*)(const Args&)> commands = {
        {"stats", Stats}, {"highlight", Highlight}, {"import", Import}};
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::cout << kUsage;
        return argc < 2 ? 2 : 0;
    }
    const auto it = commands.find(argv[1]);
    if (it == commands.end()) {
        std::cerr << "tarvex-cli: unknown command \"" << argv[1] << "\"\n" << kUsage;
        return 2;
    }
    try {
        return it->second(Args(argv + 2, argv + argc));
    } catch (const UsageError& e) {
        std::cerr << "tarvex-cli: " << e.Message << "\n" << kUsage;
        return 2;
    } catch (const std::bad_alloc&) {
        std::cerr << "tarvex-cli: out of memory\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "tarvex-cli: " << e.what() << "\n";
        return 1;
    }
}
