#include "tools/find_pattern.h"

#include <cstring>

#include "platform/codepage.h"
#include "platform/word_separators.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvex {

namespace {

struct TSeparatorTable {
    bool T[256] = {};
    TSeparatorTable() {
        for (const char c : AppWordSeparators()) T[static_cast<unsigned char>(c)] = true;
    }
};
const TSeparatorTable& Separators() {
    static const TSeparatorTable t;
    return t;
}

#if defined(__SSE2__)
// Bytes of Block equal to any of the Count bytes in V, as a 16-bit mask.
inline __m128i AnyOf(__m128i Block, const __m128i* V, int Count) {
    __m128i eq = _mm_cmpeq_epi8(Block, V[0]);
    for (int k = 1; k < Count; ++k) eq = _mm_or_si128(eq, _mm_cmpeq_epi8(Block, V[k]));
    return eq;
}
#endif

}  // namespace

bool IsWordSeparator(unsigned char C) { return Separators().T[C]; }

TFindPattern::TFindPattern(std::string_view Text, bool MatchCase) : FText(Text), FMatchCase(MatchCase) {
    for (int b = 0; b < 256; ++b)
        FFold[b] = MatchCase ? static_cast<unsigned char>(b) : Cp1251Upper(static_cast<unsigned char>(b));
    FFolded.resize(FText.size());
    for (std::size_t i = 0; i < FText.size(); ++i) FFolded[i] = static_cast<char>(FFold[static_cast<unsigned char>(FText[i])]);
    if (FText.empty()) return;
    // Every byte that folds to the same capital is a candidate.
    const auto first = static_cast<unsigned char>(FFolded.front()), last = static_cast<unsigned char>(FFolded.back());
    for (int b = 0; b < 256; ++b) {
        if (FFold[b] == first && FFirstCount < 4) FFirst[FFirstCount++] = static_cast<unsigned char>(b);
        if (FFold[b] == last && FLastCount < 4) FLast[FLastCount++] = static_cast<unsigned char>(b);
    }
}

bool TFindPattern::Same(const char* A, const char* B, std::size_t Len) const {
    if (FMatchCase) return std::memcmp(A, B, Len) == 0;
    for (std::size_t k = 0; k < Len; ++k)
        if (FFold[static_cast<unsigned char>(A[k])] != FFold[static_cast<unsigned char>(B[k])]) return false;
    return true;
}

bool TFindPattern::EqualAt(const char* P, std::size_t From, std::size_t Len) const {
    if (Len == npos) Len = FFolded.size() - From;
    if (FMatchCase) return std::memcmp(P, FText.data() + From, Len) == 0;
    const char* f = FFolded.data() + From;
    for (std::size_t k = 0; k < Len; ++k)
        if (FFold[static_cast<unsigned char>(P[k])] != static_cast<unsigned char>(f[k])) return false;
    return true;
}

std::size_t TFindPattern::FindOneByte(std::string_view Hay, std::size_t From) const {
    const char* h = Hay.data();
    const std::size_t n = Hay.size();
    if (FFirstCount == 1) {
        const void* p = std::memchr(h + From, FFirst[0], n - From);
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - h) : npos;
    }
    std::size_t i = From;
#if defined(__SSE2__)
    __m128i v[4];
    for (int k = 0; k < FFirstCount; ++k) v[k] = _mm_set1_epi8(static_cast<char>(FFirst[k]));
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(AnyOf(a, v, FFirstCount)));
        if (mask) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    for (; i < n; ++i)
        if (FFold[static_cast<unsigned char>(h[i])] == static_cast<unsigned char>(FFolded[0])) return i;
    return npos;
}

std::size_t TFindPattern::Find(std::string_view Hay, std::size_t From) const {
    const std::size_t m = FText.size();
    if (m == 0 || From > Hay.size() || Hay.size() - From < m) return npos;
    if (m == 1) return FindOneByte(Hay, From);
    const char* h = Hay.data();
    const std::size_t lastStart = Hay.size() - m;
    std::size_t i = From;
#if defined(__SSE2__)
    // Sixteen starts at a time: candidates are where both the first and the
    // last byte match; only those are compared in full.
    __m128i vf[4], vl[4];
    for (int k = 0; k < FFirstCount; ++k) vf[k] = _mm_set1_epi8(static_cast<char>(FFirst[k]));
    for (int k = 0; k < FLastCount; ++k) vl[k] = _mm_set1_epi8(static_cast<char>(FLast[k]));
    for (; i + 15 <= lastStart; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + m - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(AnyOf(a, vf, FFirstCount), AnyOf(b, vl, FLastCount))));
        while (mask) {
            const std::size_t j = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (m == 2 || EqualAt(h + j + 1, 1, m - 2)) return j;
            mask &= mask - 1;
        }
    }
#endif
    const auto first = static_cast<unsigned char>(FFolded[0]);
    for (; i <= lastStart; ++i)
        if (FFold[static_cast<unsigned char>(h[i])] == first && EqualAt(h + i + 1, 1, m - 1)) return i;
    return npos;
}

std::size_t TFindPattern::FindLast(std::string_view Hay, std::size_t Before) const {
    const std::size_t m = FText.size();
    if (m == 0 || Before == 0) return npos;
    // Only starts before Before count: the bytes behind the last such occurrence's end go.
    if (Before < Hay.size() && Before - 1 + m < Hay.size()) Hay = Hay.substr(0, Before - 1 + m);
    std::size_t found = npos;
    for (std::size_t at = Find(Hay, 0); at != npos; at = Find(Hay, at + 1)) found = at;
    return found;
}

}  // namespace tarvex
