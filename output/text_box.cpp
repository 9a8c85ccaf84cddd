#include "output/text_box.h"

namespace tarvex {

namespace {

void BreakOneLine(TCanvas& C, std::string_view Line, std::int32_t Width, std::vector<std::string>& Out) {
    std::string cur;
    std::int32_t curW = 0;
    std::size_t i = 0;
    const std::int32_t blank = C.TextExtent(" ", 1);
    bool any = false;
    while (i < Line.size()) {
        std::size_t b = i;
        while (b < Line.size() && Line[b] == ' ') ++b;
        std::size_t e = b;
        while (e < Line.size() && Line[e] != ' ') ++e;
        const std::string_view blanks = Line.substr(i, b - i);
        const std::string_view word = Line.substr(b, e - b);
        const std::int32_t ww = C.TextExtent(word.data(), static_cast<int>(word.size()));
        const std::int32_t bw = static_cast<std::int32_t>(blanks.size()) * blank;
        if (any && !word.empty() && curW + bw + ww > Width) {
            Out.push_back(std::move(cur));
            cur.assign(word);
            curW = ww;
        } else {
            cur.append(blanks);
            cur.append(word);
            curW += bw + ww;
        }
        any = any || !word.empty();
        i = e;
    }
    Out.push_back(std::move(cur));
}

}  // namespace

std::vector<std::string> BreakIntoLines(TCanvas& C, std::string_view Text, std::int32_t Width) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t br = Text.find_first_of("\r\n", start);
        BreakOneLine(C, Text.substr(start, br == std::string_view::npos ? std::string_view::npos : br - start), Width, out);
        if (br == std::string_view::npos) break;
        start = br + (Text[br] == '\r' && br + 1 < Text.size() && Text[br + 1] == '\n' ? 2 : 1);
    }
    return out;
}

void DrawTextBox(TDrawSurface& C, const TRect& R, std::string_view Text, TAlignment Align, std::int32_t Color) {
    const TFontMetrics m = C.Metrics();
    const std::int32_t step = std::max(1, m.Height);
    std::int32_t base = R.Top + m.Ascent;
    for (const std::string& line : BreakIntoLines(C, Text, R.Width())) {
        std::string_view t = line;
        while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
        const std::int32_t w = C.TextExtent(t.data(), static_cast<int>(t.size()));
        std::int32_t x = R.Left;
        if (Align == taRightJustify)
            x = R.Right - w;
        else if (Align == taCenter)
            x = R.Left + (R.Width() - w) / 2;
        if (!t.empty()) C.DrawText(x, base, t.data(), static_cast<int>(t.size()), Color);
        base += step;
    }
}

std::string WithPageNumber(std::string_view Text, std::int32_t Number) {
    std::string s(Text);
    const std::size_t at = s.find("{p}");
    if (at != std::string::npos) s.replace(at, 3, std::to_string(Number));
    return s;
}

}  // namespace tarvex
