#include "textstore/keywords.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "platform/codepage.h"

namespace tarvex {

std::string FoldKey(std::string_view Key, TdrUpperCase Type) {
    return Type == druUserDefined ? AsciiUpperCase(Key) : Cp1251UpperCase(Key);
}

std::string FoldText(std::string_view Text) { return Cp1251UpperCase(Text); }

std::int32_t StrToInt(std::string_view S) {
    std::string_view t = S;
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    bool neg = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        neg = t.front() == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (!t.empty() && t.front() == '$') {
        base = 16;
        t.remove_prefix(1);
    } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    std::int64_t v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v, base);
    if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || v > 0xFFFFFFFFLL)
        throw EConvertError("'" + std::string(S) + "' is not a valid integer value");
    if (neg) v = -v;
    if (v < INT32_MIN) throw EConvertError("'" + std::string(S) + "' is not a valid integer value");
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

void TKeywordList::Insert(std::int32_t I, std::string_view S) {
    TKeyInfoLen k;
    k.Keyword = std::string(S);
    k.Color = k.BkColor = 0x1FFFFFFF;
    I = std::max(0, std::min(I, Count()));
    FItems.insert(FItems.begin() + I, std::move(k));
    Changed();
}

void TKeywordList::Delete(std::int32_t I) {
    FItems.erase(FItems.begin() + I);
    Changed();
}

void TKeywordList::Clear() {
    FItems.clear();
    Changed();
}

std::int32_t TKeywordList::AddKeyword(std::string_view Keyword, std::uint8_t Options, std::int32_t BkColor,
                                      std::int32_t Color, std::int16_t Cursor, std::int32_t Context, std::uint8_t Style) {
    TKeyInfoLen k;
    k.Keyword = std::string(Keyword);
    k.Options = Options;
    k.BkColor = BkColor;
    k.Color = Color;
    k.Cursor = Cursor;
    k.Context = Context;
    k.Style = Style;
    FItems.push_back(std::move(k));
    Changed();
    return Count() - 1;
}

void TKeywordList::Assign(const TKeywordList& Source) {
    if (&Source == this) return;
    BeginUpdate();
    FItems = Source.FItems;
    EndUpdate();
}

void TKeywordList::AssignStrings(const std::vector<std::string>& Source) {
    BeginUpdate();
    FItems.clear();
    for (const auto& s : Source) Add(s);
    EndUpdate();
}

void TKeywordList::SetUpdateState(bool Updating) {
    FUpdating = Updating;
    if (!Updating) Prepare();
}

void TKeywordList::SetUpperCaseType(TdrUpperCase T) {
    if (T == FUpperCaseType) return;
    FUpperCaseType = T;
    Prepare();
}

void TKeywordList::Prepare() {
    ++FVersion;
    FFlags = 1;
    FMaxLen = 0;
    for (auto& v : FFirstPlain) v.clear();
    for (auto& v : FFirstFolded) v.clear();
    for (auto& k : FItems) {
        k.SearchKey = k.Keyword;
        k.Len = static_cast<std::int32_t>(k.Keyword.size());
        FMaxLen = std::max(FMaxLen, k.Len);
        FFlags |= k.Options & 0x0C;
        if (!(k.Options & koCaseSensitive)) {
            FFlags &= static_cast<std::uint8_t>(~1);
            k.SearchKey = FoldKey(k.Keyword, FUpperCaseType);
        }
    }
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        const TKeyInfoLen& k = FItems[i];
        if (k.Context == 0 || k.Len == 0) continue;
        if (k.Options & koCaseSensitive)
            FFirstPlain[static_cast<unsigned char>(k.Keyword[0])].push_back(static_cast<std::int32_t>(i));
        else
            FFirstFolded[static_cast<unsigned char>(k.SearchKey[0])].push_back(static_cast<std::int32_t>(i));
    }
}

namespace {
// The next comma-terminated field of Value from Pos on (or the rest).
std::string_view NextField(std::string_view Value, std::size_t& Pos) {
    if (Pos > Value.size()) return {};
    const std::size_t comma = Value.find(',', Pos);
    const std::size_t end = comma == std::string_view::npos ? Value.size() : comma;
    std::string_view f = Value.substr(Pos, end - Pos);
    Pos = comma == std::string_view::npos ? Value.size() + 1 : comma + 1;
    return f;
}
}  // namespace

