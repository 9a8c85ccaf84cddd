#pragma once
// Helpers for benchmark programs: wall-clock timing, resident memory, a memory
// limit that turns exhaustion into a clean failure, and the output format.
//
// A benchmark program prints each figure twice: a TSV line on standard output
//   figure<TAB>size_mb<TAB>engine<TAB>value<TAB>unit
// (the benchmark's run.sh appends these to $TARVEX_OUT) and a readable line on
// standard error.

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace tarvex::bench {

// Sizes are in MB of 2^20 bytes throughout the benchmarks.
inline constexpr double kMB = 1048576.0;

class Stopwatch {
public:
    Stopwatch() : FStart(Clock::now()) {}
    void Restart() { FStart = Clock::now(); }
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - FStart).count(); }
    double Ms() const { return Seconds() * 1000.0; }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point FStart;
};

// A "Key:   N kB" value from /proc/self/status, in bytes; -1 when absent.
inline std::int64_t ProcStatusBytes(const char* Key) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    const std::size_t klen = std::strlen(Key);
    std::int64_t v = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, Key, klen) == 0 && line[klen] == ':') {
            v = std::strtoll(line + klen + 1, nullptr, 10) * 1024;
            break;
        }
    }
    std::fclose(f);
    return v;
}

// The peak resident set size of this process so far, in bytes.
inline std::int64_t PeakRssBytes() {
    const std::int64_t v = ProcStatusBytes("VmHWM");
    if (v >= 0) return v;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<std::int64_t>(u.ru_maxrss) * 1024;
}

inline std::int64_t RssBytes() { return ProcStatusBytes("VmRSS"); }

inline std::int64_t FileSizeBytes(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

// Reads the file once so that a following load is measured from the page
// cache, whoever ran before. read() into a small buffer adds nothing to the RSS.
inline void WarmPageCache(const std::string& Path) {
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    std::vector<char> buf(1 << 20);
    while (::read(fd, buf.data(), buf.size()) > 0) {
    }
    ::close(fd);
}

// MemAvailable from /proc/meminfo in bytes; -1 when unknown.
inline std::int64_t MemAvailableBytes() {
    std::FILE* f = std::fopen("/proc/meminfo", "r");
    if (!f) return -1;
    char line[256];
    std::int64_t v = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "MemAvailable:", 13) == 0) {
            v = std::strtoll(line + 13, nullptr, 10) * 1024;
            break;
        }
    std::fclose(f);
    return v;
}

// Caps the address space so that running out of memory makes allocations fail
// (std::bad_alloc, reported by RunGuarded) instead of waking the kernel's OOM
// killer or pushing the machine into thrashing. The cap is the memory now
// available plus what the process has mapped already, or TARVEX_BENCH_MEM_MB.
inline void LimitMemory() {
    std::int64_t limit = -1;
    if (const char* env = std::getenv("TARVEX_BENCH_MEM_MB"); env && *env) {
        limit = std::strtoll(env, nullptr, 10) * static_cast<std::int64_t>(kMB);
    } else {
        const std::int64_t avail = MemAvailableBytes();
        const std::int64_t mapped = ProcStatusBytes("VmSize");
        if (avail > 0) limit = avail + (mapped > 0 ? mapped : 0);
    }
    if (limit <= 0) return;
    rlimit r{};
    getrlimit(RLIMIT_AS, &r);
    if (r.rlim_max != RLIM_INFINITY && static_cast<std::int64_t>(r.rlim_max) < limit)
        limit = static_cast<std::int64_t>(r.rlim_max);
    r.rlim_cur = static_cast<rlim_t>(limit);
    setrlimit(RLIMIT_AS, &r);
}

// Keeps memory freed from now on inside the process instead of returning it
// to the system, so that a second load reuses pages already mapped. On virtual
// machines the first touch of fresh pages can cost more than the load itself;
// a reload shows the engine's own work without it.
inline void KeepFreedMemory() { mallopt(M_TRIM_THRESHOLD, 0x7FFFFFFF); }

// Exit status of a run that ran out of memory (run.sh reports it as such).
inline constexpr int kExitOutOfMemory = 3;

// Runs Body; out of memory and other failures end the process with one line
// on standard error and a non-zero status.
template <typename F>
int RunGuarded(const char* Program, F&& Body) {
    try {
        return Body();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory (peak RSS %.0f MB)\n", Program,
                     static_cast<double>(PeakRssBytes()) / kMB);
        std::fflush(stderr);
        return kExitOutOfMemory;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", Program, e.what());
        return 1;
    }
}

// Prints the figures of one engine on one file.
class Reporter {
public:
    // Label names the input in readable lines, e.g. "prose 100 MB"; Suffix is
    // appended to every figure name (".prose") so that files of one size stay apart.
    Reporter(std::string SizeMb, std::string Engine, std::string Label, std::string Suffix)
        : FSize(std::move(SizeMb)), FEngine(std::move(Engine)), FLabel(std::move(Label)), FSuffix(std::move(Suffix)) {}

    void Figure(const std::string& Name, double Value, const char* Unit) const {
        std::printf("%s%s\t%s\t%s\t%.6g\t%s\n", Name.c_str(), FSuffix.c_str(), FSize.c_str(), FEngine.c_str(),
                    Value, Unit);
        std::fflush(stdout);
        std::fprintf(stderr, "  %-15s %-16s %-16s %12.4g %s\n", FEngine.c_str(), FLabel.c_str(), Name.c_str(), Value,
                     Unit);
    }
    // A readable remark only (no TSV line).
    void Note(const std::string& Text) const {
        std::fprintf(stderr, "  %-15s %-16s %s\n", FEngine.c_str(), FLabel.c_str(), Text.c_str());
    }

private:
    std::string FSize, FEngine, FLabel, FSuffix;
};

}  // namespace tarvex::bench
