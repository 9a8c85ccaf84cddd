// The open benchmark: what a user feels when an editor is started on a file.
//
//   tarvex-bench-open run ENGINE FILE SIZE_MB KIND [TARVEX_PROGRAM]
//       Starts a fresh process of the engine on FILE and prints, from the
//       moment before the process was created: the first painted screen with
//       text, the end of the layout, and the process's peak memory.
//       ENGINE: tarvex (the real program), scintilla or qplaintextedit.
//   tarvex-bench-open host scintilla|qplaintextedit FILE
//       The baseline hosts: a window with the widget, the file loaded into
//       it, reporting like the program does.
//
// Every engine writes "first_paint NS" and "layout_done NS" lines (monotonic
// clock) to the file TARVEX_BENCH_REPORT names and ends after the layout.
// The windows are 1000 by 700 pixels with word wrap on, as Tarvex starts.
// TARVEX_OPEN_LAYOUT_LIMIT (seconds, default 300) bounds the wait for
// Scintilla's background wrapping. The tarvex program also saves the text
// as UTF-8 once laid out and reports the worst wait of an input event
// (a timer due every 100 ms) while loading and while saving.

#include <Qsci/qsciscintilla.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/common/bench_util.h"
#include "platform/codepage.h"
#include "bench/common/scintilla_fill.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

std::int64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

void Report(const char* Event) {
    const char* path = std::getenv("TARVEX_BENCH_REPORT");
    if (!path) return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s %lld 0\n", Event, static_cast<long long>(NowNs()));
        std::fclose(f);
    }
}

std::string ReadAll(const std::string& Path) {
    std::string s;
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + Path + ": " + std::strerror(errno));
    const std::int64_t size = FileSizeBytes(Path);
    s.resize(static_cast<std::size_t>(size > 0 ? size : 0));
    std::size_t got = 0;
    while (got < s.size()) {
        const ssize_t n = ::read(fd, s.data() + got, s.size() - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    s.resize(got);
    return s;
}

// --- the hosts

class TSci : public QsciScintilla {
public:
    bool Painted = false;

protected:
    void paintEvent(QPaintEvent* E) override {
        QsciScintilla::paintEvent(E);
        if (!Painted && SendScintilla(SCI_GETLENGTH) > 0) {
            Painted = true;
            Report("first_paint");
        }
    }
};

class TQpte : public QPlainTextEdit {
public:
    std::function<void()> OnFirstPaint;

protected:
    void paintEvent(QPaintEvent* E) override {
        QPlainTextEdit::paintEvent(E);
        if (OnFirstPaint && !document()->isEmpty()) {
            auto f = std::move(OnFirstPaint);
            OnFirstPaint = nullptr;
            Report("first_paint");
            f();
        }
    }
};

int HostScintilla(const std::string& File) {
    TSci sci;
    sci.resize(1000, 700);
    sci.setFont(QFont("Arial", 10));
    sci.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0UL);
    sci.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    const std::int64_t size = FileSizeBytes(File);
    if (size >= (std::int64_t{1} << 31) - (std::int64_t{64} << 20)) {
        const long doc = sci.SendScintilla(QsciScintillaBase::SCI_CREATEDOCUMENT, 0UL,
                                           static_cast<long>(QsciScintillaBase::SC_DOCUMENTOPTION_TEXT_LARGE));
        sci.SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0UL, static_cast<long>(doc));
        sci.SendScintilla(QsciScintillaBase::SCI_RELEASEDOCUMENT, 0UL, static_cast<long>(doc));
    }
    sci.SendScintilla(QsciScintillaBase::SCI_ALLOCATE, static_cast<unsigned long>(size + 1));
    FillScintilla(sci, File);
    if (sci.SendScintilla(QsciScintillaBase::SCI_GETSTATUS) == QsciScintillaBase::SC_STATUS_BADALLOC)
        throw std::bad_alloc();
    // Wrapping is turned on once the text is in: appending to a wrapped
    // document costs Scintilla far more.
    sci.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, static_cast<unsigned long>(QsciScintillaBase::SC_WRAP_WORD));
    sci.show();
    // Scintilla wraps what is not on screen while it is idle: the layout is
    // done once the display-line count of the last line stops growing.
    std::int64_t lastValue = -1, lastChange = 0, painted = 0;
    const char* limitEnv = std::getenv("TARVEX_OPEN_LAYOUT_LIMIT");
    const std::int64_t limit = (limitEnv ? std::atoll(limitEnv) : 300) * 1'000'000'000;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!sci.Painted) return;
        if (painted == 0) painted = NowNs();
        if (NowNs() - painted > limit) {
            Report("layout_unfinished");
            QApplication::quit();
            return;
        }
        const long lines = sci.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
        const std::int64_t v = sci.SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(lines));
        const std::int64_t now = NowNs();
        if (v != lastValue) {
            lastValue = v;
            lastChange = now;
        } else if (now - lastChange > 1'000'000'000) {
            // Reported at the moment of the last change.
            if (const char* path = std::getenv("TARVEX_BENCH_REPORT"))
                if (FILE* f = std::fopen(path, "a")) {
                    std::fprintf(f, "layout_done %lld 0\n", static_cast<long long>(lastChange));
                    std::fclose(f);
                }
            QApplication::quit();
        }
    });
    poll.start();
    return QApplication::exec();
}

