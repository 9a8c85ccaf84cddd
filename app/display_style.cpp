#include "app/display_style.h"

#include <algorithm>

#include "editor/dudi_riri.h"

namespace tarvex {

namespace {
constexpr std::int32_t kNavy = 0x800000, kFuchsia = 0xFF00FF;
}  // namespace

TLinkColors LinkColorsFor(std::int64_t Web) {
    const auto w = static_cast<std::int32_t>(Web);
    if (w == kWebLinkColor) return {w, kNavy, kFuchsia};
    return {w, w, w};
}

void ApplyDisplayStyle(TDudiRiri& M, const TSettings& S, bool ReadOnlyStyle) {
    const TFontSettings& fs = ReadOnlyStyle ? S.FontRO : S.Font;
    TFontSpec f;
    f.Name = fs.Name.empty() ? std::string("Arial") : fs.Name;
    f.Size = static_cast<int>(std::clamp<std::int64_t>(fs.Size, 1, 200));
    f.Style = static_cast<std::uint8_t>(fs.Style & 15);
    f.Color = static_cast<std::int32_t>(fs.Color);
    if (!(f == M.Font())) M.SetFont(f);
    M.Color = static_cast<std::int32_t>(ReadOnlyStyle ? S.BackgroundRO : S.Background);
    SetSelectionColors(M);
}

void StoreDisplayStyle(const TDudiRiri& M, TSettings& S, bool ReadOnlyStyle) {
    TFontSettings& fs = ReadOnlyStyle ? S.FontRO : S.Font;
    fs.Name = M.Font().Name;
    fs.Size = M.Font().Size;
    fs.Style = M.Font().Style;
    fs.Color = M.Font().Color;
    (ReadOnlyStyle ? S.BackgroundRO : S.Background) = M.Color;
}

std::int64_t& LinkColor(TSettings& S, bool ReadOnlyStyle) { return ReadOnlyStyle ? S.UrlRO : S.Url; }

void SetSelectionColors(TDudiRiri& M) {
    M.SelTextColor = M.Color == clWindow ? clHighlightText : M.Color;
    M.SelBackColor = M.Font().Color == clWindowText ? clHighlight : M.Font().Color;
}

void ResetDisplayStyles(TSettings& S) {
    const TSettings defaults;
    S.Font = S.FontRO = defaults.Font;
    S.Background = S.BackgroundRO = kSystemWindowColor;
    S.Url = S.UrlRO = kWebLinkColor;
}

}  // namespace tarvex
