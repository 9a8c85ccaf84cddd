#pragma once
// A search text prepared for fast repeated searching in Windows-1251 text,
// exactly or ignoring case (both sides folded to capitals), and the word
// separators whole-word matching goes by.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// The separators of whole-word matching, the program's word separators
// (platform/word_separators.h): bytes 0xC0 and above (Cyrillic letters) never are.
bool IsWordSeparator(unsigned char C);

class TFindPattern {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    TFindPattern(std::string_view Text, bool MatchCase);

    const std::string& Text() const { return FText; }
    std::size_t Size() const { return FText.size(); }
    bool Empty() const { return FText.empty(); }
    bool MatchCase() const { return FMatchCase; }

    // The byte as the comparison sees it (its capital when case is ignored).
    unsigned char Fold(unsigned char C) const { return FFold[C]; }
    // Whether Len bytes at A equal Len bytes at B under the case rule.
    bool Same(const char* A, const char* B, std::size_t Len) const;
    // Whether the pattern's bytes [From, From + Len) equal the Len bytes at P.
    bool EqualAt(const char* P, std::size_t From = 0, std::size_t Len = npos) const;

    // The first occurrence lying wholly in Hay that starts at or after From.
    std::size_t Find(std::string_view Hay, std::size_t From = 0) const;
    // The last occurrence lying wholly in Hay that starts before Before.
    std::size_t FindLast(std::string_view Hay, std::size_t Before) const;

private:
    std::size_t FindOneByte(std::string_view Hay, std::size_t From) const;

    std::string FText;    // as given
    std::string FFolded;  // as compared
    bool FMatchCase;
    unsigned char FFold[256];
    // The bytes that compare equal to the first and the last pattern byte.
    unsigned char FFirst[4], FLast[4];
    int FFirstCount = 0, FLastCount = 0;
};

}  // namespace tarvex
