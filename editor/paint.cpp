// Painting: only the display lines that meet the clip area are laid out and
// drawn, and of a long line only the characters that reach the clip area.

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

std::int32_t Clamp32(std::int64_t V) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(V, -(1 << 30), 1 << 30)); }

// Draws the display lines of one paint request.
class TLinePainter {
public:
    TLinePainter(TDudiRiri& M, TDrawSurface& S, const TRect& Clip, bool ShowSelection)
        : M(M), S(S), Clip(Clip), Lh(std::max(1, M.LineHeight())), Base(M.Baseline()), Avg(M.AverageWidth()),
          ShowSel(ShowSelection), SelLow(std::min(M.SelStartNav().Pos(), M.SelEndNav().Pos())),
          SelHigh(std::max(M.SelStartNav().Pos(), M.SelEndNav().Pos())), Sf(M.StaticFormat()), TabW(M.TabWidthPixels()),
          HasImage(!M.BackgroundBmp.empty() && S.HasImage(M.BackgroundBmp)),
          // A chunk of text is at most 16384 pixels wide.
          ChunkChars(std::max(1, 16384 / std::max(1, Avg))) {}

    void FillBackground(const TRect& R) {
        if (HasImage)
            S.TileImage(R, M.BackgroundBmp, -M.HorzOffset, -static_cast<std::int32_t>((M.VertOffset + R.Top) % 100000));
        else
            S.FillRect(R, M.Color);
    }

    void PaintLine(ParInfo& Par, TPos ParStart, const LineInfo& Li, std::int32_t Y);

private:
    void SelectionOnLine(ParInfo& Par, TPos ParStart, const LineInfo& Li, std::int32_t& S1, std::int32_t& S2) const;
    void FillSelected(const TRect& R) {
        if (M.HasOption(droWindowsSelColors))
            S.FillRect(R, M.SelBackColor);
        else
            S.InvertRect(R);
    }
    // Draws Count characters at X in chunks, only those that reach the clip area.
    void DrawChars(TStyleWalker& W, std::int64_t X, std::int32_t Y, const char* T, std::int32_t Count, std::int32_t Color);
    void DrawMarks(TStyleWalker& W, std::int64_t X, std::int32_t Y, const char* T, std::int32_t Count, std::int32_t Color);
    void Zigzag(std::int64_t X, std::int64_t Right, std::int32_t Y);
    void SelectionPastLineEnd(ParInfo& Par, TPos ParStart, const LineInfo& Li, std::int64_t X, std::int32_t Y);

    TDudiRiri& M;
    TDrawSurface& S;
    const TRect Clip;
    const std::int32_t Lh, Base, Avg;
    const bool ShowSel;
    const TPos SelLow, SelHigh;
    const bool Sf;
    const std::int32_t TabW;
    const bool HasImage;
    const std::int32_t ChunkChars;
};

void TLinePainter::SelectionOnLine(ParInfo& Par, TPos ParStart, const LineInfo& Li, std::int32_t& S1, std::int32_t& S2) const {
    S1 = S2 = -1;
    if (!ShowSel || SelHigh <= SelLow) return;
    if (M.BlockSelected) {
        if (ParStart + Par.Len() >= SelLow && ParStart <= SelHigh) {
            const std::string_view v = Par.View();
            S1 = ColumnToOffset(v, std::min(M.BlockCol1, M.BlockCol2), M.TabStops(), Sf);
            S2 = ColumnToOffset(v, std::max(M.BlockCol1, M.BlockCol2), M.TabStops(), Sf);
        }
    } else {
        S1 = static_cast<std::int32_t>(std::clamp<TPos>(SelLow - ParStart, Li.Start, Li.Stop));
        S2 = static_cast<std::int32_t>(std::clamp<TPos>(SelHigh - ParStart, Li.Start, Li.Stop));
    }
}

void TLinePainter::DrawChars(TStyleWalker& W, std::int64_t X, std::int32_t Y, const char* T, std::int32_t Count,
                             std::int32_t Color) {
    for (std::int32_t i = 0; i < Count && X < Clip.Right;) {
        const std::int32_t n = std::min(ChunkChars, Count - i);
        const std::int64_t w = W.Measure(T + i, n);
        // A glyph may reach a little beyond its advance: one character of slack.
        if (X + w + Avg >= Clip.Left) S.DrawText(static_cast<std::int32_t>(X), Y, T + i, n, Color);
        X += w;
        i += n;
    }
}

