#include "editor/format_thread.h"

#include <chrono>

#include "editor/dudi_riri.h"

namespace tarvex {

std::shared_ptr<TdrFormatThread> TdrFormatThread::Create(TDudiRiri* Memo, TRiriHost* Host) {
    std::shared_ptr<TdrFormatThread> t(new TdrFormatThread(Memo, Host));
    t->FThread = std::thread([self = t.get()] { self->Execute(); });
    return t;
}

TdrFormatThread::~TdrFormatThread() {
    if (FThread.joinable()) Stop();
}

void TdrFormatThread::Resume() {
    {
        std::lock_guard lock(FMutex);
        FSuspended = false;
    }
    FWake.notify_all();
}

void TdrFormatThread::Suspend() {
    std::lock_guard lock(FMutex);
    FSuspended = true;
}

bool TdrFormatThread::Suspended() const {
    std::lock_guard lock(FMutex);
    return FSuspended;
}

void TdrFormatThread::Execute() {
    for (;;) {
        {
            std::unique_lock lock(FMutex);
            FWake.wait(lock, [&] { return !FSuspended || FTerminated; });
            if (FTerminated) break;
        }
        FHost->RunBlockingOnUiThread([this] { Step(); });
    }
    FFinished = true;
}

void TdrFormatThread::Step() {
    if (TDudiRiri* m = FMemo.load())
        if (m->Host().HasWindow()) m->FormatSlice();
}

void TdrFormatThread::Stop() {
    FMemo = nullptr;
    {
        std::lock_guard lock(FMutex);
        FTerminated = true;
        FSuspended = false;
    }
    FWake.notify_all();
    // The thread may be waiting for a step on this very thread.
    while (!FFinished) {
        FHost->RunPendingUiTasks();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (FThread.joinable()) FThread.join();
}

}  // namespace tarvex
