// Drawing printed pages: the display lines of one page with the runs the
// screen shows (highlighting, static styles, tabs, justification), numbers
// in the left margin, and the header and footer. Everything is measured in
// printer pixels on the print copy's canvas and drawn at a scale.

#include <algorithm>
#include <cmath>

#include "output/dudi_riri_printer.h"
#include "output/text_box.h"
#include "textstore/line_geometry.h"
#include "textstore/lines_list.h"
#include "textstore/static_format.h"
#include "textstore/style_walker.h"

namespace tarvex {

namespace {

bool ColourSet(std::int32_t C) { return C != clNone && C != clNoneAlt; }

// Long runs are drawn in pieces; a line without wrap may be megabytes long.
constexpr std::int32_t kMaxRun = 4096;

std::int32_t Scaled(std::int64_t V, double Scale) {
    return static_cast<std::int32_t>(std::clamp<double>(std::floor(static_cast<double>(V) * Scale + 0.5), -(1 << 30), 1 << 30));
}

std::int64_t Inches(float V, std::int32_t Ppi) { return std::llround(static_cast<double>(V) * Ppi); }

// Keeps the font scale and the font of a canvas for the time of a drawing.
class TCanvasState {
public:
    explicit TCanvasState(TPageCanvas& C) : C(C), FScale(C.FontScale()), FFont(C.Font()) {}
    ~TCanvasState() {
        C.SetFontScale(FScale);
        C.SelectFont(FFont);
    }
    TCanvasState(const TCanvasState&) = delete;
    TCanvasState& operator=(const TCanvasState&) = delete;

private:
    TPageCanvas& C;
    double FScale;
    TFontSpec FFont;
};

}  // namespace

void TDudiRiriPrinter::DrawHeaderFooter(TPageCanvas& C, std::int32_t Page, bool IsFooter, double Scale,
                                        TPageOrigin Origin) {
    if (!Ready()) return;
    const TPrinterMetrics& m = FMetrics;
    const std::int32_t ox = Origin == poDevice ? m.OffsetX : 0;
    const std::int32_t oy = Origin == poDevice ? m.OffsetY : 0;
    const std::int64_t left = Inches(FMarginLeft, m.PpiX) - ox;
    const std::int64_t right = m.PageWidth - Inches(FMarginRight, m.PpiX) - ox;
    std::int64_t top, bottom;
    if (IsFooter) {
        top = m.PageHeight - Inches(FooterYPos, m.PpiY) - oy;
        bottom = m.PageHeight - oy;
    } else {
        top = Inches(HeaderYPos, m.PpiY) - oy;
        bottom = Inches(FMarginTop, m.PpiY) - oy;
    }
    const TRect r{Scaled(left, Scale), Scaled(top, Scale), Scaled(right, Scale), Scaled(bottom, Scale)};
    const TFontSpec& font = IsFooter ? FooterFont : HeaderFont;
    TCanvasState keep(C);
    C.SetFontScale(Scale);
    C.SelectFont(font);
    DrawTextBox(C, r, WithPageNumber(IsFooter ? Footer : Header, Page + StartingPageNumber),
                IsFooter ? FooterAlign : HeaderAlign, font.Color);
}

void TDudiRiriPrinter::DrawPage(TPageCanvas& C, std::int32_t Page, double Scale, TPageOrigin Origin) {
    if (!Ready()) return;
    TPagination::TPageLines lines = FPages.Page(Page);
    if (lines.Count == 0) return;
    TDudiRiri& cp = *FCopy;
    if (!CopyMatches(cp.Pars.ParagraphOfLine(lines.First), cp.Pars.ParagraphOfLine(lines.First + lines.Count - 1))) {
        // The editor's text changed without a notice: never draw from stale records.
        Release();
        if (!Prepare()) return;
        lines = FPages.Page(Page);
        if (lines.Count == 0) return;
    }
    const TPrinterMetrics& m = FMetrics;
    const std::int32_t ox = Origin == poDevice ? m.OffsetX : 0;
    const std::int32_t oy = Origin == poDevice ? m.OffsetY : 0;
    const std::int64_t x0 = Inches(FMarginLeft, m.PpiX) - ox;
    const std::int64_t top = Inches(FMarginTop, m.PpiY) - oy;
    TCanvasState keep(C);
    C.SetFontScale(Scale);
    TCanvas& measure = *cp.Canvas();
    const TFontSpec measured = measure.Font();
    for (std::int32_t k = 0; k < lines.Count; ++k) {
        const std::int32_t line = lines.First + k;
        const std::int64_t baseline = top + static_cast<std::int64_t>(lines.Row + k) * FLineStep;
        std::int64_t number = -1;
        if (ParagraphNumbers) {
            const std::int32_t q = cp.Pars.ParagraphOfLine(line);
            if (cp.Pars.FirstLine(q) == line) number = static_cast<std::int64_t>(FFirstPar) + q + 1;
        } else if (LineNumbers) {
            number = static_cast<std::int64_t>(line) + 1;
        }
        if (number >= 0) {
            // The number ends where the text's margin begins.
            const std::string s = std::to_string(number) + ": ";
            measure.SelectFont(cp.Font());
            const std::int64_t w = measure.TextExtent(s.data(), static_cast<int>(s.size()));
            C.SelectFont(cp.Font());
            C.DrawText(Scaled(x0 - w, Scale), Scaled(baseline, Scale), s.data(), static_cast<int>(s.size()), cp.Font().Color);
        }
        DrawLine(C, line, x0, baseline, Scale);
    }
    measure.SelectFont(measured);
}

void TDudiRiriPrinter::DrawLine(TPageCanvas& C, std::int32_t Line, std::int64_t X0, std::int64_t Baseline, double Scale) {
    TDudiRiri& cp = *FCopy;
    const std::int32_t q = cp.Pars.ParagraphOfLine(Line);
    ParInfo& par = cp.Pars.At(q);
    TLinesList lines;
    lines.Par = &par;
    const LineInfo li = *lines.Line(Line - cp.Pars.FirstLine(q));
    const bool justified = JustifiedLine(cp, par, li);
    const std::int64_t origin = X0 + LineOrigin(cp, li, justified);
    const std::int64_t pageRight = static_cast<std::int64_t>(FMetrics.PageWidth) * 2;
    const char* t = par.Text() ? par.Text() : "";
    const bool sf = cp.StaticFormat();
    const std::int32_t tabW = cp.TabWidthPixels();
    TCanvas& measure = *cp.Canvas();
    TFormatState st;
    TStyleWalker w(cp, &measure, st, par);
    w.Start(li.Start, li.Style);
    TJustifier j(cp, li);
    std::int32_t drawnKey = -1;  // the style whose font is selected on the page
    std::int64_t x = origin;
    std::int32_t pos = li.Start;
    while (pos < li.Stop && x < pageRight) {
        w.PassTo(pos);
        const auto c = static_cast<unsigned char>(t[pos]);
        if (sf && IsStyleCode(c)) {
            w.Fold(c);
            ++pos;
            continue;
        }
        if (c == '\t') {
            x = origin + (tabW > 0 ? ((x - origin) / tabW + 1) * tabW : x - origin);
            ++pos;
            continue;
        }
        // A run: up to the next tab, code or change point (each justified blank alone).
        std::int32_t end = pos + 1;
        const bool justifiedBlank = c == ' ' && j.On && pos >= j.From;
        if (!justifiedBlank) {
            while (end < li.Stop && end < w.Next && end - pos < kMaxRun) {
                const auto d = static_cast<unsigned char>(t[end]);
                if (d == '\t' || (sf && IsStyleCode(d)) || (d == ' ' && j.On && end >= j.From)) break;
                ++end;
            }
        }
        const TDynInfo& a = cp.Pars.AttrBefore(par, w.Idx);
        const std::uint8_t eff = cp.EffectiveStyle(w.SStyle, a);
        std::int32_t fg = cp.Font().Color, bg = cp.Color;
        if ((a.Flags & dfOwn) && !(a.Color == 0 && a.BkColor == 0)) {
            if (ColourSet(a.Color)) fg = a.Color;
            if (ColourSet(a.BkColor)) bg = a.BkColor;
        }
        if (eff & fsHighlight) {
            fg = cp.HighlightColor;
            bg = cp.HighlightBackgnd;
        }
        if (ColourSet(par.ParColor())) fg = par.ParColor();
        if (ColourSet(par.ParBkColor())) bg = par.ParBkColor();
        std::int64_t width = w.Measure(t + pos, end - pos);
        if (justifiedBlank) width += j.Extra(pos);
        const std::int32_t key = eff & ~fsHighlight;
        if (key != drawnKey) {
            cp.SelectStyleFont(C, eff);
            drawnKey = key;
        }
        if (bg != cp.Color) {
            // Paper stays white where the screen shows the editor's background.
            const TFontMetrics fm = measure.Metrics();
            C.FillRect({Scaled(x, Scale), Scaled(Baseline - fm.Ascent, Scale), Scaled(x + width, Scale),
                        Scaled(Baseline + fm.Descent, Scale)},
                       bg);
        }
        if (!justifiedBlank) C.DrawText(Scaled(x, Scale), Scaled(Baseline, Scale), t + pos, end - pos, fg);
        x += width;
        pos = end;
    }
}

}  // namespace tarvex
