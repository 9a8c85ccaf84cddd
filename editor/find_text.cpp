// FindText: searching the text paragraph by paragraph.

#include <cstring>

#include "platform/codepage.h"
#include "editor/dudi_riri.h"

namespace tarvex {

namespace {

// The next occurrence of Needle (already folded when Fold) in Hay from From on; npos if none.
std::size_t FindIn(std::string_view Hay, std::string_view Needle, std::size_t From, bool Fold) {
    if (Needle.empty() || From > Hay.size() || Hay.size() - From < Needle.size()) return std::string_view::npos;
    if (!Fold) {
        const void* p = memmem(Hay.data() + From, Hay.size() - From, Needle.data(), Needle.size());
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - Hay.data()) : std::string_view::npos;
    }
    // Candidates start with a byte that folds to the needle's first byte.
    const auto first = static_cast<unsigned char>(Needle[0]);
    unsigned char variants[4];
    int nv = 0;
    for (int b = 0; b < 256 && nv < 4; ++b)
        if (Cp1251Upper(static_cast<unsigned char>(b)) == first) variants[nv++] = static_cast<unsigned char>(b);
    const std::size_t last = Hay.size() - Needle.size();
    std::size_t i = From;
    while (i <= last) {
        // The nearest candidate among the variants.
        std::size_t next = std::string_view::npos;
        for (int v = 0; v < nv; ++v) {
            const void* p = std::memchr(Hay.data() + i, variants[v], last - i + 1);
            if (p) next = std::min(next, static_cast<std::size_t>(static_cast<const char*>(p) - Hay.data()));
        }
        if (next == std::string_view::npos) return next;
        std::size_t k = 1;
        while (k < Needle.size() && Cp1251Upper(static_cast<unsigned char>(Hay[next + k])) == static_cast<unsigned char>(Needle[k])) ++k;
        if (k == Needle.size()) return next;
        i = next + 1;
    }
    return std::string_view::npos;
}

}  // namespace

bool TDudiRiri::FindText(std::string_view Text, bool Forward, bool FromBoundary, bool WholeWord, bool MatchCase) {
    if (Text.empty() || Pars.Count() == 0) return false;
    const std::string needle = MatchCase ? std::string(Text) : FoldKey(Text, UpperCaseType());
    const auto n = static_cast<std::int32_t>(needle.size());
    const bool fold = !MatchCase;
    auto bounded = [&](std::string_view t, std::size_t at) {
        if (!WholeWord) return true;
        const bool before = at == 0 || IsSeparator(static_cast<unsigned char>(t[at - 1]));
        const bool after = at + needle.size() >= t.size() || IsSeparator(static_cast<unsigned char>(t[at + needle.size()]));
        return before && after;
    };
    std::int32_t par;
    std::int32_t off;
    if (FromBoundary) {
        par = Forward ? 0 : Pars.Count() - 1;
        off = Forward ? 0 : Pars.At(par).Len();
    } else {
        par = FCaret->ParNb();
        off = std::min(FCaret->ParOffset(), Pars.At(par).Len());
    }
    if (Forward) {
        for (std::int32_t p = par; p < Pars.Count(); ++p) {
            const std::string_view t = Pars.At(p).View();
            std::size_t from = p == par ? static_cast<std::size_t>(off) : 0;
            for (std::size_t at; (at = FindIn(t, needle, from, fold)) != std::string_view::npos; from = at + 1) {
                if (!bounded(t, at)) continue;
                SetSelStart(Pars.StartPos(p) + static_cast<TPos>(at) + n);
                SetSelLength(-n);
                return true;
            }
        }
    } else {
        for (std::int32_t p = par; p >= 0; --p) {
            const std::string_view t = Pars.At(p).View();
            // The last match (in the start paragraph: starting before the start offset).
            const std::size_t limit = p == par ? static_cast<std::size_t>(off) : t.size();
            std::size_t found = std::string_view::npos;
            for (std::size_t from = 0, at; (at = FindIn(t, needle, from, fold)) != std::string_view::npos && at < limit;
                 from = at + 1)
                if (bounded(t, at)) found = at;
            if (found != std::string_view::npos) {
                SetSelStart(Pars.StartPos(p) + static_cast<TPos>(found));
                SetSelLength(n);
                return true;
            }
        }
    }
    return false;
}

}  // namespace tarvex
