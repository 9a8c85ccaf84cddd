#pragma once
// The display lines 2 onward of a wrapped paragraph: an exactly sized array
// with a 32-bit count. It costs 16 bytes in every long-form record against a
// vector's 24, and never holds spare capacity; a 1 GB text has millions of them.

#include <algorithm>
#include <cstdint>
#include <memory>

#include "textstore/line_info.h"

namespace tarvex {

class TLineArray {
public:
    std::size_t size() const { return static_cast<std::size_t>(FCount); }
    bool empty() const { return FCount == 0; }
    LineInfo& operator[](std::size_t I) { return FItems[I]; }
    const LineInfo& operator[](std::size_t I) const { return FItems[I]; }
    const LineInfo* begin() const { return FItems.get(); }
    const LineInfo* end() const { return FItems.get() + FCount; }

    void clear() {
        FItems.reset();
        FCount = 0;
    }
    // Keeps the first lines, default lines after them.
    void resize(std::size_t N) { Replace(std::min(N, size()), size() - std::min(N, size()), N - std::min(N, size())); }
    // Removes Remove lines at At and puts Insert default lines in their place.
    void Replace(std::size_t At, std::size_t Remove, std::size_t Insert) {
        if (Remove == Insert) {
            std::fill_n(FItems.get() + At, Insert, LineInfo{});
            return;
        }
        const std::size_t n = size() - Remove + Insert;
        std::unique_ptr<LineInfo[]> items = n ? std::make_unique<LineInfo[]>(n) : nullptr;
        std::copy_n(FItems.get(), At, items.get());
        std::copy(FItems.get() + At + Remove, FItems.get() + size(), items.get() + At + Insert);
        FItems = std::move(items);
        FCount = static_cast<std::int32_t>(n);
    }

private:
    std::unique_ptr<LineInfo[]> FItems;
    std::int32_t FCount = 0;
};

}  // namespace tarvex
