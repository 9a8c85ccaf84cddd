#include "platform/placement.h"

#include <algorithm>
#include <cstdlib>

namespace tarvex {

namespace {

// The number between the end of marker From and the start of marker To (To
// empty: to the end); Pos-style: a missing marker or bad number gives nothing.
bool PlacementNumber(std::string_view S, std::string_view From, std::string_view To, std::int32_t& Out) {
    const std::size_t a = S.find(From);
    if (a == std::string_view::npos) return false;
    const std::size_t start = a + From.size();
    std::size_t end = S.size();
    if (!To.empty()) {
        end = S.find(To, start);
        if (end == std::string_view::npos) return false;
    }
    const std::string num(S.substr(start, end - start));
    if (num.empty()) return false;
    char* stop = nullptr;
    const long long v = std::strtoll(num.c_str(), &stop, 10);
    if (*stop != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    Out = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace

bool ReadPlacement(std::string_view S, TBounds& B) {
    PlacementNumber(S, "L", ";T", B.Left);
    PlacementNumber(S, ";T", ";W", B.Top);
    PlacementNumber(S, ";W", ";H", B.Width);
    PlacementNumber(S, ";H", "", B.Height);
    B.Left = std::max(B.Left, -20);
    B.Top = std::max(B.Top, -20);
    B.Width = std::max(B.Width, 20);
    B.Height = std::max(B.Height, 20);
    return !S.empty() && S.front() == 'M';
}

bool ReadPlacement(std::string_view S, TBounds& Bounds, const TBounds& Area) {
    const bool maximized = ReadPlacement(S, Bounds);
    Bounds = ClampPlacement(Bounds, Area);
    return maximized;
}

TBounds ClampPlacement(TBounds B, const TBounds& Area) {
    const std::int64_t areaW = std::max<std::int64_t>(Area.Width, 20), areaH = std::max<std::int64_t>(Area.Height, 20);
    B.Width = static_cast<std::int32_t>(std::clamp<std::int64_t>(B.Width, 20, areaW));
    B.Height = static_cast<std::int32_t>(std::clamp<std::int64_t>(B.Height, 20, areaH));
    // 64-bit: the sums of extreme values must not overflow.
    const std::int64_t maxLeft = std::int64_t(Area.Left) + areaW - B.Width;
    const std::int64_t maxTop = std::int64_t(Area.Top) + areaH - B.Height;
    B.Left = static_cast<std::int32_t>(std::clamp<std::int64_t>(B.Left, std::int64_t(Area.Left) - 20, maxLeft));
    B.Top = static_cast<std::int32_t>(std::clamp<std::int64_t>(B.Top, std::int64_t(Area.Top) - 20, maxTop));
    return B;
}

std::string PlacementString(const TBounds& B, bool Maximized) {
    return std::string(Maximized ? "M" : "") + "L" + std::to_string(B.Left) + ";T" + std::to_string(B.Top) + ";W" +
           std::to_string(B.Width) + ";H" + std::to_string(B.Height);
}

std::string PlacementToStore(std::string_view Previous, const TBounds& Current, bool Maximized) {
    if (!Maximized) return PlacementString(Current, false);
    if (Previous.empty()) return PlacementString(Current, true);
    std::string kept(Previous);
    if (kept.front() != 'M') kept.insert(kept.begin(), 'M');
    return kept;
}

std::string PlacementToStore(std::string_view Previous, const TBounds& Current, bool Maximized, const TBounds& Area) {
    if (!Maximized || Previous.empty()) return PlacementString(ClampPlacement(Current, Area), Maximized);
    TBounds kept = Current;
    ReadPlacement(Previous, kept, Area);
    return PlacementString(kept, true);
}

}  // namespace tarvex
