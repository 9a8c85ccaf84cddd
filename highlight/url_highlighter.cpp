#include "highlight/url_highlighter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "editor/dudi_riri.h"
#include "highlight/ext_highlighter.h"
#include "highlight/text_scan.h"
#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {

namespace {
bool IsTrailing(char C) { return C == ',' || C == '.' || C == ';'; }

std::int32_t LongestPrefix() {
    std::int32_t n = 0;
    for (const TURLPrefix& p : kURLPrefixes) n = std::max(n, static_cast<std::int32_t>(std::strlen(p.Prefix)));
    return n;
}
}  // namespace

TURLHighlighter::TURLHighlighter() = default;

THighlightInfo& TURLHighlighter::InfoOf(TURLType T) {
    switch (T) {
        case utWeb: return WebURL;
        case utEmail: return EmailURL;
        case utNNTP: return NNTP_URL;
        case utFile: return FileURL;
        default: return OtherURL;
    }
}

bool TURLHighlighter::Allowed(const TDynInfo& A, TURLType Type) {
    const std::int32_t ctx = ContextOf(A);
    if (OnURL) return OnURL(*this, static_cast<std::int16_t>(ctx), Type);
    return ctx == Scope || Priority;
}

void TURLHighlighter::ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    TDudiRiriBase* memo = StartNav.Memo();
    if (!memo) return;
    TDudiRiriBase& M = *memo;
    TParagraphsList& L = M.Pars;
    TRiriNavigator* f = &StartNav;
    TRiriNavigator* t = &StopNav;
    if (f->Pos() > t->Pos()) std::swap(f, t);
    const std::int32_t p1 = f->ParNb(), p2 = t->ParNb();
    const std::int32_t back = LongestPrefix() + 1;
    // For each byte, the prefixes that may begin with it, in either case (a bit
    // per prefix, in table order): most text is passed over at once, and the
    // prefixes' lengths are taken once.
    struct TPrefixIndex {
        std::array<std::uint32_t, 256> ByFirst{};
        std::array<std::string_view, kURLPrefixCount> Key{};
    };
    static_assert(kURLPrefixCount <= 32);
    static const TPrefixIndex index = [] {
        TPrefixIndex x;
        for (std::int32_t k = 0; k < kURLPrefixCount; ++k) {
            x.Key[static_cast<std::size_t>(k)] = kURLPrefixes[k].Prefix;
            for (int c = 0; c < 256; ++c)
                if (FoldByte(static_cast<unsigned char>(c)) == static_cast<unsigned char>(kURLPrefixes[k].Prefix[0]))
                    x.ByFirst[static_cast<std::size_t>(c)] |= std::uint32_t{1} << k;
        }
        return x;
    }();
    TRiriNavigator a(&M), b(&M);
    TPos earliest = INT64_MAX;
    for (std::int32_t p = p1; p <= p2; ++p) {
        ParInfo& par = L.At(p);
        const std::string_view text = par.View();
        const auto len = static_cast<std::int32_t>(text.size());
        std::int32_t from = p == p1 ? std::min(f->ParOffset(), len) : 0;
        const std::int32_t to = p == p2 ? std::min(t->ParOffset(), len) : len;
        // Typing "," "." or ";" right behind an address and then more: the address is looked at again from its start.
        {
            std::int32_t k = from;
            while (k > 0 && IsTrailing(text[static_cast<std::size_t>(k - 1)])) --k;
            if (k > 0) {
                const std::int32_t idx = PointsAtMost(L, par, k - 1);
                const std::int32_t ctx = ContextOf(L.AttrBefore(par, idx));
                if (idx > 0 && ctx >= BaseContext && ctx < BaseContext + kURLPrefixCount) {
                    // The run is redone whole: its start and its end go.
                    const std::int32_t runStart = L.DynOffset(par, idx - 1);
                    TDynInfoArray& d = L.DynForWrite(par);
                    d.erase(std::remove_if(d.begin(), d.end(),
                                           [&](const TDynPoint& x) {
                                               const TDynInfo& s = L.States[x.State];
                                               return x.Offset >= runStart && x.Offset <= from &&
                                                      !((s.Flags & dfOwn) && ContextDepth(s) < 0);
                                           }),
                            d.end());
                    earliest = std::min(earliest, L.StartPos(p) + runStart);
                    from = runStart;
                }
            }
        }
        const std::int32_t ws = std::max(0, from - back);
        const std::int32_t we = std::min(len, to + back);
        for (std::int32_t i = ws; i < we;) {
            std::int32_t pi = -1, plen = 0;
            std::uint32_t candidates = index.ByFirst[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])];
            if (candidates == 0) {
                ++i;
                continue;
            }
            for (; candidates != 0; candidates &= candidates - 1) {
                const auto k = static_cast<std::int32_t>(std::countr_zero(candidates));
                const TURLPrefix& pr = kURLPrefixes[k];
                const std::string_view key = index.Key[static_cast<std::size_t>(k)];
                const auto n = static_cast<std::int32_t>(key.size());
                if (i + n > len || i + n <= from) continue;
                if (pr.Boundary && i > 0 && !IsDelimiter(static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)]))) continue;
                if (!KeyAt(text, static_cast<std::size_t>(i), key, false)) continue;
                pi = k;
                plen = n;
                break;
            }
            if (pi < 0) {
                ++i;
                continue;
            }
            std::int32_t s = i;
            if (pi == 3)  // "@": the user part before it belongs to the address
                while (s > 0 && !IsDelimiter(static_cast<unsigned char>(text[static_cast<std::size_t>(s - 1)]))) --s;
            std::int32_t e = i + plen;
            while (e < len && !IsDelimiter(static_cast<unsigned char>(text[static_cast<std::size_t>(e)]))) ++e;
            while (e > i + plen && IsTrailing(text[static_cast<std::size_t>(e - 1)])) --e;
            i = e;
            if (!Priority && PointsAtMost(L, par, e - 1) > PointsAtMost(L, par, s)) continue;  // crosses a run
            const TPos start = L.StartPos(p) + s;
            a.SetResolved(p, s, start);
            a.SkipEqual();
            const TDynInfo A = a.CurrentAttr();
            const std::int32_t d = ContextDepth(A);
            const auto type = kURLPrefixes[pi].Type;
            if (d >= 15 || (d >= 0 && A.Contexts[d] >= 0) || !Allowed(A, type)) continue;
            const THighlightInfo& info = InfoOf(type);
            TDynInfo n = A;
            n.Flags = static_cast<std::uint8_t>(info.StyleByte() | dfOwn | dfKeyed);
            n.Nesting = 0;
            n.Extra = 0;
            n.Color = info.Foreground();
            n.BkColor = info.Background();
            n.Cursor = info.Cursor;
            n.Context = BaseContext + pi;
            n.Depth = static_cast<std::int8_t>(d + 1);
            n.Contexts[d + 1] = static_cast<std::int16_t>(KeyBase + pi);
            n.KeyLen = n.StopLen = static_cast<std::uint16_t>(std::min(e - s, 65535));
            if (PointsAtMost(L, par, e - 1) > PointsAtMost(L, par, s)) {
                b.SetResolved(p, e, L.StartPos(p) + e);
                ApplyRun(M, a, b, n);
            } else {
                PutKeyRun(M, p, s, e - s, A, n);
            }
            earliest = std::min(earliest, start);
        }
    }
    if (earliest != INT64_MAX)
        for (TRiriNavigator* n : M.Navigators())
            if (n->Pos() >= earliest) n->ResetLineAndDyn();
}

