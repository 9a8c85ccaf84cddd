#include "calc/calc_locale.h"

#include <iterator>

namespace tarvex {

TCalcLocale CalcLocale(TCalcLanguage L) {
    if (L == TCalcLanguage::Russian) return {',', ' '};
    return {'.', ','};
}

std::string CalcErrorMessage(std::int32_t Code, TCalcLanguage L) {
    struct TPair {
        const char* En;
        const char* Ru;
    };
    static constexpr TPair kMessages[] = {
        {"No error", "Нет ошибки"},
        {"Wrong number", "Ошибочное число"},
        {"Mismatched brackets", "Не согласованы скобки"},
        {"Divide by zero!", "Деление на ноль!"},
        {"Wrong operation", "Ошибочная операция"},
        {"Expected Number or Variable", "Ожидается число или переменная"},
        {"Wrong variable", "Ошибочная переменная"},
        {"Syntax error!", "Синтаксическая ошибка!"},
        {"Mistake in arguments", "Ошибка в аргументах"},
        {"Wrong date", "Ошибочная дата"},
        {"Wrong time", "Ошибочное время"},
        {"Expression too long", "Слишком длинное выражение"},
    };
    const bool ru = L == TCalcLanguage::Russian;
    if (Code >= 0 && Code < static_cast<std::int32_t>(std::size(kMessages)))
        return ru ? kMessages[Code].Ru : kMessages[Code].En;
    return (ru ? std::string("Ошибка ") : std::string("Error ")) + std::to_string(Code);
}

unsigned char Cp1251Lower(unsigned char C) {
    if ((C >= 'A' && C <= 'Z') || (C >= 0xC0 && C <= 0xDF)) return static_cast<unsigned char>(C + 0x20);
    if (C == 0xA8) return 0xB8;  // Ё
    return C;
}

void Cp1251LowerInPlace(std::string& S) {
    for (char& c : S) c = static_cast<char>(Cp1251Lower(static_cast<unsigned char>(c)));
}

std::string_view CalcTrim(std::string_view S) {
    auto blank = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= ' ' || u == 0xA0;
    };
    while (!S.empty() && blank(S.front())) S.remove_prefix(1);
    while (!S.empty() && blank(S.back())) S.remove_suffix(1);
    return S;
}

}  // namespace tarvex
