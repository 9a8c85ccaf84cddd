#pragma once
// Hands work from a background thread to the user-interface thread and waits
// for it. The UI side runs the queued work from its event loop (Wake asks it
// to) or directly when it must wait for the background thread itself.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace tarvex {

class TUiTaskQueue {
public:
    // Called (from the background thread) after work was queued.
    std::function<void()> Wake;

    // Background thread: queue F and wait until the UI thread ran it (or the queue closed).
    void RunBlocking(const std::function<void()>& F);
    // UI thread: run everything queued so far.
    void RunPending();
    // No more work is run; waiting threads are released.
    void Close();

private:
    struct Task {
        std::function<void()> F;
        bool Done = false;
    };
    std::mutex FMutex;
    std::condition_variable FDone;
    std::deque<std::shared_ptr<Task>> FTasks;
    bool FClosed = false;
};

}  // namespace tarvex
