#include "editor/ui_task_queue.h"

namespace tarvex {

void TUiTaskQueue::RunBlocking(const std::function<void()>& F) {
    auto t = std::make_shared<Task>();
    t->F = F;
    {
        std::lock_guard lock(FMutex);
        if (FClosed) return;
        FTasks.push_back(t);
    }
    if (Wake) Wake();
    std::unique_lock lock(FMutex);
    FDone.wait(lock, [&] { return t->Done || FClosed; });
}

void TUiTaskQueue::RunPending() {
    for (;;) {
        std::shared_ptr<Task> t;
        {
            std::lock_guard lock(FMutex);
            if (FTasks.empty()) return;
            t = FTasks.front();
            FTasks.pop_front();
        }
        t->F();
        {
            std::lock_guard lock(FMutex);
            t->Done = true;
        }
        FDone.notify_all();
    }
}

void TUiTaskQueue::Close() {
    {
        std::lock_guard lock(FMutex);
        FClosed = true;
        FTasks.clear();
    }
    FDone.notify_all();
}

}  // namespace tarvex
