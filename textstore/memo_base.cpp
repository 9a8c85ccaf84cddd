#include "memo_base.h"

#include <algorithm>

#include "navigator.h"

namespace tarvex {

TDudiRiriBase::TDudiRiriBase() {
    SetSeparators(kDefaultSeparators);
    LoadText({});
}

TDudiRiriBase::~TDudiRiriBase() {
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

TReplaceResult TDudiRiriBase::ReplaceText(std::string_view NewText, TRiriNavigator& FromNav, TRiriNavigator& ToNav,
                                          bool BalanceCodes, bool TrimTrailing) {
    const TReplaceResult r = Pars.ReplaceText(NewText, FromNav, ToNav, BalanceCodes, TrimTrailing);
    for (TRiriNavigator* n : FNavigators)
        if (n != &FromNav && n != &ToNav) n->AdjustAfterReplace(r);
    return r;
}

}  // namespace tarvex
