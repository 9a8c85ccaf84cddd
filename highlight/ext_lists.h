#pragma once
// The keyword and start-stop lists of the extended highlighters: every key
// also carries the context in which it may match and a scope threshold, and a
// start-stop entry a few region flags.

#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "textstore/keywords.h"
#include "textstore/start_stop_keys.h"

namespace tarvex {

// A value of a text form outside its field's range.
class ERangeCheckError : public std::out_of_range {
public:
    ERangeCheckError() : std::out_of_range("Range check error") {}
};

// The scope threshold of keys valid everywhere.
inline constexpr std::int16_t kScopeEverywhere = 32767;

// Keyword and start-key options beyond case and whole word; only the first
// of bits 4, 3, 2 that is set counts.
inline constexpr std::uint8_t koAfterSeparators = 0x04;  // only separators before it in its paragraph
inline constexpr std::uint8_t koAfterBlanks = 0x08;      // only blanks (space, tab) before it
inline constexpr std::uint8_t koLineStart = 0x10;        // at offset 0 of its paragraph

// Region flags of a start-stop entry (kept in KeyFlags; bit 0 is kfEndsAtLineEnd).
inline constexpr std::uint8_t rfEndsAtSeparator = 0x02;  // the first separator ends it; the stop key is not searched
inline constexpr std::uint8_t rfNesting = 0x04;          // raises the attribute's secondary nesting counter

// Whether the line-position option of a key holds for a key at Offset of Text.
bool LinePositionHolds(std::uint8_t Options, std::string_view Text, std::int32_t Offset, const bool* Separators);

class TExtKeywordList : public TKeywordList {
public:
    std::int16_t ValidContext(std::int32_t I) const { return static_cast<std::int16_t>(Item(I).Ext[0]); }
    std::int16_t Scope(std::int32_t I) const { return static_cast<std::int16_t>(Item(I).Ext[1]); }
    std::int32_t AddExtKeyword(std::string_view Keyword, std::uint8_t Options, std::uint8_t Style, std::int32_t Context,
                               std::int16_t Cursor, std::int32_t Background, std::int32_t Foreground,
                               std::int16_t ValidContext, std::int16_t Scope);

    // Text form: KEYWORD=options,style,context,cursor,background,foreground[,validcontext,scope].
    // The list is cleared first; lines without "=" are skipped; a malformed
    // number raises EConvertError, a value out of range ERangeCheckError (lines read so far stay).
    void LoadFromStrings(const TStringList& Strings);
    void SaveToStrings(TStringList& Strings) const;
};

class TExtStartStopList : public TStartStopKeyList {
public:
    std::int16_t ValidContext(std::int32_t I) const { return static_cast<std::int16_t>(Item(I).Ext[0]); }
    std::int16_t Scope(std::int32_t I) const { return static_cast<std::int16_t>(Item(I).Ext[1]); }
    std::uint8_t RegionFlags(std::int32_t I) const { return Item(I).KeyFlags; }
    std::int32_t AddExtKey(std::string_view StartKey, std::string_view StopKey, std::uint8_t Options, std::uint8_t Style,
                           std::int32_t Context, std::int16_t Cursor, std::int32_t Background, std::int32_t Foreground,
                           std::uint8_t RegionFlags, std::int16_t ValidContext, std::int16_t Scope);
    // Rewrites an entry's start key (its length may change).
    void SetStartKey(std::int32_t I, std::string_view StartKey);

    // Text form: START|STOP=options,style,context,cursor,background,foreground,endsatpar[,validcontext,scope[,flags]].
    void LoadFromStrings(const TStringList& Strings);
    void SaveToStrings(TStringList& Strings) const;
};

}  // namespace tarvex
