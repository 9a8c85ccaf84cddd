#pragma once
// A window stand-in for editor tests: it counts what the editor asks of it
// and runs the background thread's steps when the test pumps it.

#include <chrono>
#include <thread>

#include "editor/host.h"
#include "editor/ui_task_queue.h"

namespace tarvex::test {

class TTestHost : public TRiriHost {
public:
    ~TTestHost() override { Queue.Close(); }
    bool HasWindow() const override { return Window; }
    void InvalidateLines(std::int32_t, std::int32_t) override { ++Invalidations; }
    void InvalidateAll() override { ++Invalidations; }
    void SetScrollBars(const TScrollInfo& V, const TScrollInfo& H) override {
        Vertical = V;
        Horizontal = H;
    }
    void UpdateCaret(std::int32_t X, std::int64_t Y, std::int32_t, std::int32_t) override {
        CaretX = X;
        CaretY = Y;
    }
    void RunBlockingOnUiThread(const std::function<void()>& F) override { Queue.RunBlocking(F); }
    void RunPendingUiTasks() override { Queue.RunPending(); }
    void SetClipboardText(const std::u16string& T, bool B) override {
        Clip = T;
        Block = B;
    }
    bool GetClipboardText(std::u16string& T, bool& B) override {
        T = Clip;
        B = Block;
        return !Clip.empty();
    }
    void ScrollContents(std::int32_t, std::int32_t Dy) override {
        ++Scrolls;
        ScrolledY += Dy;
    }
    void UpdateNow() override { ++ImmediateUpdates; }
    // Runs background steps until Done() holds (or a generous time passed).
    template <class F>
    bool PumpUntil(F Done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!Done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            Queue.RunPending();
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        return true;
    }

    bool Window = true;
    int Invalidations = 0;
    int Scrolls = 0;           // window contents scrolled
    std::int64_t ScrolledY = 0;
    int ImmediateUpdates = 0;  // paints forced at once (animation steps)
    TScrollInfo Vertical, Horizontal;
    std::int32_t CaretX = 0;
    std::int64_t CaretY = 0;
    std::u16string Clip;
    bool Block = false;
    TUiTaskQueue Queue;
};

}  // namespace tarvex::test
