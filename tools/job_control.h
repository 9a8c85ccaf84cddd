#pragma once
// Between a long job (sorting, the headline scan) and the window waiting for
// it: the window asks it to stop, the job reports how far it is. Safe to
// share between the job's threads and the window's.

#include <atomic>
#include <exception>

namespace tarvex {

// Thrown out of a job that saw the stop request; nothing it would have
// changed has been changed.
class EJobStopped : public std::exception {
public:
    const char* what() const noexcept override { return "Stopped"; }
};

class TJobControl {
public:
    void RequestStop() { FStop.store(true, std::memory_order_relaxed); }
    bool StopRequested() const { return FStop.load(std::memory_order_relaxed); }
    // Throws EJobStopped once a stop was requested.
    void CheckStop() const {
        if (StopRequested()) throw EJobStopped();
    }
    // 0..100.
    void SetPercent(int P) { FPercent.store(P, std::memory_order_relaxed); }
    int Percent() const { return FPercent.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> FStop{false};
    std::atomic<int> FPercent{0};
};

}  // namespace tarvex
