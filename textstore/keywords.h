#pragma once
// TKeywordList: the words an editor highlights by itself, each with its style,
// colours, cursor and context number.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textstore/string_list.h"
#include "textstore/value_stream.h"

namespace tarvex {

// How keys and search texts are upper-cased for case-insensitive matching.
enum TdrUpperCase : std::uint8_t { druAscii, druAnsi, druUserDefined };

// Key options.
inline constexpr std::uint8_t koCaseSensitive = 0x01;
inline constexpr std::uint8_t koWholeWord = 0x02;

// A key folded for searching: the code page's upper-casing, or, for
// druUserDefined (no routine of its own is installed), a to z only.
std::string FoldKey(std::string_view Key, TdrUpperCase Type);
// Text folded the way the editor folds what it searches.
std::string FoldText(std::string_view Text);

// The conversion error of a malformed number in a text form.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// A whole decimal (or $hex) number, as the text forms write them.
std::int32_t StrToInt(std::string_view S);

struct TKeyInfoLen {
    std::uint8_t Options = 0;
    std::uint8_t Style = 0;
    std::int32_t Context = 0;
    std::int16_t Cursor = 0;
    std::int32_t Color = 0;
    std::int32_t BkColor = 0;
    std::string Keyword;
    std::string SearchKey;
    std::int32_t Len = 0;
    std::int32_t Ext[3] = {0, 0, 0};  // kept for extended keyword lists
};

class TKeywordList {
public:
    std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
    const std::string& Get(std::int32_t I) const { return FItems.at(static_cast<std::size_t>(I)).Keyword; }
    const TKeyInfoLen& Item(std::int32_t I) const { return FItems.at(static_cast<std::size_t>(I)); }
    TKeyInfoLen& Item(std::int32_t I) { return FItems.at(static_cast<std::size_t>(I)); }

    // A keyword with all options, style and context 0 and no colours.
    void Insert(std::int32_t I, std::string_view S);
    void Add(std::string_view S) { Insert(Count(), S); }
    void Delete(std::int32_t I);
    void Clear();
    std::int32_t AddKeyword(std::string_view Keyword, std::uint8_t Options, std::int32_t BkColor, std::int32_t Color,
                            std::int16_t Cursor, std::int32_t Context, std::uint8_t Style);
    void Assign(const TKeywordList& Source);
    // Plain strings: keywords with default options.
    void AssignStrings(const std::vector<std::string>& Source);

    void BeginUpdate() { SetUpdateState(true); }
    void EndUpdate() { SetUpdateState(false); }
    void SetUpdateState(bool Updating);

    TdrUpperCase UpperCaseType() const { return FUpperCaseType; }
    void SetUpperCaseType(TdrUpperCase T);

    // bit 0: every keyword is case-sensitive; bits 2 and 3: union of the keywords' Options bits 2 and 3.
    std::uint8_t Flags() const { return FFlags; }
    std::int32_t MaxLen() const { return FMaxLen; }
    // Changes with every preparation: those who index the list know when to index it again.
    std::uint32_t Version() const { return FVersion; }
    // The keywords the editor searches (context not 0), by the first byte they
    // are searched with: case-sensitive ones in the text, the others in its folded copy.
    const std::vector<std::int32_t>& ByFirstPlain(unsigned char C) const { return FFirstPlain[C]; }
    const std::vector<std::int32_t>& ByFirstFolded(unsigned char C) const { return FFirstFolded[C]; }

    // Text form: one line "keyword=Options,Style,Context,Cursor,Color,BkColor,Ext0,Ext1," per keyword.
    // Both take time linear in the number of lines. A malformed number stops
    // loading with EConvertError; the keywords before it stay, prepared.
    void LoadFromStrings(const TStringList& Strings);
    void SaveToStrings(TStringList& Strings) const;
    // Persistent form: the property "Strings" (written only when the list is not empty).
    void WriteTo(TValueWriter& W) const;
    void ReadFrom(TValueReader& R);  // the value list behind the property name

private:
    void Changed() {
        if (!FUpdating) Prepare();
    }
    void Prepare();

    std::vector<TKeyInfoLen> FItems;
    std::uint8_t FFlags = 1;
    bool FUpdating = false;
    TdrUpperCase FUpperCaseType = druAscii;
    std::int32_t FMaxLen = 0;
    std::uint32_t FVersion = 0;
    std::vector<std::int32_t> FFirstPlain[256];
    std::vector<std::int32_t> FFirstFolded[256];
};

}  // namespace tarvex