void TLinePainter::DrawMarks(TStyleWalker& W, std::int64_t X, std::int32_t Y, const char* T, std::int32_t Count,
                             std::int32_t Color) {
    // Blanks show as middle dots.
    for (std::int32_t k = 0; k < Count && X < Clip.Right; ++k) {
        const std::int32_t w = W.CharWidth(static_cast<unsigned char>(T[k]));
        if (X + w + Avg >= Clip.Left) {
            const char ch = T[k] == ' ' ? '\xB7' : T[k];
            S.DrawText(static_cast<std::int32_t>(X), Y, &ch, 1, Color);
        }
        X += w;
    }
}

void TLinePainter::Zigzag(std::int64_t X, std::int64_t Right, std::int32_t Y) {
    // A run a highlighter marks as special.
    const std::int32_t zy = Y + Base + 2;
    const std::int32_t c = M.SpecUnderline.Color;
    for (std::int64_t zx = std::max<std::int64_t>(X, Clip.Left - 4); zx < Right && zx < Clip.Right; zx += 4) {
        S.DrawLine(Clamp32(zx), zy + 1, Clamp32(std::min(zx + 2, Right)), zy - 1, c, lsSolid, 1);
        S.DrawLine(Clamp32(std::min(zx + 2, Right)), zy - 1, Clamp32(std::min(zx + 4, Right)), zy + 1, c, lsSolid, 1);
    }
}

void TLinePainter::SelectionPastLineEnd(ParInfo& Par, TPos ParStart, const LineInfo& Li, std::int64_t X, std::int32_t Y) {
    if (!ShowSel || M.BlockSelected || SelHigh <= ParStart + Li.Stop || SelLow > ParStart + Li.Stop) return;
    const std::int32_t xi = Clamp32(X);
    if (M.HasOption(droFullLineSelect)) {
        if (xi < M.ClientWidth()) FillSelected({std::max(xi, Clip.Left - 1), Y, M.ClientWidth(), Y + Lh});
    } else if (Li.Stop >= Par.Len() && M.ShowEndParSelected && !(M.ShowNonPrintChars & drNPReturn)) {
        // The selected paragraph break: a cell half a character wide.
        FillSelected({xi, Y + Lh / 3, xi + Avg / 2 + 1, Y + 2 * Lh / 3});
    }
}

