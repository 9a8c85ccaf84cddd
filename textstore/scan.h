#pragma once
// Fast byte scans used by loading and searching.

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvex {

using TByteClass = std::array<bool, 256>;

// CR, LF and NUL, plus the static-format codes when they are style toggles.
TByteClass MakeBreakClass(bool StaticFormat);

// The first index in [I, N) whose byte is in the class, or N.
inline std::int64_t FindInClass(const unsigned char* P, std::int64_t I, std::int64_t N, const TByteClass& C) {
    while (I < N && !C[P[I]]) ++I;
    return I;
}

// The first index in [I, N) holding CR, LF or NUL, or N.
inline std::int64_t FindBreakOrNul(const unsigned char* P, std::int64_t I, std::int64_t N) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8(13), lf = _mm_set1_epi8(10), nul = _mm_setzero_si128();
    while (I + 32 <= N) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P + I));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P + I + 16));
        const __m128i ma = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(a, cr), _mm_cmpeq_epi8(a, lf)), _mm_cmpeq_epi8(a, nul));
        const __m128i mb = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(b, lf)), _mm_cmpeq_epi8(b, nul));
        const unsigned m = static_cast<unsigned>(_mm_movemask_epi8(ma)) | (static_cast<unsigned>(_mm_movemask_epi8(mb)) << 16);
        if (m) return I + __builtin_ctz(m);
        I += 32;
    }
#endif
    while (I < N && P[I] != 13 && P[I] != 10 && P[I] != 0) ++I;
    return I;
}

}  // namespace tarvex
