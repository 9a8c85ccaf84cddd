#pragma once
// TRestore: sets a value for as long as it lives and restores the old one on
// every way out.
// TScopeFail: runs a clean-up when its scope is left by an exception, and not
// otherwise. The clean-up runs during unwinding, so it must not throw; a
// clean-up that may throw belongs in an explicit handler.

#include <exception>
#include <utility>

namespace tarvex {

template <class F>
class TScopeFail {
public:
    explicit TScopeFail(F Fn) : FFn(std::move(Fn)), FUncaught(std::uncaught_exceptions()) {}
    TScopeFail(const TScopeFail&) = delete;
    TScopeFail& operator=(const TScopeFail&) = delete;
    ~TScopeFail() {
        if (std::uncaught_exceptions() > FUncaught) FFn();
    }

private:
    F FFn;
    int FUncaught;
};

template <typename T>
class TRestore {
public:
    TRestore(T& Ref, T Value) : FRef(Ref), FOld(Ref) { FRef = std::move(Value); }
    ~TRestore() { FRef = std::move(FOld); }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FRef;
    T FOld;
};

}  // namespace tarvex
