#include "app/detect.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cstring>
#include <string>

namespace tarvex {

namespace {

// Reads up to Count bytes from the stream's position; a read error ends the reading.
std::string ReadUpTo(TStream& S, std::int64_t Count) {
    std::string buf(static_cast<std::size_t>(std::max<std::int64_t>(Count, 0)), '\0');
    std::size_t got = 0;
    try {
        while (got < buf.size()) {
            const std::int64_t n = S.Read(buf.data() + got, static_cast<std::int64_t>(buf.size() - got));
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
    } catch (const EStreamError&) {
    }
    buf.resize(got);
    return buf;
}

// Puts the stream back where a probe found it.
class TKeepPosition {
public:
    explicit TKeepPosition(TStream& S) : FS(S), FPos(S.Position()) {}
    ~TKeepPosition() {
        try {
            FS.Seek(FPos);
        } catch (const EStreamError&) {
        }
    }
    TKeepPosition(const TKeepPosition&) = delete;
    TKeepPosition& operator=(const TKeepPosition&) = delete;

private:
    TStream& FS;
    std::int64_t FPos;
};

// The number of bytes the DOS and KOI probes take as their sample size.
std::int64_t SampleLimit(std::int64_t Size) { return Size < 5000 ? Size - 1 : 5000; }

bool Utf8ProbeSequence(const unsigned char* B, std::size_t N) {
    std::size_t i = 0;
    while (i < N && B[i] < 0x80) ++i;
    if (i == N) return false;
    const unsigned char c = B[i];
    std::size_t need, start = i + 1;
    auto second = [&](unsigned char Lo, unsigned char Hi) {
        if (i + 1 >= N || B[i + 1] < Lo || B[i + 1] > Hi) return false;
        start = i + 2;
        return true;
    };
    if (c >= 0xC2 && c <= 0xDF) {
        need = 1;
    } else if (c == 0xE0) {
        if (!second(0xA0, 0xBF)) return false;
        need = 1;
    } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
        need = 2;
    } else if (c == 0xED) {
        if (!second(0x80, 0x9F)) return false;
        need = 1;
    } else if (c == 0xF0) {
        if (!second(0x90, 0xBF)) return false;
        need = 2;
    } else if (c >= 0xF1 && c <= 0xF3) {
        need = 3;
    } else if (c == 0xF4) {
        if (!second(0x80, 0x8F)) return false;
        need = 2;
    } else {
        return false;
    }
    // Windows-1251 Ё and ё (0xA8, 0xB8) are not taken as continuation bytes.
    auto cont = [](unsigned char b) { return b >= 0x80 && b <= 0xBF && b != 0xA8 && b != 0xB8; };
    std::size_t count = 0, j = start;
    while (j < N && count < 4 && cont(B[j])) {
        ++count;
        ++j;
    }
    return count == need && N - j >= 2;
}

bool KoiSample(const unsigned char* B, std::size_t N) {
    auto in = [](unsigned char c, std::initializer_list<unsigned char> set) {
        return std::find(set.begin(), set.end(), c) != set.end();
    };
    static const auto cons = [] {
        std::array<bool, 256> t{};
        for (unsigned char c : {0xC1, 0xC2, 0xC3, 0xC4, 0xC6, 0xC7, 0xCA, 0xCB, 0xCC, 0xCD, 0xCF, 0xD0, 0xD1, 0xD2,
                                0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2, 0xE3, 0xE4, 0xE6, 0xE7, 0xEA,
                                0xEB, 0xEC, 0xED, 0xEF, 0xF0, 0xF1, 0xF2, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9})
            t[c] = true;
        return t;
    }();
    std::int64_t D = 0, P = 0, V = 0, U = 0, L = 0, UL = 0, E = 0, K = 0;
    bool prevSpace = true, prevHard = false, prevJ = false, prevSigns = false, prevCh = false, prevShch = false;
    bool oneLetterStart4 = false, wordStartLower = false;
    for (std::size_t i = 0; i < N; ++i) {
        const unsigned char c = B[i];
        const bool upper = c >= 0xC0 && c <= 0xDF, lower = c >= 0xE0;
        const bool isCons = cons[c], isO = c == 0xCE || c == 0xEE, isHard = c == 0xDA || c == 0xFA;
        const bool isSigns = in(c, {0xDA, 0xDC, 0xFA, 0xFC}), isJ = c == 0xC9 || c == 0xE9;
        const bool isCh = c == 0xD7 || c == 0xF7, isShch = c == 0xD9 || c == 0xF9, space = c == 0x20;
        if (c >= 0xC0) ++D;
        if (c >= 0x80 && c <= 0xBF) --D;
        if (c > 0x20) ++P;
        if (in(c, {0xC0, 0xC8, 0xE0, 0xE8})) ++V;
        if (lower) ++L;
        if (upper) {
            ++U;
            if (wordStartLower) ++UL;
        }
        E += (isO && prevHard) + (space && prevHard) + (isSigns && prevSigns) + (isSigns && prevSpace) +
             (isSigns && prevJ) + (space && oneLetterStart4);
        oneLetterStart4 = prevSpace && in(c, {0xC9, 0xCB, 0xD5, 0xD7, 0xE9, 0xEB, 0xF5, 0xF7});
        wordStartLower = prevSpace && lower;
        E += (isCons && prevHard) + ((isCh && prevShch) || (isShch && prevCh));
        if (isJ) E += (K > 0) + prevSigns + prevJ;
        if (isCons) {
            if (K == 5) {
                K = 0;
                ++E;
            } else {
                ++K;
            }
        } else {
            K = 0;
        }
        prevSpace = space;
        prevHard = isHard;
        prevCh = isCh;
        prevShch = isShch;
        prevJ = isJ;
        prevSigns = isSigns;
    }
    if (P <= 0 || D <= 0 || RoundRatio(D * 1000, P) <= 100) return false;
    if (RoundRatio(E * 1000, P) > 10) return true;
    return RoundRatio(V * 1000, P) < 20 && U > L && UL > 0;
}

}  // namespace

std::int64_t RoundRatio(std::int64_t Num, std::int64_t Den) {
    std::int64_t q = Num / Den, r = Num % Den;
    if (2 * r > Den || (2 * r == Den && (q & 1))) ++q;
    return q;
}

TUnicodeKind DetectUnicodeKind(TStream& S) {
    try {
        TKeepPosition keep(S);
        const std::int64_t size = S.Size();
        const std::int64_t n = std::min<std::int64_t>(4096, size - S.Position());
        if (size < 0 || n <= 0) return ukNone;
        const std::string buf = ReadUpTo(S, n);
        const auto* b = reinterpret_cast<const unsigned char*>(buf.data());
        const std::size_t got = buf.size();
        if (got >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return ukUtf8;
        if (Utf8ProbeSequence(b, got)) return ukUtf8;
        if (got >= 2) {
            S.Seek(0);
            const std::string head = ReadUpTo(S, 2);
            if (head == "\xFF\xFE") return ukUtf16LE;
            if (head == "\xFE\xFF") return ukUtf16BE;
        }
        return LooksLikeUtf16(buf) ? ukUtf16LE : ukNone;
    } catch (const EStreamError&) {
        return ukNone;
    }
}

bool LooksLikeUtf16(std::string_view Buf) {
    // An odd number of bytes cannot be 16-bit units (the probe reads an even
    // 4,096 bytes of any longer file).
    const std::size_t n = Buf.size() / 2;
    if (n == 0 || Buf.size() % 2 != 0) return false;
    std::size_t usual = 0, controls = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto lo = static_cast<unsigned char>(Buf[2 * i]), hi = static_cast<unsigned char>(Buf[2 * i + 1]);
        if (lo == 0 && hi == 0) return false;  // NUL characters: binary data
        if (hi == 0x00) {
            ++usual;
            if (lo < 0x20 && lo != '\t' && lo != '\n' && lo != '\r') ++controls;
        } else if (hi == 0x04 || (hi == 0x20 && lo <= 0x6F) || (hi == 0x25 && lo <= 0x9F)) {
            ++usual;  // Cyrillic, general punctuation, box drawing and block elements
        }
    }
    return usual * 10 >= n * 9 && controls * 20 <= n;
}

bool LooksLikeDos(TStream& S) {
    try {
        TKeepPosition keep(S);
        const std::int64_t size = S.Size();
        if (size <= 0) return false;
        const std::int64_t n = SampleLimit(size);
        S.Seek(0);
        const std::string buf = ReadUpTo(S, n);
        std::int64_t a = 0, b = 0, c = 0;
        std::int64_t perByte[0x30] = {};
        for (const char ch : buf) {
            const auto u = static_cast<unsigned char>(ch);
            if ((u >= 0x80 && u <= 0xAF) || (u >= 0xE0 && u <= 0xEF)) ++a;
            if (u >= 0xC0) ++b;
            if (u >= 0xB0 && u <= 0xDF) {
                ++c;
                ++perByte[u - 0xB0];
            }
        }
        const std::int64_t c0 = c;
        if (n > 0) {
            a = RoundRatio(a * 100, n);
            b = RoundRatio(b * 100, n);
            c = RoundRatio(c * 100, n);
        }
        if (a > b) return true;
        return c >= b && (c > 0 || b > 0) && *std::max_element(perByte, perByte + 0x30) > c0 / 2;
    } catch (const EStreamError&) {
        return false;
    }
}

bool LooksLikeKoi(TStream& S) {
    try {
        TKeepPosition keep(S);
        const std::int64_t size = S.Size();
        if (size <= 0) return false;
        S.Seek(0);
        const std::string buf = ReadUpTo(S, SampleLimit(size) + 1);
        return KoiSample(reinterpret_cast<const unsigned char*>(buf.data()), buf.size());
    } catch (const EStreamError&) {
        return false;
    }
}

bool LooksLikeKoi(std::string_view Text) {
    if (Text.empty()) return false;
    const auto n = static_cast<std::size_t>(SampleLimit(static_cast<std::int64_t>(Text.size())) + 1);
    return KoiSample(reinterpret_cast<const unsigned char*>(Text.data()), std::min(n, Text.size()));
}

bool IsUtf8Text(std::string_view Text) {
    TUtf8TextCheck check;
    check.Feed(Text);
    return check.Result();
}

bool TUtf8TextCheck::Feed(std::string_view Piece) {
    if (!FOk) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(Piece.data());
    const std::size_t n = Piece.size();
    std::size_t i = 0;
    auto skipAscii = [&] {
        while (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            if (w & 0x8080808080808080ull) break;
            i += 8;
        }
        while (i < n && p[i] < 0x80) ++i;
    };
    while (i < n) {
        const unsigned char c = p[i];
        if (FNeed > 0) {
            if (c < FLo || c > FHi) return FOk = false;
            --FNeed;
            FLo = 0x80;
            FHi = 0xBF;
            ++i;
            continue;
        }
        if (c < 0x80) {
            skipAscii();
            continue;
        }
        FSeen = true;
        if (c >= 0xC2 && c <= 0xDF) {
            FNeed = 1;
        } else if (c == 0xE0) {
            FNeed = 2;
            FLo = 0xA0;
        } else if (c >= 0xE1 && c <= 0xEF) {
            FNeed = 2;
        } else if (c == 0xF0) {
            FNeed = 3;
            FLo = 0x90;
        } else if (c >= 0xF1 && c <= 0xF3) {
            FNeed = 3;
        } else if (c == 0xF4) {
            FNeed = 3;
            FHi = 0x8F;
        } else {
            return FOk = false;
        }
        ++i;
    }
    return true;
}

}  // namespace tarvex
