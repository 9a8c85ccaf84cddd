#include "tools/ucs2.h"

#include "platform/codepage.h"

namespace tarvex {

namespace {

std::uint16_t Unit(std::string_view B, std::size_t I) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(B[2 * I]) |
                                      (static_cast<unsigned char>(B[2 * I + 1]) << 8));
}

bool IsControl(char32_t C) { return C < 0x20 && C != '\t' && C != '\n' && C != '\r'; }
bool IsBlankOrBreak(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; }

// Invisible formatting characters (zero-width spaces and joiners, direction
// marks and embeddings): dropped rather than shown as '?'.
bool IsInvisible(char32_t C) {
    return (C >= 0x200B && C <= 0x200F) || (C >= 0x202A && C <= 0x202E) || (C >= 0x2060 && C <= 0x206F) ||
           C == 0xFEFF;
}

// Builds the text, telling the characters of the text from what decoding
// puts in their place.
class TOutput {
public:
    TOutput(std::size_t Reserve, bool CollapseUnknown) : FCollapse(CollapseUnknown) { FText.reserve(Reserve); }

    // A character of the text itself.
    void Text(char C) {
        FlushUnknown();
        if (FBlankDue && !FText.empty() && !IsBlankOrBreak(FText.back()) && !IsBlankOrBreak(C)) FText.push_back(' ');
        FBlankDue = false;
        FText.push_back(C);
    }
    // A control character: one blank where it separates text.
    void Blank() {
        FlushUnknown();
        FBlankDue = true;
    }
    // A character without a Windows-1251 byte.
    void Unknown() {
        ++FUnmapped;
        if (!FCollapse) return Text('?');
        ++FRun;
    }
    // A Unicode character.
    void Char(char32_t C) {
        if (IsControl(C)) return Blank();
        if (C == 0x2028 || C == 0x2029) {  // line and paragraph separators
            Text('\r');
            return Text('\n');
        }
        const int b = UnicodeToCp1251(C);
        if (b >= 0) return Text(static_cast<char>(b));
        if (!IsInvisible(C)) Unknown();
    }
    std::string Take(std::int64_t* Unmapped) {
        FlushUnknown();
        if (Unmapped) *Unmapped = FUnmapped;
        return std::move(FText);
    }

private:
    // Long runs of unknown characters in marker-less text are binary noise: one '?' stands for them.
    void FlushUnknown() {
        if (FRun == 0) return;
        const std::int64_t n = FRun >= 4 ? 1 : FRun;
        FRun = 0;
        for (std::int64_t i = 0; i < n; ++i) Text('?');
    }

    std::string FText;
    const bool FCollapse;
    bool FBlankDue = false;
    std::int64_t FRun = 0;
    std::int64_t FUnmapped = 0;
};

// Units First..First+Count-1 of B.
std::string DecodeUnits(std::string_view B, std::size_t First, std::size_t Count, bool CollapseUnknown,
                        std::int64_t* Unmapped) {
    bool simple = true;
    std::size_t wide = 0, upper = 0, letters = 0;  // units 0x04xx or 0x20xx, 0x00C0..0x00FF, ASCII letters
    for (std::size_t i = 0; i < Count && simple; ++i) {
        const std::uint16_t u = Unit(B, First + i);
        const unsigned hi = u >> 8;
        simple = hi == 0x00 || hi == 0x04 || hi == 0x20;
        wide += hi != 0x00;
        upper += u >= 0xC0 && u <= 0xFF;
        letters += (u | 0x20) >= 'a' && (u | 0x20) <= 'z';
    }
    // Text that is 8-bit Cyrillic stored a byte a unit (mostly units
    // 0xC0..0xFF, nothing beyond 0xFF) keeps its bytes, so that the code-page
    // check after decoding sees them; otherwise Latin-1 units are characters
    // like any other (their Windows-1251 byte, or unknown).
    const bool widened = simple && wide == 0 && upper > 0 && upper >= letters;
    TOutput out(Count, CollapseUnknown);
    for (std::size_t i = 0; i < Count; ++i) {
        const std::uint16_t u = Unit(B, First + i);
        if (widened) {
            if (IsControl(u))
                out.Blank();
            else
                out.Text(static_cast<char>(u));
            continue;
        }
        char32_t c = u;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < Count) {
            const std::uint16_t lo = Unit(B, First + i + 1);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        out.Char(c);
    }
    return out.Take(Unmapped);
}

}  // namespace

std::string Ucs2ToAnsi(std::string_view Bytes, std::int64_t* Unmapped) {
    if (Unmapped) *Unmapped = 0;
    if (Bytes.empty()) return {};
    if (Bytes.size() >= 3) {
        const std::uint16_t first = Unit(Bytes, 0);
        if (first == 0xFEFF || first == 0xFFFE || first == 0) {
            if (Bytes.size() < 4 || Unit(Bytes, 1) == 0) return {};
            return DecodeUnits(Bytes, 1, (Bytes.size() - 2) / 2, false, Unmapped);
        }
    }
    // No marker: zero bytes tell UCS-2 from 8-bit text.
    if (Bytes.find('\0') == std::string_view::npos) return std::string(Bytes);
    return DecodeUnits(Bytes, 0, Bytes.size() / 2, true, Unmapped);
}

}  // namespace tarvex
