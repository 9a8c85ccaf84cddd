#include "textstore/start_stop_keys.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "textstore/scope_guard.h"

namespace tarvex {

namespace {
char* Dup(std::string_view S) {
    auto* p = static_cast<char*>(std::malloc(S.size() + 1));
    if (!p) throw std::bad_alloc();
    if (!S.empty()) std::memcpy(p, S.data(), S.size());
    p[S.size()] = 0;
    return p;
}
std::string_view View(const char* P) { return P ? std::string_view(P) : std::string_view(); }
}  // namespace

TStartStopKeyList::TStartStopKeyList() {
    SetLayout(sizeof(StartStopInfo), sizeof(StartStopInfo));
    SetCapacity(1);
}

TStartStopKeyList::~TStartStopKeyList() {
    for (std::int32_t i = 0; i < Count(); ++i) FreeStrings(Item(i));
}

void TStartStopKeyList::FreeStrings(StartStopInfo& E) {
    std::free(E.StartKeySearch);
    std::free(E.StopKeySearch);
    std::free(E.StartKey);
    std::free(E.StopKey);
    E.StartKeySearch = E.StopKeySearch = E.StartKey = E.StopKey = nullptr;
}

void TStartStopKeyList::Fold(StartStopInfo& E) {
    if (E.Options & koCaseSensitive) return;
    const std::string a = FoldKey(View(E.StartKey), FUpperCaseType);
    const std::string b = FoldKey(View(E.StopKey), FUpperCaseType);
    if (!a.empty()) std::memcpy(E.StartKeySearch, a.data(), a.size());
    if (!b.empty()) std::memcpy(E.StopKeySearch, b.data(), b.size());
}

std::int32_t TStartStopKeyList::AddKey(std::string_view StartKey, std::string_view StopKey, bool EndsAtLineEnd,
                                       std::int32_t BkColor, std::int32_t Color, std::int16_t Cursor,
                                       std::int32_t Context, std::uint8_t Style, std::uint8_t Options) {
    // Lengths are 16-bit: longer keys are cut.
    StartKey = StartKey.substr(0, 32767);
    StopKey = StopKey.substr(0, 32767);
    StartStopInfo e{};
    e.Options = Options;
    e.Style = Style;
    e.Context = Context;
    e.Cursor = Cursor;
    e.Color = Color;
    e.BkColor = BkColor;
    e.StartLen = static_cast<std::int16_t>(StartKey.size());
    e.StopLen = static_cast<std::int16_t>(StopKey.size());
    e.KeyFlags = EndsAtLineEnd ? kfEndsAtLineEnd : 0;
    e.StartKey = Dup(StartKey);
    e.StopKey = Dup(StopKey);
    e.StartKeySearch = Dup(StartKey);
    e.StopKeySearch = Dup(StopKey);
    Fold(e);
    if (!(Options & koCaseSensitive)) FFlags &= static_cast<std::uint8_t>(~1);
    FFlags |= Options & 0x0C;
    FMaxStartLen = std::max(FMaxStartLen, e.StartLen);
    FMaxStopLen = std::max<std::int16_t>(FMaxStopLen, EndsAtLineEnd ? std::max<std::int16_t>(e.StopLen, 2) : e.StopLen);
    e.SameStart = -1;
    for (std::int32_t i = 0; i < Count(); ++i) {
        const StartStopInfo& o = Item(i);
        if (o.Options == e.Options && o.StartSearch() == e.StartSearch()) {
            e.SameStart = static_cast<std::int16_t>(i);
            break;
        }
    }
    {
        TScopeFail release([&] { FreeStrings(e); });
        Add(&e);
    }
    FPrepared = false;
    return Count() - 1;
}

void TStartStopKeyList::Clear() {
    for (std::int32_t i = 0; i < Count(); ++i) FreeStrings(Item(i));
    SetCount(0);
    SetCapacity(1);
    FFlags = 1;
    FMaxStartLen = FMaxStopLen = 0;
    FPrepared = false;
}

void TStartStopKeyList::Assign(const TStartStopKeyList& Source) {
    if (&Source == this) return;
    Clear();
    FUpperCaseType = Source.FUpperCaseType;
    for (std::int32_t i = 0; i < Source.Count(); ++i) {
        const StartStopInfo& s = Source.Item(i);
        const std::int32_t k = AddKey(View(s.StartKey), View(s.StopKey), s.EndsAtLineEnd(), s.BkColor, s.Color,
                                      s.Cursor, s.Context, s.Style, s.Options);
        StartStopInfo& d = Item(k);
        std::copy(std::begin(s.Ext), std::end(s.Ext), d.Ext);
        d.KeyFlags = s.KeyFlags;
    }
}

void TStartStopKeyList::SetUpperCaseType(TdrUpperCase T) {
    if (T == FUpperCaseType) return;
    FUpperCaseType = T;
    for (std::int32_t i = 0; i < Count(); ++i) Fold(Item(i));
    FPrepared = false;
}

void TStartStopKeyList::Prepare(const std::bitset<256>& Sep) {
    FStartFirst.reset();
    for (std::int32_t i = 0; i < Count(); ++i) {
        StartStopInfo& e = Item(i);
        if (e.StartLen > 0) {
            // Folded keys also match the lower-case forms of their first byte.
            const auto f = static_cast<unsigned char>(e.StartKeySearch[0]);
            for (int b = 0; b < 256; ++b)
                if (b == f || (!(e.Options & koCaseSensitive) && FoldKey(std::string(1, static_cast<char>(b)), druAnsi)[0] == static_cast<char>(f)))
                    FStartFirst.set(static_cast<std::size_t>(b));
        }
        const bool whole = e.Options & koWholeWord;
        auto notSep = [&](char c) { return !Sep[static_cast<unsigned char>(c)]; };
        e.StartBoundaryBefore = whole && e.StartLen > 0 && notSep(e.StartKeySearch[0]);
        e.StartBoundaryAfter = whole && e.StartLen > 0 && notSep(e.StartKeySearch[e.StartLen - 1]);
        e.StopBoundaryBefore = whole && e.StopLen > 0 && notSep(e.StopKeySearch[0]);
        e.StopBoundaryAfter = whole && e.StopLen > 0 && notSep(e.StopKeySearch[e.StopLen - 1]);
    }
    FPrepared = true;
}

void TStartStopKeyList::LoadFromStrings(const TStringList* Strings) {
    if (!Strings) return;
    Clear();
    for (const std::string& line : Strings->Lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string_view value = std::string_view(line).substr(eq + 1);
        std::int32_t v[7];
        std::size_t pos = 0;
        for (auto& x : v) {
            const std::size_t comma = value.find(',', pos);
            const std::size_t end = comma == std::string_view::npos ? value.size() : comma;
            x = StrToInt(pos <= value.size() ? value.substr(pos, end - pos) : std::string_view());
            pos = comma == std::string_view::npos ? value.size() + 1 : comma + 1;
        }
        const std::string_view name = std::string_view(line).substr(0, eq);
        const std::size_t bar = name.find('|');
        const std::string_view start = bar == std::string_view::npos ? name : name.substr(0, bar);
        const std::string_view stop = bar == std::string_view::npos ? std::string_view() : name.substr(bar + 1);
        AddKey(start, stop, v[6] & 1, v[5], v[4], static_cast<std::int16_t>(v[3]), v[2],
               static_cast<std::uint8_t>(v[1]), static_cast<std::uint8_t>(v[0]));
    }
}

void TStartStopKeyList::SaveToStrings(TStringList& Strings) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        const StartStopInfo& e = Item(i);
        std::string v;
        for (std::int64_t x : {std::int64_t(e.Options), std::int64_t(e.Style), std::int64_t(e.Context),
                               std::int64_t(e.Cursor), std::int64_t(e.Color), std::int64_t(e.BkColor),
                               std::int64_t(e.KeyFlags), std::int64_t(e.Ext[0]), std::int64_t(e.Ext[1])})
            v += std::to_string(x) + ",";
        Strings.SetValue(std::string(e.StartSearch()) + "|" + std::string(e.StopSearch()), v);
    }
}