void TLinePainter::PaintLine(ParInfo& Par, TPos ParStart, const LineInfo& Li, std::int32_t Y) {
    FillBackground({0, Y, M.ClientWidth(), Y + Lh});
    const bool justified = JustifiedLine(M, Par, Li);
    std::int64_t x = LineOrigin(M, Li, justified) - M.HorzOffset;
    TLineWalk lw(M, &S, Par, Li);
    const char* t = lw.Text;
    TStyleWalker& w = lw.Walker;
    TJustifier& j = lw.Justifier;
    const std::int64_t origin = x;
    std::int32_t s1, s2;
    SelectionOnLine(Par, ParStart, Li, s1, s2);
    const std::int32_t textColor = M.Font().Color;
    std::int32_t pos = Li.Start;
    while (pos < Li.Stop) {
        w.PassTo(pos);
        const auto c = static_cast<unsigned char>(t[pos]);
        if (Sf && IsStyleCode(c)) {
            w.Fold(c);
            ++pos;
            continue;
        }
        const bool selected = pos >= s1 && pos < s2;
        if (c == '\t') {
            const std::int64_t nx = origin + (TabW > 0 ? ((x - origin) / TabW + 1) * TabW : x - origin);
            const TRect r{Clamp32(std::max<std::int64_t>(x, -1)), Y, Clamp32(nx), Y + Lh};
            if (selected) FillSelected(r);
            if (M.ShowNonPrintChars & drNPTab) S.DrawText(r.Left, Y + Base, "\xBB", 1, textColor);
            x = nx;
            ++pos;
            continue;
        }
        // A run: up to the next tab, code, change point or selection end (and each justified blank alone).
        std::int32_t end = pos + 1;
        const bool justifiedBlank = c == ' ' && j.On && pos >= j.From;
        if (!justifiedBlank) {
            std::int32_t limit = std::min(Li.Stop, w.Next);
            if (s1 > pos) limit = std::min(limit, s1);
            if (s2 > pos) limit = std::min(limit, s2);
            end = lw.NextSpecial(end, limit);
        }
        const TDynInfo& a = M.Pars.AttrBefore(Par, w.Idx);
        const std::uint8_t eff = M.EffectiveStyle(w.SStyle, a);
        std::int32_t fg = textColor, bg = M.Color;
        if ((a.Flags & dfOwn) && !(a.Color == 0 && a.BkColor == 0)) {
            if (ColourSet(a.Color)) fg = a.Color;
            if (ColourSet(a.BkColor)) bg = a.BkColor;
        }
        if (eff & fsHighlight) {
            fg = M.HighlightColor;
            bg = M.HighlightBackgnd;
        }
        if (ColourSet(Par.ParColor())) fg = Par.ParColor();
        if (ColourSet(Par.ParBkColor())) bg = Par.ParBkColor();
        if (selected && M.HasOption(droWindowsSelColors)) {
            fg = M.SelTextColor;
            bg = M.SelBackColor;
        }
        std::int64_t width = w.Measure(t + pos, end - pos);
        if (justifiedBlank) width += j.Extra(pos);
        const std::int64_t right = x + width;
        if (right > Clip.Left - Avg && x < Clip.Right) {
            const TRect r{Clamp32(std::max<std::int64_t>(x, Clip.Left - 1)), Y, Clamp32(std::min<std::int64_t>(right, Clip.Right + 1)), Y + Lh};
            if (bg != M.Color || !HasImage) S.FillRect(r, bg);
            if (M.ShowNonPrintChars & drNPSpace)
                DrawMarks(w, x, Y + Base, t + pos, end - pos, fg);
            else
                DrawChars(w, x, Y + Base, t + pos, end - pos, fg);
            if (a.Extra & 0x80) Zigzag(x, right, Y);
            if (selected && !M.HasOption(droWindowsSelColors)) S.InvertRect(r);
        }
        x = right;
        pos = end;
        if (x > Clip.Right + 16384 && !selected) break;  // nothing more to see on this line
    }
    if (Li.Stop >= Par.Len() && (M.ShowNonPrintChars & drNPReturn)) S.DrawText(Clamp32(x), Y + Base, "\xB6", 1, textColor);
    SelectionPastLineEnd(Par, ParStart, Li, x, Y);
}

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
    TLinePainter painter(*this, S, Clip, FHost->HasFocus() || !HideSelection);
    TRiriNavigator nav(this);
    std::int64_t y = firstLine * lh - VertOffset;
    for (std::int64_t line = firstLine; line <= lastLine && line < Pars.LineCount; ++line, y += lh) {
        // Lay out what is shown, then find the line again (layout may change the numbering).
        nav.SetVisibleLine(static_cast<std::int32_t>(line));
        if (!(nav.Par()->Flags & pfFormatted)) {
            FormatThrough(nav.ParNb());
            nav.Invalidate();
            nav.SetVisibleLine(static_cast<std::int32_t>(line));
        }
        painter.PaintLine(*nav.Par(), Pars.StartPos(nav.ParNb()), nav.CurrentLine(), static_cast<std::int32_t>(y));
    }
    // Below the last line.
    const std::int64_t below = static_cast<std::int64_t>(Pars.LineCount) * lh - VertOffset;
    if (below < Clip.Bottom)
        painter.FillBackground({Clip.Left, static_cast<std::int32_t>(std::max<std::int64_t>(below, Clip.Top)), Clip.Right, Clip.Bottom});
    if (EndOfTextMark.Style != psClear && below >= Clip.Top - EndOfTextMark.Width && below <= Clip.Bottom) {
        const auto ey = static_cast<std::int32_t>(below + EndOfTextMark.Width / 2);
        S.DrawLine(0, ey, ClientWidth(), ey, EndOfTextMark.Color, static_cast<TLineStyle>(EndOfTextMark.Style), EndOfTextMark.Width);
    }
    if (RightLinePos != 0) {
        const std::int32_t gx = RightLinePos > 0 ? LeftMargin() - HorzOffset + RightLinePos * AverageWidth() : LeftMargin() - HorzOffset - RightLinePos;
        if (gx >= Clip.Left && gx < Clip.Right)
            S.DrawLine(gx, Clip.Top, gx, Clip.Bottom, RightLinePen.Color, static_cast<TLineStyle>(RightLinePen.Style), RightLinePen.Width);
    }
}

}  // namespace tarvex
