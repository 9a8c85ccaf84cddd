#include "cli/run_command.h"

#include <exception>
#include <iostream>
#include <new>

namespace tarvex::cli {

int RunCommand(int (*Command)(const Args&), const Args& A, const char* Usage) {
    try {
        return Command(A);
    } catch (const UsageError& e) {
        std::cerr << "tarvex-cli: " << e.Message << "\n" << Usage;
        return 2;
    } catch (const std::bad_alloc&) {
        std::cerr << "tarvex-cli: out of memory\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "tarvex-cli: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace tarvex::cli
