#pragma once
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

}  // namespace tarvex