int HostQPlainTextEdit(const std::string& File) {
    TQpte edit;
    edit.resize(1000, 700);
    edit.setFont(QFont("Arial", 10));
    edit.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit.document()->setUndoRedoEnabled(false);
    edit.show();
    {
        const std::string bytes = ReadAll(File);
        QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
        auto* dst = reinterpret_cast<char16_t*>(text.data());
        for (std::size_t i = 0; i < bytes.size(); ++i) dst[i] = Cp1251ToUnicode(static_cast<unsigned char>(bytes[i]));
        edit.setPlainText(text);
    }
    edit.document()->setUndoRedoEnabled(true);
    // QPlainTextEdit lays out only what it shows: its layout is done when the
    // first screen is and the event loop has nothing more to do.
    edit.OnFirstPaint = [] {
        QTimer::singleShot(0, [] {
            Report("layout_done");
            QApplication::quit();
        });
    };
    return QApplication::exec();
}

// --- the launcher

struct TEvents {
    std::int64_t FirstPaint = -1, LayoutDone = -1, SaveDone = -1;
    std::int64_t LoadInputWait = -1, SaveInputWait = -1;  // ns
    bool Unfinished = false;  // the host gave up waiting for the layout
    std::vector<std::pair<std::int64_t, std::int64_t>> Waits;  // long input waits: (end, length) ns
    std::int64_t LoadDone = -1;
};

TEvents ReadEvents(const std::string& Path) {
    TEvents e;
    std::ifstream in(Path);
    std::string name;
    long long ns = 0, rss = 0;
    while (in >> name >> ns >> rss) {
        if (name == "first_paint" && e.FirstPaint < 0) e.FirstPaint = ns;
        if (name == "layout_done" && e.LayoutDone < 0) e.LayoutDone = ns;
        if (name == "layout_unfinished") e.Unfinished = true;
        if (name == "save_done" && e.SaveDone < 0) e.SaveDone = ns;
        if (name == "load_input_wait") e.LoadInputWait = ns;
        if (name == "save_input_wait") e.SaveInputWait = ns;
        if (name == "load_done" && e.LoadDone < 0) e.LoadDone = ns;
        if (name == "input_wait") e.Waits.emplace_back(ns, rss);
    }
    return e;
}