void TStartStopKeyList::WriteTo(TValueWriter& W) const {
    if (Count() == 0) return;
    W.WriteProperty("Keys");
    W.WriteListBegin();
    for (std::int32_t i = 0; i < Count(); ++i) {
        const StartStopInfo& e = Item(i);
        W.WriteString(e.StartSearch());
        W.WriteString(e.StopSearch());
        W.WriteInteger(e.Options | 0x80);
        W.WriteInteger(e.Style);
        W.WriteInteger(e.Context);
        W.WriteInteger(e.Cursor);
        W.WriteInteger(e.Color);
        W.WriteInteger(e.BkColor);
        W.WriteBoolean(e.EndsAtLineEnd());
        W.WriteInteger(e.Ext[0]);
        W.WriteInteger(e.Ext[1]);
        W.WriteInteger((e.KeyFlags & 0x0F) | (static_cast<std::int64_t>(e.Ext[2]) << 4));
    }
    W.WriteListEnd();
}

void TStartStopKeyList::ReadFrom(TValueReader& R) {
    Clear();
    R.ReadListBegin();
    while (!R.EndOfList()) {
        const std::string start = R.ReadString();
        const std::string stop = R.ReadString();
        const std::int64_t opt = R.ReadInteger();
        std::int64_t v[5];
        for (auto& x : v) x = R.ReadInteger();
        std::int32_t ext[3] = {0, 0, 0};
        std::uint8_t keyFlags = 0;
        bool ends;
        if (opt & 0x80) {
            ends = R.ReadBoolean();
            ext[0] = static_cast<std::int32_t>(R.ReadInteger());
            ext[1] = static_cast<std::int32_t>(R.ReadInteger());
            const std::int64_t packed = R.ReadInteger();
            keyFlags = static_cast<std::uint8_t>(packed & 0x0F);
            ext[2] = static_cast<std::int32_t>(packed >> 4);
        } else {
            if (R.NextValue() == TValueType::vaInt) {
                ext[0] = static_cast<std::int32_t>(R.ReadInteger());
                ext[1] = static_cast<std::int32_t>(R.ReadInteger());
            }
            ends = R.ReadBoolean();
        }
        const std::int32_t k = AddKey(start, stop, ends, static_cast<std::int32_t>(v[4]), static_cast<std::int32_t>(v[3]),
                                      static_cast<std::int16_t>(v[2]), static_cast<std::int32_t>(v[1]),
                                      static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(opt & 0x7F));
        StartStopInfo& e = Item(k);
        std::copy(std::begin(ext), std::end(ext), e.Ext);
        e.KeyFlags = static_cast<std::uint8_t>(keyFlags | (ends ? kfEndsAtLineEnd : 0));
    }
    R.ReadListEnd();
    FPrepared = false;
}

}  // namespace tarvex
