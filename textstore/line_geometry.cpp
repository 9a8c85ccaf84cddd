// Horizontal geometry of display lines: x from a position and a position from
// x, with alignment, justification and tabs; and pixel positions. All in text
// coordinates: the view's scroll offsets are the editor's to apply.

#include <algorithm>

#include "textstore/layout.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "textstore/paragraphs_list.h"
#include "textstore/line_geometry.h"
#include "textstore/style_walker.h"

namespace tarvex {

std::int32_t TRiriNavigator::PosToX() {
    TDudiRiriBase& m = *FMemo;
    const LineInfo li = CurrentLine();
    ParInfo& par = *FPar;
    const std::int32_t end = li.Start + std::max(0, std::min(FParOffset - li.Start, li.Stop - li.Start));
    std::int64_t x = 0;
    if (TCanvas* c = m.Canvas()) {
        TLineWalk lw(m, c, par, li);
        const char* t = lw.Text;
        const bool sf = lw.StaticFormat;
        const std::int32_t tabW = lw.TabW;
        TStyleWalker& w = lw.Walker;
        TJustifier& j = lw.Justifier;
        std::int32_t run = li.Start;
        std::int32_t pos = li.Start;
        while (pos < end) {
            if (pos >= w.Next) {
                x += w.Measure(t + run, pos - run);
                w.PassTo(pos);
                run = pos;
            }
            // Ordinary characters are measured together, as one run.
            pos = lw.NextSpecial(pos, std::min(end, w.Next));
            if (pos >= end || pos >= w.Next) continue;
            const auto ch = static_cast<unsigned char>(t[pos]);
            if (ch == '\t') {
                x += w.Measure(t + run, pos - run);
                x = tabW > 0 ? (x / tabW + 1) * tabW : x;
                run = pos + 1;
            } else if (sf && IsStyleCode(ch)) {
                x += w.Measure(t + run, pos - run);
                w.Fold(ch);
                run = pos + 1;
            } else if (ch == ' ' && j.On && pos >= j.From) {
                x += w.Measure(t + run, pos + 1 - run) + j.Extra(pos);
                run = pos + 1;
            }
            ++pos;
        }
        x += w.Measure(t + run, end - run);
    }
    const bool justified = JustifiedLine(m, par, li);
    const std::int64_t r = x + LineOrigin(m, li, justified);
    return static_cast<std::int32_t>(std::max<std::int64_t>(INT32_MIN, std::min<std::int64_t>(r, INT32_MAX)));
}

void TRiriNavigator::XToPos(std::int32_t X) {
    TDudiRiriBase& m = *FMemo;
    const LineInfo li = CurrentLine();
    ParInfo& par = *FPar;
    const bool justified = JustifiedLine(m, par, li);
    const std::int64_t origin = LineOrigin(m, li, justified);
    const std::int64_t target = X;
    std::int32_t col = -1;
    bool allLeft = true;
    if (TCanvas* c = m.Canvas()) {
        TLineWalk lw(m, c, par, li);
        const char* t = lw.Text;
        const bool sf = lw.StaticFormat;
        const std::int32_t tabW = lw.TabW;
        TStyleWalker& w = lw.Walker;
        TJustifier& j = lw.Justifier;
        std::int64_t x = 0;  // from the line origin
        int prev = -1;        // the character before, while the font stays the same
        for (std::int32_t pos = li.Start; pos < li.Stop; ++pos) {
            if (pos >= w.Next) {
                w.PassTo(pos);
                prev = -1;
            }
            const auto ch = static_cast<unsigned char>(t[pos]);
            std::int64_t width = 0;
            if (ch == '\t') {
                width = tabW > 0 ? (x / tabW + 1) * tabW - x : 0;
                prev = -1;
            } else if (sf && IsStyleCode(ch)) {
                w.Fold(ch);
                prev = -1;
            } else {
                if (w.Adv || prev < 0) {
                    width = w.CharWidth(ch);
                } else {
                    const char pair[2] = {static_cast<char>(prev), static_cast<char>(ch)};
                    width = c->TextExtent(pair, 2) - c->TextExtent(pair, 1);
                }
                prev = ch;
                if (ch == ' ') width += j.Extra(pos);
            }
            ++col;
            const std::int64_t mid = origin + x + width / 2;
            x += width;
            if (mid > target) {
                allLeft = false;
                break;
            }
        }
    } else {
        // Nothing measured: every character sits at the origin.
        for (std::int32_t pos = li.Start; pos < li.Stop; ++pos) {
            ++col;
            if (origin > target) {
                allLeft = false;
                break;
            }
        }
    }
    if (allLeft) ++col;
    SetLineColumn(std::max(0, col));
}

std::int64_t TRiriNavigator::PixelY() {
    TDudiRiriBase& m = *FMemo;
    return static_cast<std::int64_t>(VisibleLine()) * m.LineHeight();
}

void TRiriNavigator::PixelToPos(std::int32_t X, std::int64_t Y) {
    TDudiRiriBase& m = *FMemo;
    const std::int32_t h = std::max(1, m.LineHeight());
    const std::int64_t line = Y >= 0 ? Y / h : -1;
    if (line >= m.Pars.LineCount) {
        SetPos(m.Pars.TotalLen);
        return;
    }
    SetVisibleLine(static_cast<std::int32_t>(std::max<std::int64_t>(0, line)));
    XToPos(X);
}

TPoint TRiriNavigator::PosToPixel() {
    const std::int32_t x = PosToX();
    return {x, PixelY()};
}

std::int32_t TRiriNavigator::CharWidth() {
    Resolve();
    TCanvas* c = FMemo->Canvas();
    if (!c || FParOffset >= FPar->Len()) return 0;
    FMemo->SelectStyleFont(*c, FMemo->EffectiveStyle(StaticStyle(), CurrentAttr()));
    const char ch = FPar->Text()[FParOffset];
    return c->TextExtent(&ch, 1);
}

}  // namespace tarvex
