// tarvex-cli pdf runs in a program of its own, tarvex-cli-pdf beside
// tarvex-cli: printing needs Qt's fonts and PDF writer, whose libraries
// would otherwise load with every command (about 7 ms, twice with the heap
// restart), while the other commands need none of Qt.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace tarvex::cli {

std::string PdfHelperPath() {
    std::string self(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    if (n <= 0) return "tarvex-cli-pdf";
    self.resize(static_cast<std::size_t>(n));
    const std::size_t slash = self.find_last_of('/');
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/tarvex-cli-pdf";
}

int PdfViaHelper(const Args& A) {
    const std::string helper = PdfHelperPath();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(helper.c_str()));
    for (const std::string& a : A) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(helper.c_str(), argv.data());
    throw std::runtime_error("the pdf command needs " + helper + ": " + std::strerror(errno));
}

}  // namespace tarvex::cli
