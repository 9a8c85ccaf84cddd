#include "highlight/ext_lists.h"

#include <vector>

namespace tarvex {

namespace {

// The comma-separated fields of a text-form value.
std::vector<std::string_view> Fields(std::string_view Value) {
    std::vector<std::string_view> f;
    std::size_t pos = 0;
    while (pos <= Value.size()) {
        const std::size_t comma = Value.find(',', pos);
        const std::size_t end = comma == std::string_view::npos ? Value.size() : comma;
        f.push_back(Value.substr(pos, end - pos));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    // A trailing comma (as the lists write them) adds no field.
    if (!f.empty() && f.back().empty() && f.size() > 1) f.pop_back();
    return f;
}

std::int32_t Field(const std::vector<std::string_view>& F, std::size_t I) {
    return StrToInt(I < F.size() ? F[I] : std::string_view());
}
std::int32_t Optional(const std::vector<std::string_view>& F, std::size_t I) { return I < F.size() ? StrToInt(F[I]) : 0; }

std::uint8_t Byte(std::int32_t V) {
    if (V < 0 || V > 255) throw ERangeCheckError();
    return static_cast<std::uint8_t>(V);
}
std::int16_t Small(std::int32_t V) {
    if (V < -32768 || V > 32767) throw ERangeCheckError();
    return static_cast<std::int16_t>(V);
}

std::string Join(std::initializer_list<std::int64_t> V) {
    std::string s;
    for (std::int64_t x : V) s += std::to_string(x) + ",";
    return s;
}

}  // namespace

bool LinePositionHolds(std::uint8_t Options, std::string_view Text, std::int32_t Offset, const bool* Separators) {
    if (Options & koLineStart) return Offset == 0;
    if (Options & koAfterBlanks) {
        for (std::int32_t i = 0; i < Offset; ++i)
            if (Text[static_cast<std::size_t>(i)] != ' ' && Text[static_cast<std::size_t>(i)] != '\t') return false;
        return true;
    }
    if (Options & koAfterSeparators) {
        for (std::int32_t i = 0; i < Offset; ++i)
            if (!Separators[static_cast<unsigned char>(Text[static_cast<std::size_t>(i)])]) return false;
        return true;
    }
    return true;
}

std::int32_t TExtKeywordList::AddExtKeyword(std::string_view Keyword, std::uint8_t Options, std::uint8_t Style,
                                            std::int32_t Context, std::int16_t Cursor, std::int32_t Background,
                                            std::int32_t Foreground, std::int16_t ValidContext, std::int16_t Scope) {
    BeginUpdate();
    const std::int32_t i = AddKeyword(Keyword, Options, Background, Foreground, Cursor, Context, Style);
    Item(i).Ext[0] = ValidContext;
    Item(i).Ext[1] = Scope;
    EndUpdate();
    return i;
}

void TExtKeywordList::LoadFromStrings(const TStringList& Strings) {
    BeginUpdate();
    try {
        Clear();
        for (const std::string& line : Strings.Lines) {
            const std::size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            const auto f = Fields(std::string_view(line).substr(eq + 1));
            const std::uint8_t options = Byte(Field(f, 0)), style = Byte(Field(f, 1));
            const std::int16_t context = Small(Field(f, 2)), cursor = Small(Field(f, 3));
            const std::int32_t bk = Field(f, 4), fg = Field(f, 5);
            const std::int16_t valid = Small(Optional(f, 6)), scope = Small(Optional(f, 7));
            AddExtKeyword(std::string_view(line).substr(0, eq), options, style, context, cursor, bk, fg, valid, scope);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExtKeywordList::SaveToStrings(TStringList& Strings) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TKeyInfoLen& k = Item(i);
        Strings.SetValue(k.Keyword, Join({k.Options, k.Style, k.Context, k.Cursor, k.BkColor, k.Color, k.Ext[0], k.Ext[1]}));
    }
}

std::int32_t TExtStartStopList::AddExtKey(std::string_view StartKey, std::string_view StopKey, std::uint8_t Options,
                                          std::uint8_t Style, std::int32_t Context, std::int16_t Cursor,
                                          std::int32_t Background, std::int32_t Foreground, std::uint8_t RegionFlags,
                                          std::int16_t ValidContext, std::int16_t Scope) {
    const std::int32_t i = AddKey(StartKey, StopKey, RegionFlags & kfEndsAtLineEnd, Background, Foreground, Cursor,
                                  Context, Style, Options);
    StartStopInfo& e = Item(i);
    e.Ext[0] = ValidContext;
    e.Ext[1] = Scope;
    e.KeyFlags = RegionFlags;
    return i;
}

void TExtStartStopList::SetStartKey(std::int32_t I, std::string_view StartKey) {
    // Rebuilt through AddKey so that lengths, folded copies and SameStart stay right.
    TExtStartStopList copy;
    copy.SetUpperCaseType(UpperCaseType());
    for (std::int32_t j = 0; j < Count(); ++j) {
        const StartStopInfo& e = Item(j);
        const std::int32_t k = copy.AddExtKey(j == I ? StartKey : std::string_view(e.StartKey), e.StopKey, e.Options,
                                              e.Style, e.Context, e.Cursor, e.BkColor, e.Color, e.KeyFlags,
                                              ValidContext(j), Scope(j));
        copy.Item(k).Ext[2] = e.Ext[2];
    }
    Assign(copy);
}

void TExtStartStopList::LoadFromStrings(const TStringList& Strings) {
    Clear();
    for (const std::string& line : Strings.Lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const auto f = Fields(std::string_view(line).substr(eq + 1));
        const std::uint8_t options = Byte(Field(f, 0)), style = Byte(Field(f, 1));
        const std::int16_t context = Small(Field(f, 2)), cursor = Small(Field(f, 3));
        const std::int32_t bk = Field(f, 4), fg = Field(f, 5), endsAtPar = Field(f, 6);
        const std::int16_t valid = Small(Optional(f, 7)), scope = Small(Optional(f, 8));
        std::uint8_t flags = Byte(Optional(f, 9));
        if (endsAtPar != 0) flags |= kfEndsAtLineEnd;
        const std::string_view name = std::string_view(line).substr(0, eq);
        const std::size_t bar = name.find('|');
        const std::string_view start = bar == std::string_view::npos ? name : name.substr(0, bar);
        const std::string_view stop = bar == std::string_view::npos ? std::string_view() : name.substr(bar + 1);
        AddExtKey(start, stop, options, style, context, cursor, bk, fg, flags, valid, scope);
    }
}

void TExtStartStopList::SaveToStrings(TStringList& Strings) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        const StartStopInfo& e = Item(i);
        Strings.SetValue(std::string(e.StartKey) + "|" + e.StopKey,
                         Join({e.Options, e.Style, e.Context, e.Cursor, e.BkColor, e.Color, e.KeyFlags & kfEndsAtLineEnd,
                               e.Ext[0], e.Ext[1], e.KeyFlags}));
    }
}

}  // namespace tarvex
