#pragma once
// Figures for the open benchmark: with TARVEX_BENCH_REPORT set, the window
// appends "event monotonic-ns peak-rss-bytes" lines to that file at the
// first painted text and when the layout is done, and then closes. A timer
// meant to fire every 100 ms stands for the user's input: how late it fires
// is how long a key or a click would wait, reported as the worst wait while
// loading ("load_input_wait") and, with TARVEX_BENCH_SAVE_AS=FILE, while the
// loaded text is saved as UTF-8 to FILE ("save_input_wait", after "save_done").

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace tarvex {

class TBenchProbe {
public:
    static std::unique_ptr<TBenchProbe> FromEnvironment();
    explicit TBenchProbe(std::string File);
    void Painted(bool HasText);
    // SaveAs writes the text to a file when the benchmark asks for a save.
    void LayoutDone(QWidget& Window, const std::function<void(const std::string& Path)>& SaveAs);
    void Report(const char* Event, long long Value = -1);

private:
    std::string FFile, FSaveAs;
    bool FPainted = false, FDone = false;
    QTimer FTick;
    QElapsedTimer FSinceTick;
    long long FWorstWaitNs = 0;
};

}  // namespace tarvex
