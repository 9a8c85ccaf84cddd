#include "spell/word_walk.h"

#include "spell/letters.h"
#include "textstore/memo_base.h"

namespace tarvex {

namespace {

// Apostrophes and hyphens join the parts of a word ("don't", "кто-нибудь").
bool IsJoiner(unsigned char C) { return C == '\'' || C == '-' || C == 0x92 /* ’ */; }

}  // namespace

bool NextSpellWord(std::string_view Text, std::size_t& Offset, const std::bitset<256>& Separators, bool SkipLatin,
                   std::size_t& Start, std::size_t& Length) {
    const std::size_t n = Text.size();
    std::size_t i = Offset;
    while (i < n) {
        while (i < n && Separators[static_cast<unsigned char>(Text[i])]) ++i;
        const std::size_t runStart = i;
        while (i < n && !Separators[static_cast<unsigned char>(Text[i])]) ++i;
        std::size_t a = runStart, b = i;
        while (a < b && !IsLetter(static_cast<unsigned char>(Text[a]))) ++a;
        while (b > a && !IsLetter(static_cast<unsigned char>(Text[b - 1]))) --b;
        if (a == b) continue;
        bool plain = true, cyrillic = false;
        for (std::size_t k = runStart; k < i && plain; ++k) {
            const unsigned char c = static_cast<unsigned char>(Text[k]);
            if (c >= '0' && c <= '9') plain = false;
            if (k >= a && k < b && !IsLetter(c) && !IsJoiner(c)) plain = false;
            if (IsCyrillicLetter(c)) cyrillic = true;
        }
        if (!plain || (SkipLatin && !cyrillic)) continue;
        Offset = i;
        Start = a;
        Length = b - a;
        return true;
    }
    Offset = n;
    return false;
}

TWordWalk::TWordWalk(TDudiRiriBase& Memo, TPos From, TPos To, bool SkipLatin)
    : FMemo(Memo), FAt(&Memo), FSkipLatin(SkipLatin) {
    From = std::max<TPos>(0, std::min(From, Memo.CharCount()));
    FAt.SetPos(From);
    if (To >= 0) {
        FEnd = std::make_unique<TRiriNavigator>(&Memo);
        FEnd->SetPos(std::min(To, Memo.CharCount()));
    }
    // Back to the start of the word the walk begins in.
    const std::string_view t = FAt.Par()->View();
    std::int32_t o = FAt.ParOffset();
    if (o > static_cast<std::int32_t>(t.size())) o = static_cast<std::int32_t>(t.size());
    while (o > 0 && !Memo.IsSeparator(static_cast<unsigned char>(t[static_cast<std::size_t>(o - 1)]))) --o;
    FAt.SetPos(FAt.Pos() - (FAt.ParOffset() - o));
}

TWordWalk::~TWordWalk() = default;

void TWordWalk::SetPosition(TPos P) { FAt.SetPos(std::max<TPos>(0, std::min(P, FMemo.CharCount()))); }

TPos TWordWalk::End() const { return FEnd ? FEnd->Pos() : FMemo.CharCount(); }

bool TWordWalk::AtEnd() const { return FAt.Pos() >= End(); }

bool TWordWalk::Next(TSpellWord& W) {
    const TPos end = End();
    const std::bitset<256>& sep = FMemo.SeparatorSet();
    std::int32_t par = FAt.ParNb();
    std::size_t off = static_cast<std::size_t>(FAt.ParOffset());
    const std::int32_t count = FMemo.ParagraphCount();
    while (par < count) {
        const ParInfo& p = FMemo.Pars.At(par);
        const TPos pStart = FMemo.Pars.StartPos(par);
        if (pStart >= end) break;
        const std::string_view text = p.View();
        std::size_t start = 0, len = 0;
        if (off < text.size() && NextSpellWord(text, off, sep, FSkipLatin, start, len)) {
            const TPos pos = pStart + static_cast<TPos>(start);
            if (pos + static_cast<TPos>(len) > end) break;
            W.Pos = pos;
            W.Text.assign(text.substr(start, len));
            FAt.SetResolved(par, static_cast<std::int32_t>(off), pStart + static_cast<TPos>(off));
            return true;
        }
        ++par;
        off = 0;
    }
    FAt.SetPos(end);
    return false;
}

}  // namespace tarvex
