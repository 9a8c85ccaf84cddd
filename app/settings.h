#pragma once
// The program's settings: every key of the settings file with its default and
// its writing rule, window placement strings and the file history. Plain
// values; the main window applies them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/ini_file.h"
#include "platform/interface_text.h"
#include "platform/placement.h"
#include "tools/find_state.h"
#include "textstore/types.h"

namespace tarvex {

struct TFontSettings {
    std::string Name = "Arial";
    std::int64_t Size = 10;
    std::int64_t Style = 0;  // 1 bold, 2 italic, 4 underline, 8 strikeout
    std::int64_t Color = static_cast<std::int32_t>(0x80000008);  // the system window-text colour
    std::int64_t Charset = 204;                                  // Cyrillic
    friend bool operator==(const TFontSettings&, const TFontSettings&) = default;
};

inline constexpr std::int64_t kSystemWindowColor = static_cast<std::int32_t>(0x80000005);
inline constexpr std::int64_t kWebLinkColor = 0xFF0000;  // blue (0x00BBGGRR)
inline constexpr const char* kDefaultDateIns = "ddddd   hh:nn";

struct TSettings {
    // [Window]
    std::string MainSize, ContSize, DictSize, SpellSize, FindSize;
    std::int64_t FndWd = 600, FndHt = 300;
    // [Options]
    bool ToolBar = true, Status = true, HideCaret = false;
    bool SortDupl = true, JoinSort = false, AddSort = false;
    bool BtMiddle = false, ReadOnly = false, OnTop = false, Highlight = true, SkipNull = false;
    bool MemFirstLine = true, DragText = false, ClipLocale = false, AutoHtmTxt = true, WatchOpen = false;
    bool Escape = false, PrintHeader = true, IEconvert = false, DocConvert = false, ContentCaps = true;
    bool AutoDecode = true, Lang = false;
    std::string Find, FndList, RepList, Dictionary, Folder;
    std::string Delim = "=", Separ = "^t", DateIns = kDefaultDateIns;
    std::int64_t MaxFiles = 10, TabStops = 8, LineHeight = 0, OpenFilter = 1, MarkCount = 0, ContLen = 100;
    std::int64_t MaxFndList = 10, Compress = 15;
    std::string SpellName, SpellDir;
    bool SpellRus = false;
    std::int64_t TimeScroll = 30, LeftMargin = 10, Alignment = 0;
    bool WordWrap = true, Justified = false;
    // [Font]
    TFontSettings Font, FontRO;
    std::int64_t Background = kSystemWindowColor, BackgroundRO = kSystemWindowColor;
    std::int64_t Url = kWebLinkColor, UrlRO = kWebLinkColor;

    // Defaults that depend on the user's locale.
    explicit TSettings(bool RussianLocale = false) : ClipLocale(RussianLocale), Lang(RussianLocale) {}

    // Every key; a missing or malformed one keeps the value it has.
    void Read(const TIniFile& Ini);
    // Every key by its rule (some only when set, some deleted when at their default).
    void Write(TIniFile& Ini) const;

    // The keys the find commands keep (Find, FndList, RepList, MaxFndList,
    // FindSize, FndWd, FndHt), to hand to them and take back.
    TFindSettings FindSettings() const;
    void SetFindSettings(const TFindSettings& F);

    friend bool operator==(const TSettings&, const TSettings&) = default;
};

// --- history

class THistory {
public:
    struct TItem {
        std::string Name;
        TPos Pos = 0;
        friend bool operator==(const TItem&, const TItem&) = default;
    };
    static constexpr std::int64_t kMaxFilesLimit = 100;

    const std::vector<TItem>& Items() const { return FItems; }
    // The entry of a file, or nullptr. Names compare exactly: file names on
    // this system differ by case.
    const TItem* Find(std::string_view Name) const;
    // Records Name at Pos as the newest entry: an existing entry moves to the
    // top; a full list (MaxFiles entries) loses its oldest. MaxFiles < 1
    // empties the list.
    void Add(std::string_view Name, TPos Pos, std::int64_t MaxFiles);
    void Clear() { FItems.clear(); }

    // The [Files] section: one "path>pos" key per entry (">pos" only when pos > 0).
    void Read(const TIniFile& Ini);
    void Write(TIniFile& Ini) const;

private:
    std::vector<TItem> FItems;
};

}  // namespace tarvex
