#pragma once
// Options, modes and small value types of the editor control.

#include <cstdint>

namespace tarvex {

enum TDudiRiriOption : std::uint32_t {
    droKeepColumnPos = 1u << 0,
    droPutExtraSpaces = 1u << 1,
    droWrapCaret = 1u << 2,
    droInsertKeyActive = 1u << 3,
    droWideOverwriteCaret = 1u << 4,
    droLargeWordSelect = 1u << 5,
    droAutoScrollBars = 1u << 6,
    droNoDragnDrop = 1u << 7,
    droAutoIndent = 1u << 8,
    droBackIndent = 1u << 9,
    droWindowsSelColors = 1u << 10,
    droFullLineSelect = 1u << 11,
    droDiscardTrailingSpaces = 1u << 12,
    droNoFineScroll = 1u << 13,
    droNoLineSelection = 1u << 14,
    droNoDefaultPopup = 1u << 15,
    droBlockSelection = 1u << 16,
    droAutoLineBreak = 1u << 17,
    droPlainClipboard = 1u << 18,
    droPersistentBlocks = 1u << 19,
    droNoOverwriteBlocks = 1u << 20,
    droSmartTabs = 1u << 21,
};
using TDudiRiriOptions = std::uint32_t;
inline constexpr TDudiRiriOptions kDefaultOptions = droWrapCaret | droInsertKeyActive | droWideOverwriteCaret | droAutoScrollBars;

enum TdrUpdateMode : std::uint8_t { umImmediate, umOnNeed, umBackground };
enum TBorderStyle : std::uint8_t { bsNone, bsSingle };
enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// Non-printing characters that can be shown.
enum TNonPrintChar : std::uint8_t { drNPSpace = 1, drNPTab = 2, drNPReturn = 4 };

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
struct TPen {
    std::int32_t Color = 0;
    TPenStyle Style = psSolid;
    std::int32_t Width = 1;
    friend bool operator==(const TPen&, const TPen&) = default;
};

// Colours: 0x00BBGGRR, or a system colour.
inline constexpr std::int32_t clRed = 0x0000FF;
inline constexpr std::int32_t clGray = 0x808080;
inline constexpr std::int32_t clWindow = static_cast<std::int32_t>(0x80000005);
inline constexpr std::int32_t clWindowText = static_cast<std::int32_t>(0x80000008);
inline constexpr std::int32_t clHighlight = static_cast<std::int32_t>(0x8000000D);
inline constexpr std::int32_t clHighlightText = static_cast<std::int32_t>(0x8000000E);

// Linked-object notification codes.
inline constexpr std::uint32_t lnTextChanged = 1;
inline constexpr std::uint32_t lnCaretMoved = 2;
inline constexpr std::uint32_t lnStyleChanged = 4;
inline constexpr std::uint32_t lnContextClick = 8;
inline constexpr std::uint32_t lnBeforeMessage = 32;
inline constexpr std::uint32_t lnAfterMessage = 64;
inline constexpr std::uint32_t lnFontChanged = 512;
// The editor is being destroyed: linked objects forget it.
inline constexpr std::uint32_t lnDestroying = 1024;

}  // namespace tarvex
