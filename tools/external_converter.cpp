#include "tools/external_converter.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "platform/codepage.h"

extern char** environ;

namespace tarvex {

namespace {
constexpr int kTimeoutMs = 120000;
constexpr std::size_t kMaxOutput = std::size_t{1} << 29;

bool IsExecutable(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(Path.c_str(), X_OK) == 0;
}

bool IsValidUtf8(const std::string& S) {
    std::size_t i = 0;
    while (i < S.size()) {
        const unsigned char c = static_cast<unsigned char>(S[i]);
        std::size_t n = 0;
        if (c < 0x80)
            n = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            n = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            n = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            n = 3;
        else
            return false;
        if (S.size() - i - 1 < n) return false;
        for (std::size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(S[i + k]) & 0xC0) != 0x80) return false;
        i += n + 1;
    }
    return true;
}

// Closes a descriptor when it goes out of scope.
struct TFd {
    int Fd = -1;
    ~TFd() {
        if (Fd >= 0) ::close(Fd);
    }
};
}  // namespace

std::vector<TDocConverter> DefaultDocConverters() {
    return {
        {"antiword", {"-m", "UTF-8.txt", "-w", "0"}},
        {"catdoc", {"-d", "utf-8", "-w"}},
    };
}

std::string FindProgram(const std::string& Program) {
    if (Program.empty()) return {};
    if (Program.find('/') != std::string::npos) return IsExecutable(Program) ? Program : std::string();
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = dirs.find(':', start);
        const std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        const std::string full = (dir.empty() ? std::string(".") : dir) + "/" + Program;
        if (IsExecutable(full)) return full;
        if (colon == std::string::npos) return {};
        start = colon + 1;
    }
}

bool RunProgram(const std::vector<std::string>& Argv, std::string& Output, int TimeoutMs, std::size_t MaxOutput,
                const TCancelled& Cancelled) {
    Output.clear();
    if (Argv.empty()) return false;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    TFd readEnd{fds[0]}, writeEnd{fds[1]};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Fd, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // A group of its own, so that whatever it starts can be stopped with it;
    // signals as a fresh process has them.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setpgroup(&attr, 0);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv;
    for (const std::string& a : Argv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return false;
    ::close(writeEnd.Fd);
    writeEnd.Fd = -1;
    ::fcntl(readEnd.Fd, F_SETFL, ::fcntl(readEnd.Fd, F_GETFL) | O_NONBLOCK);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    bool failed = false;
    char buf[65536];
    // Reads what the pipe holds now; false at its end.
    auto drain = [&]() {
        for (;;) {
            const ssize_t n = ::read(readEnd.Fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errno == EAGAIN;
            if (n == 0) return false;
            Output.append(buf, static_cast<std::size_t>(n));
            if (Output.size() > MaxOutput) {
                failed = true;
                return false;
            }
        }
    };
    // Wakes the wait below as soon as the program ends (where the kernel offers it).
    TFd exitFd{static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))};
    bool eof = false;
    for (;;) {
        if (Cancelled && Cancelled()) {
            failed = true;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            failed = true;
            break;
        }
        pollfd pfd[2] = {{eof ? -1 : readEnd.Fd, POLLIN, 0}, {exitFd.Fd, POLLIN, 0}};
        const int r = ::poll(pfd, 2, static_cast<int>(std::min<std::int64_t>(left.count(), 100)));
        if (r < 0 && errno != EINTR) {
            failed = true;
            break;
        }
        if (r > 0 && pfd[0].revents != 0 && !drain()) {
            if (failed) break;
            eof = true;
        }
        // A program that has ended while something it started keeps the pipe
        // open: what it wrote is all there is.
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) {
            if (!eof) drain();
            break;
        }
    }
    if (failed) ::kill(-pid, SIGKILL);
    {
        siginfo_t info{};
        while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
        }
    }
    // Unreaped, the program still holds its group's number: nothing else can be hit.
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        Output.clear();
        return false;
    }
    return true;
}

bool ConvertWithTools(const std::string& FileName, const std::vector<TDocConverter>& Converters, std::string& Text,
                      const TCancelled& Cancelled) {
    for (const TDocConverter& c : Converters) {
        if (Cancelled && Cancelled()) return false;
        const std::string program = FindProgram(c.Program);
        if (program.empty()) continue;
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), c.Args.begin(), c.Args.end());
        // A name that starts with '-' must not read as an option.
        argv.push_back(!FileName.empty() && FileName[0] == '-' ? "./" + FileName : FileName);
        std::string out;
        if (!RunProgram(argv, out, kTimeoutMs, kMaxOutput, Cancelled) || out.empty()) continue;
        Text = IsValidUtf8(out) ? Utf8ToCp1251(out) : out;
        return true;
    }
    return false;
}

}  // namespace tarvex
