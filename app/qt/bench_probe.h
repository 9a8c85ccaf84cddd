#pragma once
// Start-up figures for the open benchmark: with TARVEX_BENCH_REPORT set, the
// window appends "event monotonic-ns peak-rss-bytes" lines to that file at
// the first painted text and when the layout is done, and then closes.

#include <memory>
#include <string>

class QWidget;

namespace tarvex {

class TBenchProbe {
public:
    static std::unique_ptr<TBenchProbe> FromEnvironment();
    explicit TBenchProbe(std::string File) : FFile(std::move(File)) {}
    void Painted(bool HasText);
    void LayoutDone(QWidget& Window);
    void Report(const char* Event);

private:
    std::string FFile;
    bool FPainted = false;
};

}  // namespace tarvex
