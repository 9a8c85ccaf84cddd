#include "app/qt/bench_probe.h"

#include <sys/resource.h>

#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace tarvex {

std::unique_ptr<TBenchProbe> TBenchProbe::FromEnvironment() {
    const QByteArray file = qgetenv("TARVEX_BENCH_REPORT");
    if (file.isEmpty()) return nullptr;
    return std::make_unique<TBenchProbe>(file.toStdString());
}

void TBenchProbe::Report(const char* Event) {
    FILE* f = std::fopen(FFile.c_str(), "a");
    if (!f) return;
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::fprintf(f, "%s %lld %lld\n", Event, static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec,
                 static_cast<long long>(u.ru_maxrss) * 1024);
    std::fclose(f);
}

void TBenchProbe::Painted(bool HasText) {
    if (FPainted || !HasText) return;
    FPainted = true;
    Report("first_paint");
}

void TBenchProbe::LayoutDone(QWidget& Window) {
    Report("layout_done");
    QTimer::singleShot(0, &Window, [&Window] { Window.close(); });
}

}  // namespace tarvex
