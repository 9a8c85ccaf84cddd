#include "cli/output_input.h"

#include "app/loader.h"
#include "app/settings.h"
#include "cli/key_file.h"

namespace tarvex::cli {

std::unique_ptr<TDudiRiri> OpenForOutput(const std::string& File, const std::string& Highlighter) {
    auto memo = std::make_unique<TDudiRiri>();
    const TSettings defaults;
    TFontSpec f;
    f.Name = defaults.Font.Name;
    f.Size = static_cast<int>(defaults.Font.Size);
    f.Style = static_cast<std::uint8_t>(defaults.Font.Style);
    f.Color = static_cast<std::int32_t>(defaults.Font.Color);
    memo->SetFont(f);
    memo->SetTabStops(static_cast<std::int32_t>(defaults.TabStops));
    memo->SetWordWrap(defaults.WordWrap);
    if (!Highlighter.empty()) ApplyKeyFile(*memo, Highlighter);
    TLoadHooks hooks;
    hooks.ConfirmLarge = [](std::int64_t) { return true; };
    TLoadOutcome outcome;
    TLoadSettings settings;
    LoadDocument(*memo, File, settings, hooks, outcome);
    return memo;
}

}  // namespace tarvex::cli
