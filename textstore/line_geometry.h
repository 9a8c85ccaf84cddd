#pragma once
// Horizontal geometry shared by x-from-position, position-from-x and painting:
// where a line starts and how justification widens its blanks.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "textstore/line_info.h"
#include "textstore/memo_base.h"
#include "textstore/par_info.h"
#include "textstore/style_walker.h"

namespace tarvex {

// Where a line's x = 0 lies in text coordinates (before the horizontal scroll).
inline std::int64_t LineOrigin(TDudiRiriBase& M, const LineInfo& L, bool Justified) {
    if (Justified || M.Alignment() == taLeftJustify) return M.LeftMargin();
    const std::int64_t room = static_cast<std::int64_t>(M.ClientWidth()) - M.LeftMargin() - M.RightMargin() - L.Width;
    if (M.Alignment() == taRightJustify) return static_cast<std::int64_t>(M.ClientWidth()) - M.RightMargin() - L.Width;
    return M.LeftMargin() + room / 2;
}

// The extra pixels justification gives the blanks of a line.
struct TJustifier {
    bool On = false;
    std::int32_t From = 0;
    std::int64_t Per = 0, Rem = 0, Acc = 0, Spaces = 1;

    TJustifier(TDudiRiriBase& M, const LineInfo& L) {
        if (!M.Justified() || L.Spaces <= 0) return;
        const std::int64_t extra =
            std::max<std::int64_t>(0, static_cast<std::int64_t>(M.ClientWidth()) - M.LeftMargin() - M.RightMargin() - L.Width);
        On = true;
        From = L.JustifyFrom;
        Spaces = L.Spaces;
        Per = extra / Spaces;
        Rem = extra % Spaces;
        Acc = Rem / 2;
    }
    std::int64_t Extra(std::int32_t Pos) {
        if (!On || Pos < From) return 0;
        Acc += Rem;
        if (Acc >= Spaces) {
            Acc -= Spaces;
            return Per + 1;
        }
        return Per;
    }
};

// Whether a line is drawn justified: every line of a justified paragraph but
// its last, whose JustifyFrom is the paragraph's length.
inline bool JustifiedLine(TDudiRiriBase& M, const ParInfo& P, const LineInfo& L) {
    return M.Justified() && P.Len() > L.JustifyFrom;
}

// What measuring along one display line needs: the text, the style walker
// started at the line's start, tab width and the justification of its blanks.
struct TLineWalk {
    const char* Text;
    bool StaticFormat;
    std::int32_t TabW;
    TFormatState State;
    TStyleWalker Walker;
    TJustifier Justifier;

    TLineWalk(TDudiRiriBase& M, TCanvas* C, ParInfo& P, const LineInfo& L)
        : Text(P.Text() ? P.Text() : ""), StaticFormat(M.StaticFormat()), TabW(M.TabWidthPixels()),
          Walker(M, C, State, P), Justifier(M, L) {
        Walker.Start(L.Start, L.Style);
    }

    // The first position in [Pos, Limit) that measures apart from a run: a
    // tab, a style code (with StaticFormat) or a blank justification widens;
    // Limit when there is none. Long lines of plain text are skipped at memchr speed.
    std::int32_t NextSpecial(std::int32_t Pos, std::int32_t Limit) const {
        if (Pos >= Limit) return Limit;
        if (!StaticFormat && !Justifier.On) {
            const void* tab = std::memchr(Text + Pos, '\t', static_cast<std::size_t>(Limit - Pos));
            return tab ? static_cast<std::int32_t>(static_cast<const char*>(tab) - Text) : Limit;
        }
        for (std::int32_t p = Pos; p < Limit; ++p) {
            const auto c = static_cast<unsigned char>(Text[p]);
            if ((c < 32 && (c == '\t' || (StaticFormat && IsStyleCode(c)))) || (c == ' ' && Justifier.On && p >= Justifier.From))
                return p;
        }
        return Limit;
    }
};

}  // namespace tarvex
