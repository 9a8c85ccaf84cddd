#include "highlight/number_highlighter.h"

#include <algorithm>
#include <vector>

#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {

TNumberHighlighter::TNumberHighlighter() {
    SetSeparators("\t ,.;");
    FContextNum = 3000;
    FForeground = 255;
}

std::string TNumberHighlighter::Separators() const {
    std::string s;
    for (int c = 27; c < 256; ++c)
        if (IsSeparator(static_cast<unsigned char>(c))) s.push_back(static_cast<char>(c));
    return s;
}

void TNumberHighlighter::SetSeparators(std::string_view V) {
    std::string all;
    for (int c = 0; c <= 26; ++c) all.push_back(static_cast<char>(c));
    all += V;
    TCustomExtHighlighter::SetSeparators(all);
}

bool TNumberHighlighter::IsNumber(std::string_view W) {
    if (W.empty()) return false;
    if (W[0] == '$') {
        return std::all_of(W.begin() + 1, W.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        });
    }
    return std::all_of(W.begin(), W.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool TNumberHighlighter::Allows(const TDynInfo& A) {
    const std::int32_t value = (A.Flags & (dfOwn | dfKeyed)) == (dfOwn | dfKeyed) ? A.Context : (A.Flags & dfOwn) ? -32768 : 0;
    bool ok = value == FScope || FPriority > 0;
    if (OnQueryHilit) OnQueryHilit(*this, static_cast<std::int16_t>(value), ok);
    return ok;
}

void TNumberHighlighter::ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    TDudiRiriBase* memo = StartNav.Memo();
    if (!memo || !Active) return;
    TDudiRiriBase& M = *memo;
    TParagraphsList& L = M.Pars;
    TRiriNavigator* f = &StartNav;
    TRiriNavigator* t = &StopNav;
    if (f->Pos() > t->Pos()) std::swap(f, t);
    const std::int32_t p1 = f->ParNb(), o1 = f->ParOffset(), p2 = t->ParNb(), o2 = t->ParOffset();
    TPos earliest = INT64_MAX;
    std::vector<std::pair<std::int32_t, std::int32_t>>& found = FFound;
    for (std::int32_t p = p1; p <= p2; ++p) {
        ParInfo& par = L.At(p);
        const std::string_view text = par.View();
        const auto len = static_cast<std::int32_t>(text.size());
        std::int32_t i = p == p1 ? std::max(0, std::min(o1, len) - 1) : 0;
        while (i > 0 && !IsSeparator(static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)]))) --i;
        const std::int32_t end = p == p2 ? std::min(o2, len) : len;
        // The run holding i, where the next one begins, and whether it allows numbers.
        const std::int32_t cnt = L.DynCount(par);
        std::int32_t idx = PointsAtMost(L, par, i);
        auto nextAt = [&] { return idx < cnt ? L.DynOffset(par, idx) : INT32_MAX; };
        bool allowed = Allows(L.AttrBefore(par, idx));
        found.clear();
        while (i <= end) {
            while (i < len && IsSeparator(static_cast<unsigned char>(text[static_cast<std::size_t>(i)]))) ++i;
            // A word that starts right at the end had its left neighbour changed too.
            if (i > end || i >= len) break;
            bool moved = false;
            while (nextAt() <= i) {
                while (idx < cnt && L.DynOffset(par, idx) <= i) ++idx;
                moved = true;
            }
            if (moved) allowed = Allows(L.AttrBefore(par, idx));
            if (!allowed) {
                const std::int32_t n = nextAt();
                if (n == INT32_MAX || n >= end) break;
                i = n;
                continue;
            }
            std::int32_t j = i;
            while (j < len && !IsSeparator(static_cast<unsigned char>(text[static_cast<std::size_t>(j)]))) ++j;
            if (nextAt() >= j && IsNumber(text.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(j - i))))
                found.emplace_back(i, j);
            i = j;
        }
        if (!found.empty()) L.DynForWrite(par).reserve(L.DynForWrite(par).size() + 2 * found.size());
        const TPos parStart = L.StartPos(p);
        for (const auto& [s, e] : found) {
            const TPos start = parStart + s;
            // The attribute in force at the number: the change points at its offset count.
            const TDynView v = L.Dyn(par);
            const std::int32_t at = v.CountAtMost(s);
            const std::uint32_t from = at > 0 ? v.State(at - 1) : L.StartState(par);
            const TDynInfo& A = L.States[from];
            const std::int32_t d = ContextDepth(A);
            if (d >= 15 || (d >= 0 && A.Contexts[d] >= 0)) continue;  // full, or inside another key's run
            if (at < v.size() && v.Offset(at) <= e - 1) continue;     // a change point inside
            const std::int32_t keyLen = std::min(e - s, 65535);
            auto record = [&] {
                TDynInfo n = A;
                n.Flags = static_cast<std::uint8_t>((FStyle & 0x0F) | (FAltFont ? 0x20 : 0) | dfOwn | dfKeyed);
                n.Nesting = 0;
                n.Extra = 0;
                n.Color = FForeground;
                n.BkColor = FBackground;
                n.Context = FContextNum;
                n.Cursor = 0;
                n.Depth = static_cast<std::int8_t>(d + 1);
                n.Contexts[d + 1] = static_cast<std::int16_t>(KeyBase);
                n.KeyLen = n.StopLen = static_cast<std::uint16_t>(keyLen);
                return n;
            };
            // Runs are told apart by their length; long numbers are rare and not remembered.
            const TRunSig sig{{FStyle, FAltFont, FForeground, FBackground, FContextNum, KeyBase, 0}};
            const std::uint32_t run = keyLen < 256 ? RunState(L, static_cast<std::uint32_t>(keyLen), sig, from, record)
                                                   : L.States.Intern(KeyRunRecord(A, record()));
            PutKeyRunState(M, p, s, e - s, run);
            earliest = std::min(earliest, start);
        }
    }
    if (earliest != INT64_MAX)
        for (TRiriNavigator* n : M.Navigators())
            if (n->Pos() >= earliest) n->ResetLineAndDyn();
}

}  // namespace tarvex