void TKeywordList::LoadFromStrings(const TStringList& Strings) {
    // One preparation at the end, not one per keyword: loading stays linear.
    BeginUpdate();
    try {
        FItems.clear();
        FItems.reserve(Strings.Lines.size());
        for (const std::string& line : Strings.Lines) {
            const std::size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string_view value = std::string_view(line).substr(eq + 1);
            std::size_t pos = 0;
            std::int32_t v[6];
            for (auto& x : v) x = StrToInt(NextField(value, pos));
            AddKeyword(std::string_view(line).substr(0, eq), static_cast<std::uint8_t>(v[0]), v[5], v[4],
                       static_cast<std::int16_t>(v[3]), v[2], static_cast<std::uint8_t>(v[1]));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TKeywordList::SaveToStrings(TStringList& Strings) const {
    // Where each name stands already (its first line), found once for all keywords.
    std::unordered_map<std::string, std::size_t> at;
    at.reserve(Strings.Lines.size() + FItems.size());
    for (std::size_t i = 0; i < Strings.Lines.size(); ++i) {
        const std::size_t eq = Strings.Lines[i].find('=');
        if (eq != std::string::npos) at.emplace(Strings.Lines[i].substr(0, eq), i);
    }
    std::vector<std::string> added;
    for (const auto& k : FItems) {
        std::string line = k.Keyword + "=";
        for (std::int64_t x : {std::int64_t(k.Options), std::int64_t(k.Style), std::int64_t(k.Context),
                               std::int64_t(k.Cursor), std::int64_t(k.Color), std::int64_t(k.BkColor),
                               std::int64_t(k.Ext[0]), std::int64_t(k.Ext[1])})
            line += std::to_string(x) + ",";
        if (const auto it = at.find(k.Keyword); it != at.end()) {
            if (it->second < Strings.Lines.size())
                Strings.Lines[it->second] = std::move(line);
            else
                added[it->second - Strings.Lines.size()] = std::move(line);
        } else {
            at.emplace(k.Keyword, Strings.Lines.size() + added.size());
            added.push_back(std::move(line));
        }
    }
    for (std::string& l : added) Strings.Lines.push_back(std::move(l));
}

void TKeywordList::WriteTo(TValueWriter& W) const {
    if (FItems.empty()) return;
    W.WriteProperty("Strings");
    W.WriteListBegin();
    for (const auto& k : FItems) {
        W.WriteString(k.Keyword);
        W.WriteInteger(k.Options | 0x80);
        W.WriteInteger(k.Style);
        W.WriteInteger(k.Context);
        W.WriteInteger(k.Cursor);
        W.WriteInteger(k.Color);
        W.WriteInteger(k.BkColor);
        for (std::int32_t e : k.Ext) W.WriteInteger(e);
    }
    W.WriteListEnd();
}

void TKeywordList::ReadFrom(TValueReader& R) {
    BeginUpdate();
    FItems.clear();
    try {
        R.ReadListBegin();
        while (!R.EndOfList()) {
            TKeyInfoLen k;
            k.Keyword = R.ReadString();
            const std::int64_t opt = R.ReadInteger();
            k.Options = static_cast<std::uint8_t>(opt & 0x7F);
            k.Style = static_cast<std::uint8_t>(R.ReadInteger());
            k.Context = static_cast<std::int32_t>(R.ReadInteger());
            k.Cursor = static_cast<std::int16_t>(R.ReadInteger());
            k.Color = static_cast<std::int32_t>(R.ReadInteger());
            k.BkColor = static_cast<std::int32_t>(R.ReadInteger());
            if (opt & 0x80) {
                for (auto& e : k.Ext) e = static_cast<std::int32_t>(R.ReadInteger());
            } else if (R.NextValue() == TValueType::vaInt) {
                // Older streams: two extended values may follow.
                k.Ext[0] = static_cast<std::int32_t>(R.ReadInteger());
                k.Ext[1] = static_cast<std::int32_t>(R.ReadInteger());
            }
            FItems.push_back(std::move(k));
        }
        R.ReadListEnd();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

}  // namespace tarvex
