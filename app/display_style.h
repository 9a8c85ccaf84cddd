#pragma once
// The two display styles, normal and read-only: each a font, a background
// colour and a link colour, kept in the settings. The style of the mode in
// force is the editor's; changing a font or colour stores it back.

#include <cstdint>

#include "app/settings.h"

namespace tarvex {

class TDudiRiri;

// The colours of the three kinds of link. A pure blue web link gives navy and
// fuchsia for the others; any other colour is used for all three.
struct TLinkColors {
    std::int32_t Web = 0, Second = 0, Third = 0;
    friend bool operator==(const TLinkColors&, const TLinkColors&) = default;
};
TLinkColors LinkColorsFor(std::int64_t Web);

// The font and background of the style (read-only or normal) on the editor,
// then the selection colours.
void ApplyDisplayStyle(TDudiRiri& M, const TSettings& S, bool ReadOnlyStyle);
// The editor's font and background into the style's settings.
void StoreDisplayStyle(const TDudiRiri& M, TSettings& S, bool ReadOnlyStyle);
// The style's link colour.
std::int64_t& LinkColor(TSettings& S, bool ReadOnlyStyle);
// Selected text is the system's highlight while the colours are the
// system's; otherwise it is shown inverted (the text colour behind it, the
// background colour on it).
void SetSelectionColors(TDudiRiri& M);
// Both styles back to Arial, the system colours and blue links.
void ResetDisplayStyles(TSettings& S);

}  // namespace tarvex
