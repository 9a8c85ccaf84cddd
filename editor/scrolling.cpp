// View offsets, scroll-bar requests and keeping the caret in view.

#include <algorithm>
#include <thread>

#include "editor/dudi_riri.h"

namespace tarvex {

std::int64_t TDudiRiri::VertUnit() {
    // The range stays within about 32760 positions whatever the text length.
    return static_cast<std::int64_t>(Pars.LineCount) * std::max(1, LineHeight()) / 32760 + 1;
}

std::int32_t TDudiRiri::HorzUnit() { return std::max(1, AverageWidth()); }

void TDudiRiri::SetViewOffsets(std::int32_t H, std::int64_t V, bool Animate) {
    H = std::max(0, H);
    V = std::max<std::int64_t>(0, V);
    const std::int32_t oldH = HorzOffset;
    const std::int64_t oldV = VertOffset;
    if (H == oldH && V == oldV) return;
    const bool window = FHost->HasWindow();
    const auto now = std::chrono::steady_clock::now();
    // Repeated keys do not wait for animations.
    const bool quick = FInKey && now - FLastAnimEnd < std::chrono::milliseconds(201);
    // While the left button is down (selecting, autoscrolling) the view follows
    // at once, and so does a jump beyond a screenful: its steps would only flash past.
    const bool near = std::abs(static_cast<std::int64_t>(H) - oldH) <= ClientWidth() && std::abs(V - oldV) <= ClientHeight();
    if (window && Animate && ScrollTime > 0 && near && !quick && !FLeftDown && FUpdateCount == 0) {
        // The steps paint, and painting lays out lines: the target is held by
        // its text, so that lines laid out on the way do not move it.
        const std::int32_t lh = std::max(1, LineHeight());
        TRiriNavigator targetTop(this);
        targetTop.SetVisibleLine(static_cast<std::int32_t>(std::min<std::int64_t>(V / lh, std::max(0, Pars.LineCount - 1))));
        const std::int64_t rem = V - static_cast<std::int64_t>(targetTop.VisibleLine()) * lh;
        const auto start = std::chrono::steady_clock::now();
        std::int32_t h = oldH;
        std::int64_t v = oldV;
        for (;;) {
            targetTop.ResetLineAndDyn();
            V = static_cast<std::int64_t>(targetTop.VisibleLine()) * lh + rem;
            const double f = std::min(1.0, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / ScrollTime);
            const auto nh = static_cast<std::int32_t>(oldH + (H - oldH) * f);
            const auto nv = static_cast<std::int64_t>(oldV + (V - oldV) * f);
            if (nh != h || nv != v) {
                const std::int64_t dx = h - nh, dy = v - nv;
                HorzOffset = nh;
                VertOffset = nv;
                if (std::abs(dx) > 32767 || std::abs(dy) > 32767)
                    FHost->InvalidateAll();
                else
                    FHost->ScrollContents(static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy));
                FHost->UpdateNow();
                h = nh;
                v = nv;
            }
            if (f >= 1.0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        FLastAnimEnd = std::chrono::steady_clock::now();
    } else {
        HorzOffset = H;
        VertOffset = V;
        if (window) {
            const std::int64_t dx = oldH - H, dy = oldV - V;
            if (std::abs(dx) > 32767 || std::abs(dy) > 32767)
                FHost->InvalidateAll();
            else
                FHost->ScrollContents(static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy));
        }
    }
    FTopNav->SetVisibleLine(static_cast<std::int32_t>(std::min<std::int64_t>(V / std::max(1, LineHeight()), std::max(0, Pars.LineCount - 1))));
    UpdateScrollRange();
    UpdateCaretPos();
    if (H != oldH && OnHScroll) OnHScroll(*this);
    if (V != oldV && OnVScroll) OnVScroll(*this);
}

void TDudiRiri::VScroll(TScrollRequest R, std::int32_t ThumbPos) {
    if (FUpdateCount > 0) return;
    const std::int32_t lh = std::max(1, LineHeight());
    const std::int32_t top = TopLine();
    const std::int32_t vis = VisibleLines();
    switch (R) {
        case sbLineUp:
            if (VertOffset % lh != 0)
                SetViewOffsets(HorzOffset, static_cast<std::int64_t>(top) * lh);
            else if (VertOffset > 0)
                SetViewOffsets(HorzOffset, static_cast<std::int64_t>(top - 1) * lh);
            break;
        case sbLineDown:
            if (top < Pars.LineCount - 1 && top < Pars.LineCount - vis + 2) SetViewOffsets(HorzOffset, static_cast<std::int64_t>(top + 1) * lh);
            break;
        case sbPageUp: {
            const std::int32_t t = std::max(top - vis + 2, 0);
            for (std::int32_t l = t; l < top; ++l) {
                TRiriNavigator n(this);
                n.SetVisibleLine(l);
                FormatThrough(n.ParNb());
            }
            SetViewOffsets(HorzOffset, static_cast<std::int64_t>(t) * lh);
            break;
        }
        case sbPageDown:
            SetViewOffsets(HorzOffset, std::min<std::int64_t>(static_cast<std::int64_t>(top + vis - 1) * lh,
                                                              std::max<std::int64_t>(0, static_cast<std::int64_t>(Pars.LineCount) * lh - ClientHeight() + 3)));
            break;
        case sbThumbTrack: {
            std::int64_t v = static_cast<std::int64_t>(ThumbPos) * VertUnit();
            if (HasOption(droNoFineScroll)) v = v / lh * lh;
            SetViewOffsets(HorzOffset, v, false);
            break;
        }
        default:
            break;
    }
}

void TDudiRiri::HScroll(TScrollRequest R, std::int32_t ThumbPos) {
    if (FUpdateCount > 0) return;
    const std::int32_t cw = ClientWidth();
    switch (R) {
        case sbLineUp: SetViewOffsets(std::max(HorzOffset - cw / 20 - 1, 0), VertOffset); break;
        case sbLineDown: SetViewOffsets(HorzOffset + cw / 20 + 1, VertOffset); break;
        case sbPageUp: SetViewOffsets(std::max(HorzOffset - cw + cw / 20, 0), VertOffset); break;
        case sbPageDown: SetViewOffsets(HorzOffset + cw - cw / 20, VertOffset); break;
        case sbThumbTrack: SetViewOffsets(ThumbPos * HorzUnit(), VertOffset, false); break;
        default: break;
    }
}

void TDudiRiri::KeepCaretInView() {
    if (!Canvas()) return;
    // The lines that may come to lie between the top of the view and the
    // caret are laid out first, so that later layout does not push the caret out.
    FormatAbove(FCaret->ParNb(), VisibleLines());
    std::int32_t h = HorzOffset;
    std::int64_t v = VertOffset;
    const std::int32_t avg = AverageWidth();
    if ((!WordWrap() || ColumnWrap() >= 1) && (Alignment() == taLeftJustify || HorzOffset != 0)) {
        const std::int32_t x = FCaret->PosToX() - HorzOffset + VirtualSpaces * avg;
        const std::int32_t W = 5 * avg;
        if (x >= ClientWidth())
            h += ((x - ClientWidth()) / W + 1) * W;
        else if (x < 0)
            h = std::max(0, h + (x / W - 1) * W);
    }
    const std::int32_t lh = std::max(1, LineHeight());
    const std::int64_t line = FCaret->VisibleLine();
    const std::int64_t y = line * lh - VertOffset;
    if (y >= 0 && y > ClientHeight() - lh - 3) {
        if (HasOption(droNoFineScroll))
            v = std::max<std::int64_t>(line - VisibleLines() + 2, 0) * lh;
        else
            v = (line + 1) * lh + 1 - ClientHeight() + (line == Pars.LineCount - 1 ? 2 : 0);
        v = std::min(v, line * lh);
    } else if (y < 0) {
        v = line * lh;
    }
    SetViewOffsets(h, v);
}

}  // namespace tarvex
