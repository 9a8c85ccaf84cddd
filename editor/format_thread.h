#pragma once
// TdrFormatThread: paces background layout. It touches no text-store data:
// each step is a blocking call into the user-interface thread, which lays out
// one slice of at most 25 ms. Suspended while nothing is pending.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace tarvex {

class TDudiRiri;
class TRiriHost;

class TdrFormatThread {
public:
    // Created suspended.
    static std::shared_ptr<TdrFormatThread> Create(TDudiRiri* Memo, TRiriHost* Host);
    ~TdrFormatThread();

    void Resume();
    void Suspend();
    bool Suspended() const;
    // Detaches the editor, lets the thread run out and waits for it (running
    // the UI work it may be waiting for).
    void Stop();

private:
    TdrFormatThread(TDudiRiri* Memo, TRiriHost* Host) : FMemo(Memo), FHost(Host) {}
    void Execute();
    void Step();

    std::atomic<TDudiRiri*> FMemo;
    TRiriHost* FHost;
    mutable std::mutex FMutex;
    std::condition_variable FWake;
    bool FSuspended = true;
    bool FTerminated = false;
    std::atomic<bool> FFinished{false};
    std::thread FThread;
};

}  // namespace tarvex
