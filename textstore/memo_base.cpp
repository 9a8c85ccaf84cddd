#include "textstore/memo_base.h"

#include <algorithm>

#include "textstore/highlight_passes.h"
#include "textstore/highlighter.h"
#include "textstore/navigator.h"

namespace tarvex {

TDudiRiriBase::TDudiRiriBase() {
    SetSeparators(kDefaultSeparators);
    LoadText({});
}

TDudiRiriBase::~TDudiRiriBase() {
    SetHighlighter(nullptr);
    // Navigators that outlive the editor become free-standing.
    while (!FNavigators.empty()) FNavigators.back()->Bind(nullptr);
}

std::string TDudiRiriBase::Separators() const {
    std::string s;
    for (int c = 0; c < 256; ++c)
        if (FSeparatorSet[static_cast<std::size_t>(c)]) s.push_back(static_cast<char>(c));
    return s;
}

void TDudiRiriBase::SetSeparators(std::string_view V) {
    FSeparatorSet.reset();
    for (unsigned char c : V) FSeparatorSet.set(c);
    // Whole-word boundaries of the start-stop keys depend on the separators.
    StartStopKeys.Prepare(FSeparatorSet);
}

void TDudiRiriBase::SetUpperCaseType(TdrUpperCase V) {
    FUpperCaseType = V;
    Keywords.SetUpperCaseType(V);
    StartStopKeys.SetUpperCaseType(V);
}

void TDudiRiriBase::SetHighlighter(TRiriHighlighter* H) {
    if (H == FHighlighter) return;
    if (FHighlighter) std::erase(FHighlighter->FMemos, this);
    FHighlighter = H;
    if (H) H->FMemos.push_back(this);
}

void TDudiRiriBase::ApplyKeywordsToParagraph(std::int32_t ParIndex) {
    TRiriNavigator from(this), to(this);
    from.SetParNb(ParIndex);
    to.SetParNb(ParIndex);
    to.SetParOffset(Pars.At(ParIndex).Len());
    ApplyKeywords(*this, from, to);
}

void TDudiRiriBase::RegisterNavigator(TRiriNavigator* Nav) { FNavigators.push_back(Nav); }

void TDudiRiriBase::UnregisterNavigator(TRiriNavigator* Nav) {
    auto it = std::find(FNavigators.rbegin(), FNavigators.rend(), Nav);
    if (it != FNavigators.rend()) FNavigators.erase(std::next(it).base());
}

void TDudiRiriBase::InvalidateNavigators() {
    for (TRiriNavigator* n : FNavigators) n->Invalidate();
}

std::string TDudiRiriBase::Text() const {
    std::string s;
    s.reserve(static_cast<std::size_t>(Pars.TotalLen));
    for (std::int32_t i = 0; i < Pars.Count(); ++i) {
        if (i > 0) s += "\r\n";
        s += Pars.At(i).View();
    }
    return s;
}

void TDudiRiriBase::LoadText(std::string_view Text) {
    TMemoryStream s{std::string(Text)};
    TRiriLineBreak found = pbCRLF;
    Pars.LoadFromStream(s, 0, 300, nullptr, found, false);
    InvalidateNavigators();
    for (TRiriNavigator* n : FNavigators) n->SetPos(0);
}

std::int32_t TDudiRiriBase::LineHeight() const {
    if (FFixedLineHeight >= 1) return FFixedLineHeight;
    if (!FCanvas) return 16;
    const TFontSpec saved = FCanvas->Font();
    FCanvas->SelectFont(FFont);
    const std::int32_t h = FCanvas->Metrics().Height + 1;
    FCanvas->SelectFont(saved);
    return h;
}

std::int32_t TDudiRiriBase::MainSpaceWidth() {
    if (FMainSpaceWidth < 0) {
        FMainSpaceWidth = 1;
        if (FCanvas) {
            const TFontSpec saved = FCanvas->Font();
            FCanvas->SelectFont(FFont);
            FMainSpaceWidth = std::max(1, FCanvas->TextExtent("  ") - FCanvas->TextExtent(" "));
            FCanvas->SelectFont(saved);
        }
    }
    return FMainSpaceWidth;
}

std::int32_t TDudiRiriBase::TabWidthPixels() {
    if (FTabStops > 0) return FTabStops * MainSpaceWidth();
    if (FTabStops < 0) return -FTabStops;
    return 0;
}

std::uint8_t TDudiRiriBase::EffectiveStyle(std::uint8_t S, const TDynInfo& A) const {
    if (A.Flags & dfOwn) {
        std::uint8_t st = A.Flags & 0x3F;
        if ((st & 0x18) == 0x18) st &= static_cast<std::uint8_t>(~0x18);
        return st;
    }
    return static_cast<std::uint8_t>(S ^ (FFont.Style & kFontStyleMask));
}

void TDudiRiriBase::SelectStyleFont(TCanvas& C, std::uint8_t Style) const {
    TFontSpec f = (Style & fsAltFont) ? FAltFont : FFont;
    f.Style = Style & kFontStyleMask;
    C.SelectFont(f);
}

TReplaceResult TDudiRiriBase::ReplaceText(std::string_view NewText, TRiriNavigator& FromNav, TRiriNavigator& ToNav,
                                          bool BalanceCodes, bool TrimTrailing, std::string* Adopt) {
    const TReplaceResult r = Pars.ReplaceText(NewText, FromNav, ToNav, BalanceCodes, TrimTrailing, Adopt);
    for (TRiriNavigator* n : FNavigators)
        if (n != &FromNav && n != &ToNav) n->AdjustAfterReplace(r);
    return r;
}

}  // namespace tarvex
