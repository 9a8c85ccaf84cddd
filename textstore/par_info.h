#pragma once
// ParInfo: the record of one paragraph in the store, and ParExtraInfo, the
// long form a paragraph switches to when the short form cannot hold it.
//
// A record is 24 bytes: a text has tens of millions of them. The short form
// keeps the text pointer and the first line's width in one word (user-space
// pointers fit in 48 bits), the length beside the flags, the start position
// and the first display line relative to the record's block (the list keeps
// the blocks' bases), and a handle of the paragraph's change points in the
// list's point store. The long form keeps a pointer to the ParExtraInfo in
// the first word instead; the text pointer moves into it.

#include <cstdint>
#include <string_view>

#include "textstore/dyn_info.h"
#include "textstore/line_array.h"
#include "textstore/line_info.h"
#include "textstore/types.h"

namespace tarvex {

// ParInfo.Flags
inline constexpr std::uint8_t pfHasExtra = 0x01;       // the long form: a ParExtraInfo holds text, length and lines
inline constexpr std::uint8_t pfOwnText = 0x02;        // Text is an own buffer (else it lies in a load buffer)
inline constexpr std::uint8_t pfFormatted = 0x04;      // display lines computed
inline constexpr std::uint8_t pfKeysApplied = 0x08;    // start-stop keys applied
inline constexpr std::uint8_t pfKeywordsApplied = 0x10;  // keywords or the highlighter applied

// The short form holds lengths below this.
inline constexpr std::int32_t kShortLenLimit = 65535;

struct ParExtraInfo {
    char* Text = nullptr;
    std::int32_t ParColor = clNone;
    std::int32_t ParBkColor = clNone;
    std::int32_t Len = 0;
    LineInfo FirstLineInfo;
    TLineArray MoreLines;  // display lines 2 onward
};

class ParInfo {
public:
    bool HasExtra() const { return Flags & pfHasExtra; }
    bool OwnText() const { return Flags & pfOwnText; }
    // The long form's record; nullptr in the short form.
    ParExtraInfo* Extra() const { return HasExtra() ? reinterpret_cast<ParExtraInfo*>(FW0 & kPtrMask) : nullptr; }

    // NUL-terminated; nullptr for an empty paragraph that owns no buffer.
    char* Text() const {
        return HasExtra() ? reinterpret_cast<ParExtraInfo*>(FW0 & kPtrMask)->Text : reinterpret_cast<char*>(FW0 & kPtrMask);
    }
    void SetText(char* T);
    std::int32_t Len() const { return HasExtra() ? reinterpret_cast<ParExtraInfo*>(FW0 & kPtrMask)->Len : FLen; }
    // Switches to the long form at kShortLenLimit or more.
    void SetLen(std::int32_t L);
    std::string_view View() const {
        const char* t = Text();
        return t ? std::string_view(t, static_cast<std::size_t>(Len())) : std::string_view();
    }

    std::int32_t LineCount() const { return HasExtra() ? 1 + static_cast<std::int32_t>(Extra()->MoreLines.size()) : 1; }
    void SetLineCount(std::int32_t N);

    std::int32_t ParColor() const { return HasExtra() ? Extra()->ParColor : clNone; }
    std::int32_t ParBkColor() const { return HasExtra() ? Extra()->ParBkColor : clNone; }

    // The first display line's record (made up from the short form when needed).
    LineInfo FirstLineInfo() const;
    // Keeps the short form when the record is what the short form implies
    // (Start 0, Stop = Len, FullWidth = Width < 65536, no spaces, style or change point).
    void SetFirstLineInfo(const LineInfo& L);

    // Switches to the long form (no-op when already there).
    ParExtraInfo& MakeExtra();

    // Frees the own text buffer and the long form; the record becomes an empty
    // short-form paragraph (its position and its change points are the list's).
    void FreeData();

private:
    friend class TParagraphsList;
    friend ParInfo MakeParInfo(char* Text, std::int32_t Len, std::uint8_t Flags);
    static constexpr std::uint64_t kPtrMask = (std::uint64_t(1) << 48) - 1;
    static std::uint64_t PtrBits(const void* P);
    std::uint16_t Width() const { return static_cast<std::uint16_t>(FW0 >> 48); }
    void SetWidth(std::uint16_t W) { FW0 = (FW0 & kPtrMask) | (std::uint64_t(W) << 48); }

    std::uint64_t FW0;        // short: text pointer | first line's width << 48; long: ParExtraInfo pointer
    std::uint32_t FStartLo;   // start position relative to the block's base: low 32 bits
    std::int8_t FStartHi;     // and its signed high 8 bits

public:
    std::uint8_t Flags;

private:
    std::uint16_t FLen;       // the short form's length
    std::int32_t FLineRel;    // first display line relative to the block's base
    std::uint32_t FPoints;    // the change points in the list's point store; 0: none

    std::int64_t StartRel() const { return (static_cast<std::int64_t>(FStartHi) << 32) | FStartLo; }
    void SetStartRel(std::int64_t R) {
        FStartLo = static_cast<std::uint32_t>(R);
        FStartHi = static_cast<std::int8_t>(R >> 32);
    }
};

static_assert(sizeof(ParInfo) == 24, "ParInfo is laid out for 24-byte records");

// A new record for a paragraph of Len characters at Text (no change points;
// the list sets its position and first line when it stores it).
ParInfo MakeParInfo(char* Text, std::int32_t Len, std::uint8_t Flags);

}  // namespace tarvex
