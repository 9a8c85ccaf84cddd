#pragma once
// The user's collation for sorting lines: ICU's rules for the interface
// language (Russian or English), letter case ignored, set up as QCollator
// sets up ICU for a case-insensitive collator (secondary strength,
// punctuation significant), so that the order is the one Qt programs show. Texts are Windows-1251 bytes, at most 2 GB each.
//
// Sort keys are byte strings that compare with memcmp as their texts
// collate; a key ends with one 0 byte, and 0 occurs nowhere else in it, so
// two keys written one after the other still compare as the pair of texts.
// One collation may be used from several threads at once.

#include <memory>
#include <string>
#include <string_view>

struct UCollator;

namespace tarvex {

class TCollation {
public:
    // Throws std::runtime_error when ICU cannot open a collator at all.
    explicit TCollation(bool Russian);
    ~TCollation();
    TCollation(const TCollation&) = delete;
    TCollation& operator=(const TCollation&) = delete;

    bool Russian() const { return FRussian; }
    // Appends Text's sort key to Out.
    void AppendSortKey(std::string_view Text, std::string& Out) const;
    std::string SortKey(std::string_view Text) const;
    // Negative, 0 or positive as A collates before, with or after B.
    int Compare(std::string_view A, std::string_view B) const;

private:
    UCollator* FCollator = nullptr;
    bool FRussian;
};

}  // namespace tarvex
