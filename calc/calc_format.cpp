#include "calc/calc_format.h"

#include <charconv>
#include <cmath>

namespace tarvex {

std::string FormatCalcNumber(long double V, const TCalcLocale& L) {
    if (V == 0 || !std::isfinite(V)) return "0";  // no "-0"
    char buf[80];
    const auto r = std::to_chars(buf, buf + sizeof buf, V, std::chars_format::general, 15);
    std::string s(buf, r.ptr);
    std::string out;
    const std::size_t e = s.find('e');
    out = s.substr(0, e);
    for (char& c : out)
        if (c == '.') c = L.DecimalSeparator;
    if (e != std::string::npos) {
        out += 'E';
        std::size_t i = e + 1;
        out += s[i] == '-' ? '-' : '+';
        if (s[i] == '-' || s[i] == '+') ++i;
        while (i + 1 < s.size() && s[i] == '0') ++i;
        out.append(s, i);
    }
    return out;
}

std::string FormatFixed4(long double V, char Decimal) {
    char buf[6000];  // the widest long double written in fixed notation
    const auto r = std::to_chars(buf, buf + sizeof buf, V, std::chars_format::fixed, 4);
    if (r.ec != std::errc()) return "0";
    std::string s(buf, r.ptr);
    const std::size_t dot = s.find('.');
    if (dot != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
        else s[dot] = Decimal;
    }
    if (s == "-0") s = "0";
    return s;
}

TCalcBase ClassifyWholeNumber(std::string_view S) {
    if (S.empty()) return TCalcBase::None;
    auto all = [](std::string_view T, auto Pred) {
        if (T.empty()) return false;
        for (const char c : T)
            if (!Pred(c)) return false;
        return true;
    };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    auto bit = [](char c) { return c == '0' || c == '1'; };
    auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
    if (all(S, digit)) return TCalcBase::Decimal;
    if ((S.back() == 'b' || S.back() == 'B') && all(S.substr(0, S.size() - 1), bit)) return TCalcBase::Binary;
    std::string_view h = S;
    if (h.front() == '$') h.remove_prefix(1);
    if (!h.empty() && (h.back() == 'h' || h.back() == 'H')) h.remove_suffix(1);
    if (all(h, hex)) return TCalcBase::Hexadecimal;
    return TCalcBase::None;
}

std::string ToHex(std::uint64_t V) {
    if (V == 0) return "0";
    std::string s;
    for (; V; V >>= 4) s.insert(s.begin(), "0123456789ABCDEF"[V & 15]);
    return s;
}

std::string ToBinary(std::uint64_t V) {
    if (V == 0) return "0";
    std::string s;
    for (; V; V >>= 1) s.insert(s.begin(), static_cast<char>('0' + (V & 1)));
    return s;
}

TBaseConversion ConvertWholeNumber(std::string_view S, TCalcBase Base) {
    TBaseConversion out;
    std::size_t first = 0, last = S.size();
    unsigned radix = 10;
    if (Base == TCalcBase::Hexadecimal) {
        radix = 16;
        if (S[first] == '$') ++first;
        if (last > first && (S[last - 1] == 'h' || S[last - 1] == 'H')) --last;
    } else if (Base == TCalcBase::Binary) {
        radix = 2;
        --last;  // the "b"
    }
    std::uint64_t v = 0;
    for (std::size_t i = first; i < last; ++i) {
        const char c = S[i];
        const unsigned d = c <= '9' ? static_cast<unsigned>(c - '0')
                                    : static_cast<unsigned>((c | 0x20) - 'a' + 10);
        if (v > (UINT64_MAX - d) / radix) {
            out.ErrorCode = ceWrongNumber;
            out.ErrorPos = static_cast<std::int32_t>(i) + 1;
            return out;
        }
        v = v * radix + d;
    }
    switch (Base) {
        case TCalcBase::Decimal: out.Text = ToHex(v) + "h=" + ToBinary(v) + "b"; break;
        case TCalcBase::Hexadecimal: out.Text = std::to_string(v) + "=" + ToBinary(v) + "b"; break;
        case TCalcBase::Binary: out.Text = std::to_string(v) + "=" + ToHex(v) + "h"; break;
        case TCalcBase::None: break;
    }
    return out;
}

}  // namespace tarvex
