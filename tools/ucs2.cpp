#include "tools/ucs2.h"

#include <cstdint>

#include "platform/codepage.h"

namespace tarvex {

namespace {
std::uint16_t Unit(std::string_view B, std::size_t I) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(B[2 * I]) |
                                      (static_cast<unsigned char>(B[2 * I + 1]) << 8));
}

std::string Trim(std::string S) {
    std::size_t a = 0, b = S.size();
    while (a < b && static_cast<unsigned char>(S[a]) < 0x21) ++a;
    while (b > a && static_cast<unsigned char>(S[b - 1]) < 0x21) --b;
    return S.substr(a, b - a);
}

bool IsControl(unsigned char C) { return C < 0x20 && C != '\t' && C != '\n' && C != '\r'; }

// Collapses runs of C into one C, but only when a run of MinRun occurs at all.
std::string CollapseRuns(const std::string& S, char C, std::size_t MinRun) {
    if (S.find(std::string(MinRun, C)) == std::string::npos) return S;
    std::string out;
    out.reserve(S.size());
    for (const char c : S)
        if (!(c == C && !out.empty() && out.back() == C)) out.push_back(c);
    return out;
}

// Units First..First+Count-1 of B.
std::string DecodeUnits(std::string_view B, std::size_t First, std::size_t Count, bool CollapseQuestions) {
    bool simple = true;
    for (std::size_t i = 0; i < Count && simple; ++i) {
        const unsigned hi = Unit(B, First + i) >> 8;
        simple = hi == 0x00 || hi == 0x04 || hi == 0x20;
    }
    std::string out;
    out.reserve(Count);
    if (simple) {
        // Latin-1 and Cyrillic only; general punctuation is dropped.
        for (std::size_t i = 0; i < Count; ++i) {
            const std::uint16_t u = Unit(B, First + i);
            if ((u >> 8) == 0x00) {
                out.push_back(static_cast<char>(u));
            } else if ((u >> 8) == 0x04) {
                const int b = UnicodeToCp1251(u);
                out.push_back(b < 0 ? '?' : static_cast<char>(b));
            }
        }
        return Trim(std::move(out));
    }
    std::u16string units(Count, u'\0');
    for (std::size_t i = 0; i < Count; ++i) units[i] = Unit(B, First + i);
    out = Utf16ToCp1251(units);
    for (char& c : out)
        if (IsControl(static_cast<unsigned char>(c))) c = ' ';
    out = CollapseRuns(Trim(std::move(out)), ' ', 2);
    if (CollapseQuestions) out = CollapseRuns(out, '?', 4);
    return out;
}
}  // namespace

std::string Ucs2ToAnsi(std::string_view Bytes) {
    if (Bytes.empty()) return {};
    if (Bytes.size() >= 3) {
        const std::uint16_t first = Unit(Bytes, 0);
        if (first == 0xFEFF || first == 0xFFFE || first == 0) {
            if (Bytes.size() < 4 || Unit(Bytes, 1) == 0) return {};
            return DecodeUnits(Bytes, 1, (Bytes.size() - 2) / 2, false);
        }
    }
    // No marker: control units (other than TAB, LF, CR and the Cyrillic high
    // byte 4) become spaces; zero bytes tell UCS-2 from 8-bit text.
    std::string b(Bytes);
    bool zeros = false;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(b[i]);
        if (c == 0) zeros = true;
        // Only low bytes of units: a high byte next to a zero is no control character.
        if (i % 2 == 0 && i + 1 < b.size() && b[i + 1] == 0 && c <= 0x1F && c != 0x04 && c != '\t' &&
            c != '\n' && c != '\r')
            b[i] = ' ';
    }
    if (!zeros) return Trim(std::move(b));
    // Rule of the marked branch, over every unit; cleaned like the general case.
    std::string out = DecodeUnits(b, 0, b.size() / 2, true);
    for (char& c : out)
        if (IsControl(static_cast<unsigned char>(c))) c = ' ';
    return CollapseRuns(CollapseRuns(Trim(std::move(out)), ' ', 2), '?', 4);
}

}  // namespace tarvex
