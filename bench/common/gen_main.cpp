// tarvex-bench-gen: writes one reproducible test file.
//   tarvex-bench-gen KIND SIZE_MB FILE     KIND: prose, log or longlines; 1 MB = 2^20 bytes
//   tarvex-bench-gen --version              prints the generator version (data.sh names files by it)

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/common/generator.h"

using namespace tarvex::bench;

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::printf("%d\n", kGeneratorVersion);
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-gen prose|log|longlines SIZE_MB FILE\n");
        return 2;
    }
    const auto kind = ParseDataKind(argv[1]);
    char* end = nullptr;
    const double mb = std::strtod(argv[2], &end);
    if (!kind || end == argv[2] || *end != 0 || mb < 0) {
        std::fprintf(stderr, "tarvex-bench-gen: bad kind or size: %s %s\n", argv[1], argv[2]);
        return 2;
    }
    const int fd = ::open(argv[3], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "tarvex-bench-gen: cannot create %s: %s\n", argv[3], std::strerror(errno));
        return 1;
    }
    const auto size = static_cast<std::uint64_t>(mb * 1048576.0);
    GenerateData(*kind, size, [&](const char* p, std::size_t n) {
        while (n > 0) {
            const ssize_t w = ::write(fd, p, n);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                std::fprintf(stderr, "tarvex-bench-gen: cannot write %s: %s\n", argv[3], std::strerror(errno));
                std::exit(1);
            }
            p += w;
            n -= static_cast<std::size_t>(w);
        }
    });
    if (::close(fd) != 0) {
        std::fprintf(stderr, "tarvex-bench-gen: cannot write %s: %s\n", argv[3], std::strerror(errno));
        return 1;
    }
    return 0;
}
