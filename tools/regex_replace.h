#pragma once
// Replace in Lines: a regular expression (PCRE2, 8-bit, with character
// tables made for Windows-1251 so that \w, classes and case folding know the
// Cyrillic letters) applied paragraph by paragraph, with $1-style groups in
// the replacement.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "editor/text_transform.h"
#include "textstore/paragraphs_list.h"

namespace tarvex {

class TDudiRiri;

// A pattern or replacement PCRE2 refuses: its message and where (in bytes).
class ERegexError : public std::runtime_error {
public:
    ERegexError(const std::string& Message, std::size_t Offset)
        : std::runtime_error(Message + " (offset " + std::to_string(Offset) + ")"), Offset(Offset) {}
    std::size_t Offset;
};

// PCRE2's character tables for Windows-1251.
const unsigned char* Cp1251RegexTables();

class TLineRegex {
public:
    // Pattern is Windows-1251. Throws ERegexError when it does not compile.
    TLineRegex(std::string_view Pattern, bool MatchCase);
    ~TLineRegex();
    TLineRegex(const TLineRegex&) = delete;
    TLineRegex& operator=(const TLineRegex&) = delete;

    // The matches in Line, found left to right as a replacement finds them
    // (an empty match is not repeated at the same place).
    std::int64_t CountIn(std::string_view Line) const;
    // Appends Line with every match replaced by Replacement ($1, ${1},
    // ${name}, $$); returns the matches. Throws ERegexError for a replacement
    // that names a group the pattern lacks or is malformed.
    std::int64_t ReplaceIn(std::string_view Line, std::string_view Replacement, std::string& Out) const;
    // The matches of Line with what replaces each: F(Start, End, Text).
    std::int64_t EachReplacement(std::string_view Line, std::string_view Replacement,
                                 const std::function<void(std::size_t, std::size_t, const std::string&)>& F) const;

private:
    template <typename F>
    std::int64_t EachMatch(std::string_view Line, F&& OnMatch) const;

    struct TImpl;
    TImpl* FImpl;
};

// What a Replace in Lines over a range takes: the matches, and the span of
// the paragraphs that hold them (all that changes).
struct TLinesPlan {
    TPos From = 0, To = 0;
    std::int64_t Count = 0;
    TPos Start = 0, End = 0;
};
// Each paragraph's part inside [From, To) is one subject.
TLinesPlan PlanReplaceInLines(const TParagraphsList& L, const TLineRegex& R, TPos From, TPos To);
// Replaces as planned in one undo step; returns the replacements.
std::int64_t ApplyReplaceInLines(TDudiRiri& M, const TLineRegex& R, const TLinesPlan& Plan,
                                 std::string_view Replacement);

}  // namespace tarvex
