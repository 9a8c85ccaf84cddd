#include "calc/evaluate_text.h"

#include <algorithm>
#include <numbers>
#include <string>
#include <vector>

#include "calc/calc_express.h"

namespace tarvex {

namespace {

// A definition's value with blanks, control characters and thousands
// separators taken out.
std::string CleanValue(std::string_view V, char Thousands) {
    std::string out;
    for (const char c : V) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 0xA0 || c == Thousands) continue;
        out += c;
    }
    return out;
}

}  // namespace

TCalcValue EvaluateText(std::string_view Text, const TCalcLocale& L) {
    std::string text(Text);
    if (L.DecimalSeparator == ',' && L.ThousandSeparator != '.') std::replace(text.begin(), text.end(), '.', ',');
    else if (L.DecimalSeparator == '.' && L.ThousandSeparator != ',') std::replace(text.begin(), text.end(), ',', '.');

    std::vector<std::string> names = {"pi", "e"};
    std::vector<long double> values = {std::numbers::pi_v<long double>, std::numbers::e_v<long double>};
    const std::size_t colon = text.find(':');
    if (colon != std::string::npos) {
        std::size_t from = colon + 1;
        while (from <= text.size()) {
            std::size_t to = text.find_first_of(";:", from);
            if (to == std::string::npos) to = text.size();
            const std::string_view line(text.data() + from, to - from);
            from = to + 1;
            const std::size_t eq = line.find('=');
            std::string name;
            std::string_view valueText = line;
            if (eq != std::string_view::npos) {
                name.assign(CalcTrim(line.substr(0, eq)));
                Cp1251LowerInPlace(name);
                valueText = line.substr(eq + 1);
            }
            long double v = 0;
            if (!CalcParseNumber(CleanValue(valueText, L.ThousandSeparator), L.DecimalSeparator, v)) {
                if (eq != std::string_view::npos) return {0, ceArguments, static_cast<std::int32_t>(Text.size()) + 1};
                continue;
            }
            const auto same = name.empty() ? names.end() : std::find(names.begin(), names.end(), name);
            if (same != names.end()) {
                values[static_cast<std::size_t>(same - names.begin())] = v;
            } else {
                names.push_back(std::move(name));
                values.push_back(v);
            }
        }
    }
    const std::string_view whole = std::string_view(text).substr(0, colon);
    const std::string_view expr = CalcTrim(whole);
    const auto lead = static_cast<std::int32_t>(expr.empty() ? whole.size() : expr.data() - whole.data());

    TCalcExpress calc(L);
    calc.SetVariables(std::move(names));
    calc.SetFormula(expr);
    TCalcValue r;
    if (!calc.TryEvaluate(values, r.Value)) {
        r.ErrorCode = calc.ErrorCode();
        r.ErrorPos = calc.ErrorPos() + lead;
    }
    return r;
}

}  // namespace tarvex
