#pragma once
// TStartStopKeyList: the regions an editor highlights by itself, each opened
// by a start key and closed by a stop key (comments, strings), kept as records
// in blocks like the paragraphs.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "textstore/dyn_array.h"
#include "textstore/keywords.h"
#include "textstore/string_list.h"
#include "textstore/value_stream.h"

namespace tarvex {

// KeyFlags bit 0: the region also ends at the end of its paragraph.
inline constexpr std::uint8_t kfEndsAtLineEnd = 0x01;

struct StartStopInfo {
    std::uint8_t Options;
    std::uint8_t Style;
    std::int32_t Context;
    std::int16_t Cursor;
    std::int32_t Color;
    std::int32_t BkColor;
    char* StartKeySearch;  // NUL-terminated, folded unless case-sensitive
    char* StopKeySearch;
    std::int16_t StartLen;
    std::int16_t StopLen;
    char* StartKey;  // as entered
    char* StopKey;
    std::int32_t Ext[3];    // kept for extended lists
    std::int16_t SameStart;  // first entry with the same options and start key; -1 when this is it
    std::uint8_t KeyFlags;
    bool StartBoundaryAfter;
    bool StartBoundaryBefore;
    bool StopBoundaryAfter;
    bool StopBoundaryBefore;

    std::string_view StartSearch() const { return {StartKeySearch, static_cast<std::size_t>(StartLen)}; }
    std::string_view StopSearch() const { return {StopKeySearch, static_cast<std::size_t>(StopLen)}; }
    bool EndsAtLineEnd() const { return KeyFlags & kfEndsAtLineEnd; }
};

class TStartStopKeyList : public TDynArray2 {
public:
    TStartStopKeyList();
    ~TStartStopKeyList();

    StartStopInfo& Item(std::int32_t I) { return *reinterpret_cast<StartStopInfo*>(ItemPtr(I)); }
    const StartStopInfo& Item(std::int32_t I) const { return *reinterpret_cast<const StartStopInfo*>(ItemPtr(I)); }

    std::int32_t AddKey(std::string_view StartKey, std::string_view StopKey, bool EndsAtLineEnd, std::int32_t BkColor,
                        std::int32_t Color, std::int16_t Cursor, std::int32_t Context, std::uint8_t Style,
                        std::uint8_t Options);
    void Clear();
    void Assign(const TStartStopKeyList& Source);

    TdrUpperCase UpperCaseType() const { return FUpperCaseType; }
    void SetUpperCaseType(TdrUpperCase T);
    std::uint8_t Flags() const { return FFlags; }
    std::int16_t MaxStartLen() const { return FMaxStartLen; }
    std::int16_t MaxStopLen() const { return FMaxStopLen; }
    bool Prepared() const { return FPrepared; }
    // Works out the boundary tests of whole-word entries with the editor's separators.
    void Prepare(const std::bitset<256>& Separators);
    // A start key may begin with this byte (in the text, or in its folded copy).
    bool StartsWith(unsigned char C) const { return FStartFirst[C]; }

    // Text form: "start|stop=Options,Style,Context,Cursor,Color,BkColor,KeyFlags,Ext0,Ext1,".
    void LoadFromStrings(const TStringList* Strings);
    void SaveToStrings(TStringList& Strings) const;
    // Persistent form: the property "Keys" (written only when the list holds an entry).
    void WriteTo(TValueWriter& W) const;
    void ReadFrom(TValueReader& R);

private:
    void FreeStrings(StartStopInfo& E);
    void Fold(StartStopInfo& E);

    TdrUpperCase FUpperCaseType = druAscii;
    std::uint8_t FFlags = 1;
    std::int16_t FMaxStartLen = 0;
    std::int16_t FMaxStopLen = 0;
    bool FPrepared = false;
    std::bitset<256> FStartFirst;
};

}  // namespace tarvex
