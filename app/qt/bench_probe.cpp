#include "app/qt/bench_probe.h"

#include <sys/resource.h>

#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace tarvex {

namespace {
constexpr int kTickMs = 100;

long long NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}
}  // namespace

std::unique_ptr<TBenchProbe> TBenchProbe::FromEnvironment() {
    const QByteArray file = qgetenv("TARVEX_BENCH_REPORT");
    if (file.isEmpty()) return nullptr;
    return std::make_unique<TBenchProbe>(file.toStdString());
}

TBenchProbe::TBenchProbe(std::string File) : FFile(std::move(File)), FSaveAs(qgetenv("TARVEX_BENCH_SAVE_AS").toStdString()) {
    FTick.setInterval(kTickMs);
    FTick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&FTick, &QTimer::timeout, [this] {
        const long long late = FSinceTick.nsecsElapsed() - static_cast<long long>(kTickMs) * 1'000'000;
        if (late > FWorstWaitNs) FWorstWaitNs = late;
        // Each long wait is kept with its moment, to find what blocked the window.
        if (late > 50'000'000) {
            if (FILE* f = std::fopen(FFile.c_str(), "a")) {
                std::fprintf(f, "input_wait %lld %lld\n", NowNs(), late);
                std::fclose(f);
            }
        }
        FSinceTick.restart();
    });
    FSinceTick.start();
    FTick.start();
}

void TBenchProbe::Report(const char* Event, long long Value) {
    FILE* f = std::fopen(FFile.c_str(), "a");
    if (!f) return;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::fprintf(f, "%s %lld %lld\n", Event, Value >= 0 ? Value : NowNs(), static_cast<long long>(u.ru_maxrss) * 1024);
    std::fclose(f);
}

void TBenchProbe::Painted(bool HasText) {
    if (FPainted || !HasText) return;
    FPainted = true;
    Report("first_paint");
}

void TBenchProbe::LayoutDone(QWidget& Window, const std::function<void(const std::string&)>& SaveAs) {
    if (FDone) return;
    FDone = true;
    Report("layout_done");
    // The wait still running counts too: a freeze that has not ended is a wait.
    const long long pending = FSinceTick.nsecsElapsed() - static_cast<long long>(kTickMs) * 1'000'000;
    Report("load_input_wait", std::max(FWorstWaitNs, pending));
    if (!FSaveAs.empty() && SaveAs) {
        FWorstWaitNs = 0;
        FSinceTick.restart();
        SaveAs(FSaveAs);
        Report("save_done");
        Report("save_input_wait", std::max(FWorstWaitNs, FSinceTick.nsecsElapsed() - 100'000'000LL));
    }
    QTimer::singleShot(0, &Window, [&Window] { Window.close(); });
}

}  // namespace tarvex
