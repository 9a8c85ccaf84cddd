#pragma once
// ParInfo: the record of one paragraph in the store, and ParExtraInfo, the
// long form a paragraph switches to when the short form cannot hold it.

#include <cstdint>
#include <string_view>
#include <vector>

#include "textstore/dyn_info.h"
#include "textstore/line_array.h"
#include "textstore/line_info.h"
#include "textstore/types.h"

namespace tarvex {

// ParInfo.Flags
inline constexpr std::uint8_t pfHasExtra = 0x01;       // Extra points to a ParExtraInfo
inline constexpr std::uint8_t pfOwnText = 0x02;        // Text is an own buffer (else it lies in a load buffer)
inline constexpr std::uint8_t pfFormatted = 0x04;      // display lines computed
inline constexpr std::uint8_t pfKeysApplied = 0x08;    // start-stop keys applied
inline constexpr std::uint8_t pfKeywordsApplied = 0x10;  // keywords or the highlighter applied

// The short form holds lengths below this.
inline constexpr std::int32_t kShortLenLimit = 65535;

struct ParExtraInfo {
    std::int32_t ParColor = clNone;
    std::int32_t ParBkColor = clNone;
    std::int32_t Len = 0;
    LineInfo FirstLineInfo;
    TDynInfo* StartAttr = DefaultAttr();  // reference-counted unless the default
    TLineArray MoreLines;                 // display lines 2 onward
    TDynInfoArray DynInfo;                // change points, sorted by offset
};

struct ParInfo {
    char* Text;  // NUL-terminated; nullptr for an empty paragraph that owns no buffer
    TPos StartPos;            // 0 for the first; else the previous StartPos + its Len + 2 (the break)
    std::int32_t FirstLine;   // 0 for the first; else the previous FirstLine + its LineCount()
    std::uint8_t Flags;
    union {
        struct {
            std::uint16_t Len;
            std::uint16_t FirstLineWidth;
        } Short;
        ParExtraInfo* Extra;
    };

    bool HasExtra() const { return Flags & pfHasExtra; }
    bool OwnText() const { return Flags & pfOwnText; }

    std::int32_t Len() const { return HasExtra() ? Extra->Len : Short.Len; }
    // Switches to the long form at kShortLenLimit or more.
    void SetLen(std::int32_t L);
    std::string_view View() const { return Text ? std::string_view(Text, static_cast<std::size_t>(Len())) : std::string_view(); }

    std::int32_t LineCount() const { return HasExtra() ? 1 + static_cast<std::int32_t>(Extra->MoreLines.size()) : 1; }
    void SetLineCount(std::int32_t N);

    std::int32_t DynCount() const { return HasExtra() ? static_cast<std::int32_t>(Extra->DynInfo.size()) : 0; }
    // The change points (nullptr in the short form, which has none).
    TDynInfoArray* Dyn() const { return HasExtra() ? &Extra->DynInfo : nullptr; }
    TDynInfoArray& DynForWrite() { return MakeExtra().DynInfo; }

    TDynInfo* StartAttr() const { return HasExtra() ? Extra->StartAttr : DefaultAttr(); }
    // Releases the old start attribute. With Copy a fresh copy with count 1 is
    // stored, otherwise Attr is shared and its count raised. The default record
    // is stored as is.
    void SetStartAttr(TDynInfo* Attr, bool Copy);

    std::int32_t ParColor() const { return HasExtra() ? Extra->ParColor : clNone; }
    std::int32_t ParBkColor() const { return HasExtra() ? Extra->ParBkColor : clNone; }

    // The first display line's record (made up from the short form when needed).
    LineInfo FirstLineInfo() const;
    // Keeps the short form when the record is what the short form implies
    // (Start 0, Stop = Len, FullWidth = Width < 65536, no spaces, style or change point).
    void SetFirstLineInfo(const LineInfo& L);

    // Switches to the long form (no-op when already there).
    ParExtraInfo& MakeExtra();

    // Frees the own text buffer and the long form; the record becomes an empty
    // short-form paragraph (StartPos and FirstLine kept).
    void FreeData();
};

static_assert(sizeof(ParInfo) == 32, "ParInfo is laid out for 32-byte strides");

// A new record for a paragraph of Len characters at Text.
ParInfo MakeParInfo(char* Text, std::int32_t Len, TPos StartPos, std::int32_t FirstLine, std::uint8_t Flags);

}  // namespace tarvex
