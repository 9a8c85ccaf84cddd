#pragma once
// Character-by-character reading of an editor's text in place, for the
// commands that scan around the caret. Positions are the editor's: after
// each paragraph but the last come a CR and an LF.

#include <string>

#include "textstore/memo_base.h"

namespace tarvex {

class TTextWalker {
public:
    explicit TTextWalker(const TDudiRiriBase& M) : FPars(M.Pars), FSize(M.CharCount()) {}

    TPos Size() const { return FSize; }
    // The character at Pos; 0 outside the text.
    unsigned char At(TPos Pos) {
        if (Pos < 0 || Pos >= FSize) return 0;
        if (Pos < FStart || Pos >= FEnd) Locate(Pos);
        const TPos o = Pos - FStart;
        if (o < FLen) return static_cast<unsigned char>(FText[o]);
        return o == FLen ? '\r' : '\n';
    }
    // Count characters from Pos (breaks as CR LF), clipped to the text.
    std::string Text(TPos Pos, TPos Count);

private:
    void Locate(TPos Pos) {
        const std::int32_t p = FPars.ParagraphAt(Pos);
        const ParInfo& par = FPars.At(p);
        FStart = FPars.StartPos(p);
        FLen = par.Len();
        FText = par.Text();
        FEnd = p + 1 < FPars.Count() ? FStart + FLen + 2 : FStart + FLen;
    }

    const TParagraphsList& FPars;
    TPos FSize;
    TPos FStart = 0, FEnd = 0, FLen = 0;  // the cached paragraph: [FStart, FEnd) with its break
    const char* FText = nullptr;
};

inline std::string TTextWalker::Text(TPos Pos, TPos Count) {
    std::string out;
    if (Pos < 0) {
        Count += Pos;
        Pos = 0;
    }
    for (TPos i = 0; i < Count && Pos + i < FSize; ++i) out.push_back(static_cast<char>(At(Pos + i)));
    return out;
}

}  // namespace tarvex