int Run(const std::string& Engine, const std::string& File, const std::string& SizeMb, const std::string& Kind,
        const std::string& Program, const std::string& Self) {
    const Reporter out(SizeMb, Engine, Kind + " " + SizeMb + " MB", "." + Kind);
    char dir[] = "/tmp/tarvex-bench-open-XXXXXX";
    if (!::mkdtemp(dir)) throw std::runtime_error("cannot make a temporary folder");
    const std::string report = std::string(dir) + "/report", settings = std::string(dir) + "/tarvex.ini";
    const std::string saved = std::string(dir) + "/saved.txt";
    WarmPageCache(File);
    const int timeout = std::getenv("TARVEX_BENCH_TIMEOUT") ? std::atoi(std::getenv("TARVEX_BENCH_TIMEOUT")) : 1200;

    const std::int64_t start = NowNs();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("cannot start a process");
    if (pid == 0) {
        ::setenv("TARVEX_BENCH_REPORT", report.c_str(), 1);
        ::setenv("TARVEX_SETTINGS", settings.c_str(), 1);
        // The program also saves what it loaded (as UTF-8), so that its input
        // wait while saving is measured too.
        if (Engine == "tarvex") ::setenv("TARVEX_BENCH_SAVE_AS", saved.c_str(), 1);
        if (Engine == "tarvex")
            ::execl(Program.c_str(), Program.c_str(), File.c_str(), static_cast<char*>(nullptr));
        else
            ::execl(Self.c_str(), Self.c_str(), "host", Engine.c_str(), File.c_str(), static_cast<char*>(nullptr));
        std::perror("exec");
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    const std::int64_t deadline = start + static_cast<std::int64_t>(timeout) * 1'000'000'000;
    for (;;) {
        const pid_t r = ::wait4(pid, &status, WNOHANG, &usage);
        if (r == pid) break;
        if (NowNs() > deadline) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            std::fprintf(stderr, "tarvex-bench-open: %s timed out after %d s\n", Engine.c_str(), timeout);
            return 124;
        }
        ::usleep(2000);
    }
    const TEvents e = ReadEvents(report);
    std::remove(report.c_str());
    std::remove(settings.c_str());
    std::remove(saved.c_str());
    ::rmdir(dir);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || e.FirstPaint < 0 || (e.LayoutDone < 0 && !e.Unfinished)) {
        std::fprintf(stderr, "tarvex-bench-open: %s ended without its figures (status %d)\n", Engine.c_str(), status);
        return 1;
    }
    const double peakMb = static_cast<double>(usage.ru_maxrss) * 1024 / kMB;
    // Where the window waited longest, to tell the load from the layout and the save.
    if (e.LoadDone >= 0)
        std::fprintf(stderr, "  %s: file read by %.2f s\n", Engine.c_str(), static_cast<double>(e.LoadDone - start) / 1e9);
    std::vector<std::pair<std::int64_t, std::int64_t>> waits = e.Waits;
    std::sort(waits.begin(), waits.end(), [](const auto& A, const auto& B) { return A.second > B.second; });
    for (std::size_t i = 0; i < waits.size() && i < 5; ++i)
        std::fprintf(stderr, "  %s: input waited %.0f ms until %.2f s\n", Engine.c_str(),
                     static_cast<double>(waits[i].second) / 1e6, static_cast<double>(waits[i].first - start) / 1e9);
    out.Figure("open_first_paint", static_cast<double>(e.FirstPaint - start) / 1e9, "s");
    if (e.Unfinished)
        out.Note("layout not finished within TARVEX_OPEN_LAYOUT_LIMIT seconds of the first paint");
    else
        out.Figure("open_layout_done", static_cast<double>(e.LayoutDone - start) / 1e9, "s");
    if (e.LoadInputWait >= 0) out.Figure("open_input_wait_load", static_cast<double>(e.LoadInputWait) / 1e6, "ms");
    if (e.SaveDone >= 0 && e.LayoutDone >= 0) {
        out.Figure("save_utf8_in_window", static_cast<double>(e.SaveDone - e.LayoutDone) / 1e9, "s");
        out.Figure("open_input_wait_save", static_cast<double>(e.SaveInputWait) / 1e6, "ms");
    }
    out.Figure("open_peak_rss", peakMb, "MB");
    out.Figure("open_rss_ratio", peakMb * kMB / static_cast<double>(FileSizeBytes(File)), "x");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 3 && a[0] == "host") {
        QApplication app(argc, argv);
        return RunGuarded("tarvex-bench-open", [&] {
            return a[1] == "scintilla" ? HostScintilla(a[2]) : HostQPlainTextEdit(a[2]);
        });
    }
    if (a.size() >= 5 && a[0] == "run") {
        return RunGuarded("tarvex-bench-open", [&] {
            char self[4096] = {};
            const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
            return Run(a[1], a[2], a[3], a[4], a.size() > 5 ? a[5] : std::string(), n > 0 ? self : argv[0]);
        });
    }
    std::fprintf(stderr,
                 "usage: tarvex-bench-open run tarvex|scintilla|qplaintextedit FILE SIZE_MB KIND [TARVEX_PROGRAM]\n");
    return 2;
}