std::string TURLHighlighter::AddressAt(TDudiRiriBase& Memo, TPos Pos) const {
    TParagraphsList& L = Memo.Pars;
    if (Pos < 0 || Pos > L.TotalLen) return {};
    const std::int32_t p = L.ParagraphAt(Pos);
    const ParInfo& par = L.At(p);
    const auto o = static_cast<std::int32_t>(Pos - L.StartPos(p));
    if (o >= par.Len()) return {};
    // The run at the character under the position.
    const std::int32_t idx = PointsAtMost(L, par, o);
    const std::int32_t prefix = ContextOf(L.AttrBefore(par, idx)) - BaseContext;
    if (idx == 0 || prefix < 0 || prefix >= kURLPrefixCount) return {};
    const std::int32_t s = L.DynOffset(par, idx - 1);
    const std::int32_t e = idx < L.DynCount(par) ? L.DynOffset(par, idx) : par.Len();
    std::string addr(par.View().substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s)));
    if (prefix == 3) addr = "mailto:" + addr;
    if (prefix == 7) addr = "ftp://" + addr;
    if (prefix == 9) addr = "gopher://" + addr;
    return addr;
}

void TURLHighlighter::MouseNotify(TDudiRiriBase& Memo, std::uint32_t Flags) {
    if (!LaunchURLs || !OnLaunch) return;
    if (Flags != (DblClickLaunch ? hmDblClick : hmClick)) return;
    auto* editor = dynamic_cast<TDudiRiri*>(&Memo);
    if (!editor) return;
    const std::string addr = AddressAt(Memo, editor->MouseClickPos());
    if (!addr.empty()) OnLaunch(addr);
}

}  // namespace tarvex
