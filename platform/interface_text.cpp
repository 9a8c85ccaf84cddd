#include "platform/interface_text.h"

#include <cstdlib>

namespace tarvex {

bool RussianLocale() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return (v[0] == 'r' || v[0] == 'R') && (v[1] == 'u' || v[1] == 'U') && (v[2] == '\0' || v[2] == '_' || v[2] == '.' || v[2] == '@');
    }
    return false;
}

std::string Bilingual(std::string_view Text, bool Russian) {
    const std::size_t eq = Text.find('=');
    if (eq == std::string_view::npos) return std::string(Text);
    return std::string(Russian ? Text.substr(eq + 1) : Text.substr(0, eq));
}

std::string FormatCount(std::int64_t N) {
    const bool neg = N < 0;
    const std::string digits = std::to_string(neg ? 0 - static_cast<std::uint64_t>(N) : static_cast<std::uint64_t>(N));
    std::string out;
    const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out = digits.substr(0, lead);
    for (std::size_t i = lead; i < digits.size(); i += 3) out.append(1, ',').append(digits, i, 3);
    if (neg) out.insert(out.begin(), '-');
    return out;
}

}  // namespace tarvex
