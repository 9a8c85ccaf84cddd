#include "highlight/table_highlighter.h"

namespace tarvex {

TTableHighlighter::TTableHighlighter() = default;

void TTableHighlighter::ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    TCustomExtHighlighter::ScanKeywords(StartNav, StopNav, KeyBase);
    FNumbers.ScanKeywords(StartNav, StopNav, KeyBase);
}

void TTableHighlighter::Watch(THighlightInfo& Info) {
    Info.OnChange = [this](THighlightInfo& I) {
        if (!FLoading) GroupChanged(I);
    };
}

void TTableHighlighter::MergeKeywords(const THighlightInfo& Info, TSaved& Saved, std::int32_t From, std::int32_t To) {
    const std::uint8_t on = Info.Style() & ~Saved.Style;
    const std::uint8_t off = Saved.Style & ~Info.Style();
    const bool altChanged = Info.AltFont() != Saved.AltFont;
    for (std::int32_t i = From; i <= To && i < Keywords().Count(); ++i) {
        TKeyInfoLen& k = Keywords().Item(i);
        std::uint8_t s = static_cast<std::uint8_t>((k.Style | on) & ~off);
        if (altChanged) s = static_cast<std::uint8_t>(Info.AltFont() ? s | hsAltFont : s & ~hsAltFont);
        k.Style = s;
        if (Info.Background() != Saved.Background) k.BkColor = Info.Background();
        if (Info.Foreground() != Saved.Foreground) k.Color = Info.Foreground();
    }
    Saved.Take(Info);
}

void TTableHighlighter::SetKeywords(const THighlightInfo& Info, std::int32_t From, std::int32_t To) {
    for (std::int32_t i = From; i <= To && i < Keywords().Count(); ++i) {
        TKeyInfoLen& k = Keywords().Item(i);
        k.Style = Info.StyleByte();
        k.BkColor = Info.Background();
        k.Color = Info.Foreground();
    }
}

void TTableHighlighter::ResetKeywords(const THighlightInfo& Info, std::int32_t From, std::int32_t To,
                                      std::uint8_t Options, std::int32_t Context) {
    for (std::int32_t i = From; i <= To && i < Keywords().Count(); ++i) {
        TKeyInfoLen& k = Keywords().Item(i);
        if (k.Style & 0x80) {
            k.Style &= 0x7F;
            continue;
        }
        k.Options = Options;
        k.Style = Info.StyleByte();
        k.Context = Context;
        k.Cursor = 0;
        k.BkColor = Info.Background();
        k.Color = Info.Foreground();
    }
}

void TTableHighlighter::SetEntries(const THighlightInfo& Info, std::initializer_list<std::int32_t> Entries) {
    for (std::int32_t e : Entries) {
        if (e >= StartStopKeys().Count()) continue;
        StartStopInfo& x = StartStopKeys().Item(e);
        x.Style = Info.StyleByte();
        x.BkColor = Info.Background();
        x.Color = Info.Foreground();
    }
}

void TTableHighlighter::SetNumbers(const THighlightInfo& Info) {
    FNumbers.SetBackground(Info.Background());
    FNumbers.SetForeground(Info.Foreground());
    FNumbers.SetStyle(Info.Style());
    FNumbers.SetAltFont(Info.AltFont());
}

std::vector<std::int32_t> TTableHighlighter::ModFormats() const {
    std::vector<std::int32_t> v;
    for (std::int32_t i = 0; i < Keywords().Count(); ++i) {
        const TKeyInfoLen& k = Keywords().Item(i);
        const THighlightInfo& g = KeywordGroup(i);
        if ((k.Style & 0x7F) == g.StyleByte() && k.BkColor == g.Background() && k.Color == g.Foreground()) continue;
        v.insert(v.end(), {i, k.Options, k.Style, k.Context, k.Cursor, k.BkColor, k.Color});
    }
    return v;
}

void TTableHighlighter::SetModFormats(const std::vector<std::int32_t>& V) {
    for (std::size_t j = 0; j + 7 <= V.size(); j += 7) {
        const std::int32_t i = V[j];
        if (i < 0 || i >= Keywords().Count()) continue;
        TKeyInfoLen& k = Keywords().Item(i);
        k.Options = static_cast<std::uint8_t>(V[j + 1]);
        k.Style = static_cast<std::uint8_t>(V[j + 2] | 0x80);
        k.Context = V[j + 3];
        k.Cursor = static_cast<std::int16_t>(V[j + 4]);
        k.BkColor = V[j + 5];
        k.Color = V[j + 6];
    }
}

void TTableHighlighter::WriteTo(TValueWriter& W) const {
    auto* self = const_cast<TTableHighlighter*>(this);
    for (const TGroup& g : self->Groups()) {
        W.WriteProperty(std::string(g.Name) + ".AltFont");
        W.WriteBoolean(g.Info->AltFont());
        W.WriteProperty(std::string(g.Name) + ".Style");
        W.WriteInteger(g.Info->Style());
        W.WriteProperty(std::string(g.Name) + ".Background");
        W.WriteInteger(g.Info->Background());
        W.WriteProperty(std::string(g.Name) + ".Foreground");
        W.WriteInteger(g.Info->Foreground());
    }
    W.WriteProperty("ModFormats");
    W.WriteListBegin();
    for (std::int32_t x : ModFormats()) W.WriteInteger(x);
    W.WriteListEnd();
}

void TTableHighlighter::ReadFrom(TValueReader& R) {
    BeginLoading();
    try {
        const std::vector<TGroup> groups = Groups();
        while (!R.AtEnd()) {
            const std::string name = R.ReadProperty();
            if (name == "ModFormats") {
                std::vector<std::int32_t> v;
                R.ReadListBegin();
                while (!R.EndOfList()) v.push_back(static_cast<std::int32_t>(R.ReadInteger()));
                R.ReadListEnd();
                SetModFormats(v);
                continue;
            }
            const std::size_t dot = name.find('.');
            THighlightInfo* info = nullptr;
            for (const TGroup& g : groups)
                if (dot != std::string::npos && name.compare(0, dot, g.Name) == 0 && std::string(g.Name).size() == dot)
                    info = g.Info;
            const std::string field = dot == std::string::npos ? std::string() : name.substr(dot + 1);
            if (!info || field.empty()) throw EReadError("Unknown property " + name);
            if (field == "AltFont")
                info->SetAltFont(R.ReadBoolean());
            else if (field == "Style")
                info->SetStyle(static_cast<std::uint8_t>(R.ReadInteger()));
            else if (field == "Background")
                info->SetBackground(static_cast<std::int32_t>(R.ReadInteger()));
            else if (field == "Foreground")
                info->SetForeground(static_cast<std::int32_t>(R.ReadInteger()));
            else
                throw EReadError("Unknown property " + name);
        }
    } catch (...) {
        EndLoading();
        throw;
    }
    EndLoading();
}

void TTableHighlighter::EndLoading() {
    FLoading = false;
    Loaded();
}

}  // namespace tarvex
