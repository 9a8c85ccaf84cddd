// Painting: only the display lines that meet the clip area are laid out and drawn.

#include <algorithm>

#include "editor/dudi_riri.h"
#include "textstore/highlight_passes.h"
#include "textstore/layout.h"
#include "textstore/line_geometry.h"
#include "textstore/static_format.h"
#include "textstore/style_walker.h"

namespace tarvex {

namespace {
bool ColourSet(std::int32_t C) { return C != clNone && C != clNoneAlt; }
}  // namespace

std::int32_t TDudiRiri::AverageWidth() {
    TCanvas* c = Canvas();
    if (!c) return 8;
    const TFontSpec saved = c->Font();
    c->SelectFont(Font());
    const std::int32_t w = std::max(1, c->AverageCharWidth());
    c->SelectFont(saved);
    return w;
}

std::int32_t TDudiRiri::Baseline() {
    TCanvas* c = Canvas();
    const std::int32_t lh = LineHeight();
    if (!c) return lh - 4;
    const TFontSpec saved = c->Font();
    c->SelectFont(Font());
    const TFontMetrics m = c->Metrics();
    c->SelectFont(saved);
    // Text sits centred in a taller line.
    return lh - m.Descent - (lh - m.Height + 1) / 2;
}

std::int32_t TDudiRiri::VisibleLines() {
    const std::int32_t lh = LineHeight();
    return lh > 0 ? ClientHeight() / lh + 1 : 1;
}

TRect TDudiRiri::CaretRect() {
    if (DisplayOnly || !Canvas()) return {};
    FormatThrough(FCaret->ParNb());
    const TPoint p = FCaret->PosToPixel();
    std::int32_t w = CaretWidth > 0 ? CaretWidth : LineHeight() / 14 + 1;
    if (Overwrite && HasOption(droWideOverwriteCaret) && SelLength() == 0) w = std::max(1, FCaret->CharWidth());
    std::int32_t x = p.X - HorzOffset + VirtualSpaces * AverageWidth();
    if (WordWrap() && x >= ClientWidth()) x = ClientWidth() - 1;
    const auto y = static_cast<std::int32_t>(std::clamp<std::int64_t>(p.Y - VertOffset, -LineHeight() - 1, INT32_MAX / 2));
    return {x, y, x + w, y + LineHeight()};
}

void TDudiRiri::Paint(TDrawSurface& S, const TRect& Clip) {
    if (FUpdateCount > 0) return;
    const std::int32_t lh0 = LineHeight();
    const std::int32_t lh = lh0 > 0 ? lh0 : 20;
    const std::int64_t firstLine = std::max<std::int64_t>(0, (VertOffset + Clip.Top) / lh);
    const std::int64_t lastLine = std::max<std::int64_t>(0, (VertOffset + Clip.Bottom - 1) / lh);
    const std::int32_t base = Baseline();
    const std::int32_t avg = AverageWidth();
    const bool showSel = FHost->HasFocus() || !HideSelection;
    const TPos selLow = SelLow(), selHigh = SelHigh();
    const bool sf = StaticFormat();
    const std::int32_t tabW = TabWidthPixels();
    const bool hasImage = !BackgroundBmp.empty() && S.HasImage(BackgroundBmp);
    auto fillBg = [&](const TRect& r) {
        if (hasImage)
            S.TileImage(r, BackgroundBmp, -HorzOffset, -static_cast<std::int32_t>((VertOffset + r.Top) % 100000));
        else
            S.FillRect(r, Color);
    };

    TRiriNavigator nav(this);
    std::int64_t line = firstLine;
    std::int64_t y = line * lh - VertOffset;
    for (; line <= lastLine && line < Pars.LineCount; ++line, y += lh) {
        // Lay out what is shown, then find the line again (layout may change the numbering).
        nav.SetVisibleLine(static_cast<std::int32_t>(line));
        if (!(nav.Par()->Flags & pfFormatted)) {
            FormatThrough(nav.ParNb());
            nav.Invalidate();
            nav.SetVisibleLine(static_cast<std::int32_t>(line));
        }
        ParInfo& par = *nav.Par();
        const LineInfo li = nav.CurrentLine();
        const auto yy = static_cast<std::int32_t>(y);
        const TRect row{0, yy, ClientWidth(), yy + lh};
        fillBg(row);

        const bool justified = JustifiedLine(*this, par, li);
        std::int64_t x = LineOrigin(*this, li, justified) - HorzOffset;
        const char* t = par.Text ? par.Text : "";
        TFormatState st;
        TStyleWalker w(*this, &S, st, par);
        w.Start(li.Start, li.Style);
        TJustifier j(*this, li);
        const std::int64_t origin = x;
        // The selection on this line, as offsets.
        std::int32_t s1 = -1, s2 = -1;
        if (showSel && selHigh > selLow) {
            if (BlockSelected) {
                if (par.StartPos + par.Len() >= selLow && par.StartPos <= selHigh) {
                    const std::string_view v = par.View();
                    s1 = ColumnToOffset(v, std::min(BlockCol1, BlockCol2), TabStops(), sf);
                    s2 = ColumnToOffset(v, std::max(BlockCol1, BlockCol2), TabStops(), sf);
                }
            } else {
                s1 = static_cast<std::int32_t>(std::clamp<TPos>(selLow - par.StartPos, li.Start, li.Stop));
                s2 = static_cast<std::int32_t>(std::clamp<TPos>(selHigh - par.StartPos, li.Start, li.Stop));
            }
        }
        std::int32_t pos = li.Start;
        while (pos < li.Stop) {
            w.PassTo(pos);
            const auto c = static_cast<unsigned char>(t[pos]);
            if (sf && IsStyleCode(c)) {
                w.Fold(c);
                ++pos;
                continue;
            }
            const bool selected = pos >= s1 && pos < s2;
            if (c == '\t') {
                const std::int64_t nx = origin + (tabW > 0 ? ((x - origin) / tabW + 1) * tabW : x - origin);
                const TRect r{static_cast<std::int32_t>(std::max<std::int64_t>(x, -1)), yy,
                              static_cast<std::int32_t>(std::min<std::int64_t>(nx, 1 << 30)), yy + lh};
                if (selected) {
                    if (HasOption(droWindowsSelColors))
                        S.FillRect(r, SelBackColor);
                    else
                        S.InvertRect(r);
                }
                if (ShowNonPrintChars & drNPTab) S.DrawText(r.Left, yy + base, "\xBB", 1, Font().Color);
                x = nx;
                ++pos;
                continue;
            }
            // A run: up to the next tab, code, change point or selection end (and each justified blank alone).
            std::int32_t end = pos + 1;
            const bool justifiedBlank = c == ' ' && j.On && pos >= j.From;
            if (!justifiedBlank) {
                while (end < li.Stop && end < w.Next) {
                    const auto d = static_cast<unsigned char>(t[end]);
                    if (d == '\t' || (sf && IsStyleCode(d)) || end == s1 || end == s2 || (d == ' ' && j.On && end >= j.From)) break;
                    ++end;
                }
            }
            const TDynInfo& a = Pars.AttrBefore(par, w.Idx);
            const std::uint8_t eff = EffectiveStyle(w.SStyle, a);
            std::int32_t fg = Font().Color, bg = Color;
            if ((a.Flags & dfOwn) && !(a.Color == 0 && a.BkColor == 0)) {
                if (ColourSet(a.Color)) fg = a.Color;
                if (ColourSet(a.BkColor)) bg = a.BkColor;
            }
            if (eff & fsHighlight) {
                fg = HighlightColor;
                bg = HighlightBackgnd;
            }
            if (ColourSet(par.ParColor())) fg = par.ParColor();
            if (ColourSet(par.ParBkColor())) bg = par.ParBkColor();
            if (selected && HasOption(droWindowsSelColors)) {
                fg = SelTextColor;
                bg = SelBackColor;
            }
            std::int64_t width = w.Measure(t + pos, end - pos);
            if (justifiedBlank) width += j.Extra(pos);
            const std::int64_t right = x + width;
            if (right > -16384 && x < Clip.Right) {
                const TRect r{static_cast<std::int32_t>(std::max<std::int64_t>(x, -16384)), yy,
                              static_cast<std::int32_t>(std::min<std::int64_t>(right, 1 << 30)), yy + lh};
                if (bg != Color || hasImage == false) S.FillRect(r, bg);
                if (ShowNonPrintChars & drNPSpace) {
                    // Blanks show as middle dots.
                    std::int64_t cx = x;
                    for (std::int32_t k = pos; k < end; ++k) {
                        const char ch = t[k] == ' ' ? '\xB7' : t[k];
                        S.DrawText(static_cast<std::int32_t>(cx), yy + base, &ch, 1, fg);
                        cx += w.CharWidth(static_cast<unsigned char>(t[k]));
                    }
                } else {
                    S.DrawText(static_cast<std::int32_t>(x), yy + base, t + pos, end - pos, fg);
                }
                if (a.Extra & 0x80) {
                    // A run a highlighter marks as special: zigzag underline.
                    const std::int32_t zy = yy + base + 2;
                    for (std::int64_t zx = x; zx < right; zx += 4) {
                        S.DrawLine(static_cast<std::int32_t>(zx), zy + 1, static_cast<std::int32_t>(std::min(zx + 2, right)), zy - 1,
                                   SpecUnderline.Color, lsSolid, 1);
                        S.DrawLine(static_cast<std::int32_t>(std::min(zx + 2, right)), zy - 1,
                                   static_cast<std::int32_t>(std::min(zx + 4, right)), zy + 1, SpecUnderline.Color, lsSolid, 1);
                    }
                }
                if (selected && !HasOption(droWindowsSelColors)) S.InvertRect(r);
            }
            x = right;
            pos = end;
            if (x > Clip.Right + 16384 && !selected) break;  // nothing more to see on this line
        }
        const bool lastOfPar = li.Stop >= par.Len();
        if (lastOfPar && (ShowNonPrintChars & drNPReturn)) S.DrawText(static_cast<std::int32_t>(x), yy + base, "\xB6", 1, Font().Color);
        // The selection going on past the end of the line.
        if (showSel && !BlockSelected && selHigh > par.StartPos + li.Stop && selLow <= par.StartPos + li.Stop) {
            const auto xi = static_cast<std::int32_t>(std::clamp<std::int64_t>(x, -16384, 1 << 30));
            if (HasOption(droFullLineSelect)) {
                const TRect r{xi, yy, ClientWidth(), yy + lh};
                if (HasOption(droWindowsSelColors))
                    S.FillRect(r, SelBackColor);
                else
                    S.InvertRect(r);
            } else if (lastOfPar && ShowEndParSelected && !(ShowNonPrintChars & drNPReturn)) {
                const TRect r{xi, yy + lh / 3, xi + avg / 2 + 1, yy + 2 * lh / 3};
                if (HasOption(droWindowsSelColors))
                    S.FillRect(r, SelBackColor);
                else
                    S.InvertRect(r);
            }
        }
    }
    // Below the last line.
    const std::int64_t below = static_cast<std::int64_t>(Pars.LineCount) * lh - VertOffset;
    if (below < Clip.Bottom) fillBg({Clip.Left, static_cast<std::int32_t>(std::max<std::int64_t>(below, Clip.Top)), Clip.Right, Clip.Bottom});
    if (EndOfTextMark.Style != psClear && below >= Clip.Top - EndOfTextMark.Width && below <= Clip.Bottom) {
        const auto ey = static_cast<std::int32_t>(below + EndOfTextMark.Width / 2);
        S.DrawLine(0, ey, ClientWidth(), ey, EndOfTextMark.Color, static_cast<TLineStyle>(EndOfTextMark.Style), EndOfTextMark.Width);
    }
    if (RightLinePos != 0) {
        const std::int32_t gx = RightLinePos > 0 ? LeftMargin() - HorzOffset + RightLinePos * avg : LeftMargin() - HorzOffset - RightLinePos;
        if (gx >= Clip.Left && gx < Clip.Right)
            S.DrawLine(gx, Clip.Top, gx, Clip.Bottom, RightLinePen.Color, static_cast<TLineStyle>(RightLinePen.Style), RightLinePen.Width);
    }
}

}  // namespace tarvex
