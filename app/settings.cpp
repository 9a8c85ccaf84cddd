#include "app/settings.h"

#include <algorithm>
#include <cstdlib>

namespace tarvex {

namespace {

constexpr const char* kWindow = "Window";
constexpr const char* kOptions = "Options";
constexpr const char* kFont = "Font";
constexpr const char* kFiles = "Files";

struct TBoolKey {
    const char* Key;
    bool TSettings::*Field;
};
constexpr TBoolKey kBools[] = {
    {"ToolBar", &TSettings::ToolBar},       {"Status", &TSettings::Status},
    {"HideCaret", &TSettings::HideCaret},   {"SortDupl", &TSettings::SortDupl},
    {"JoinSort", &TSettings::JoinSort},     {"AddSort", &TSettings::AddSort},
    {"BtMiddle", &TSettings::BtMiddle},     {"ReadOnly", &TSettings::ReadOnly},
    {"OnTop", &TSettings::OnTop},           {"Highlight", &TSettings::Highlight},
    {"SkipNull", &TSettings::SkipNull},     {"MemFirstLine", &TSettings::MemFirstLine},
    {"DragText", &TSettings::DragText},     {"ClipLocale", &TSettings::ClipLocale},
    {"AutoHtmTxt", &TSettings::AutoHtmTxt}, {"WatchOpen", &TSettings::WatchOpen},
    {"Escape", &TSettings::Escape},         {"PrintHeader", &TSettings::PrintHeader},
    {"IEconvert", &TSettings::IEconvert},   {"DocConvert", &TSettings::DocConvert},
    {"ContentCaps", &TSettings::ContentCaps}, {"AutoDecode", &TSettings::AutoDecode},
    {"Lang", &TSettings::Lang},             {"SpellRus", &TSettings::SpellRus},
    {"Word wrap", &TSettings::WordWrap},    {"Justified", &TSettings::Justified},
};

struct TIntKey {
    const char* Key;
    std::int64_t TSettings::*Field;
};
// Integers that are always written.
constexpr TIntKey kInts[] = {
    {"MaxFiles", &TSettings::MaxFiles},     {"TabStops", &TSettings::TabStops},
    {"LineHeight", &TSettings::LineHeight}, {"OpenFilter", &TSettings::OpenFilter},
    {"Compress", &TSettings::Compress},     {"TimeScroll", &TSettings::TimeScroll},
    {"LeftMargin", &TSettings::LeftMargin}, {"Alignment", &TSettings::Alignment},
};

struct TStringKey {
    const char* Section;
    const char* Key;
    std::string TSettings::*Field;
};
// Strings that are written only when not empty.
constexpr TStringKey kStrings[] = {
    {kWindow, "MainSize", &TSettings::MainSize},     {kWindow, "ContSize", &TSettings::ContSize},
    {kWindow, "DictSize", &TSettings::DictSize},     {kWindow, "SpellSize", &TSettings::SpellSize},
    {kWindow, "FindSize", &TSettings::FindSize},     {kOptions, "Find", &TSettings::Find},
    {kOptions, "FndList", &TSettings::FndList},      {kOptions, "RepList", &TSettings::RepList},
    {kOptions, "Dictionary", &TSettings::Dictionary}, {kOptions, "Folder", &TSettings::Folder},
    {kOptions, "Delim", &TSettings::Delim},          {kOptions, "Separ", &TSettings::Separ},
    {kOptions, "SpellName", &TSettings::SpellName},  {kOptions, "SpellDir", &TSettings::SpellDir},
};

void ReadFont(const TIniFile& Ini, const std::string& Suffix, TFontSettings& F) {
    F.Name = Ini.ReadString(kFont, "Name" + Suffix, F.Name);
    F.Size = Ini.ReadInteger(kFont, "Size" + Suffix, F.Size);
    F.Style = Ini.ReadInteger(kFont, "Style" + Suffix, F.Style);
    F.Color = Ini.ReadInteger(kFont, "Color" + Suffix, F.Color);
    F.Charset = Ini.ReadInteger(kFont, "Charset" + Suffix, F.Charset);
}

void WriteFont(TIniFile& Ini, const std::string& Suffix, const TFontSettings& F) {
    Ini.WriteString(kFont, "Name" + Suffix, F.Name);
    Ini.WriteInteger(kFont, "Size" + Suffix, F.Size);
    Ini.WriteInteger(kFont, "Style" + Suffix, F.Style);
    Ini.WriteInteger(kFont, "Color" + Suffix, F.Color);
    Ini.WriteInteger(kFont, "Charset" + Suffix, F.Charset);
}

// Writes the key when Keep holds, else deletes it.
void WriteOrDelete(TIniFile& Ini, const char* Key, std::int64_t V, bool Keep) {
    if (Keep)
        Ini.WriteInteger(kOptions, Key, V);
    else
        Ini.DeleteKey(kOptions, Key);
}


}  // namespace

void TSettings::Read(const TIniFile& Ini) {
    for (const auto& k : kBools) this->*k.Field = Ini.ReadBool(kOptions, k.Key, this->*k.Field);
    for (const auto& k : kInts) this->*k.Field = Ini.ReadInteger(kOptions, k.Key, this->*k.Field);
    for (const auto& k : kStrings) this->*k.Field = Ini.ReadString(k.Section, k.Key, this->*k.Field);
    FndWd = Ini.ReadInteger(kWindow, "FndWd", FndWd);
    FndHt = Ini.ReadInteger(kWindow, "FndHt", FndHt);
    DateIns = Ini.ReadString(kOptions, "DateIns", DateIns);
    MarkCount = Ini.ReadInteger(kOptions, "MarkCount", MarkCount);
    ContLen = Ini.ReadInteger(kOptions, "ContLen", ContLen);
    MaxFndList = Ini.ReadInteger(kOptions, "MaxFndList", MaxFndList);
    if (MaxFiles > THistory::kMaxFilesLimit) MaxFiles = THistory::kMaxFilesLimit;
    ReadFont(Ini, "", Font);
    ReadFont(Ini, "RO", FontRO);
    Background = Ini.ReadInteger(kFont, "Background", Background);
    BackgroundRO = Ini.ReadInteger(kFont, "BackgroundRO", BackgroundRO);
    Url = Ini.ReadInteger(kFont, "URL", Url);
    UrlRO = Ini.ReadInteger(kFont, "URLRO", UrlRO);
}

void TSettings::Write(TIniFile& Ini) const {
    for (const auto& k : kStrings)
        if (!(this->*k.Field).empty()) Ini.WriteString(k.Section, k.Key, this->*k.Field);
    if (FndWd > 0) Ini.WriteInteger(kWindow, "FndWd", FndWd);
    if (FndHt > 0) Ini.WriteInteger(kWindow, "FndHt", FndHt);
    for (const auto& k : kBools) Ini.WriteBool(kOptions, k.Key, this->*k.Field);
    for (const auto& k : kInts) Ini.WriteInteger(kOptions, k.Key, this->*k.Field);
    if (DateIns != kDefaultDateIns)
        Ini.WriteString(kOptions, "DateIns", DateIns);
    else
        Ini.DeleteKey(kOptions, "DateIns");
    WriteOrDelete(Ini, "MarkCount", MarkCount, MarkCount >= 1 && MarkCount <= 1000);
    WriteOrDelete(Ini, "ContLen", ContLen, ContLen >= 1 && ContLen <= 1000 && ContLen != 100);
    WriteOrDelete(Ini, "MaxFndList", MaxFndList, MaxFndList >= 1 && MaxFndList <= 100);
    WriteFont(Ini, "", Font);
    WriteFont(Ini, "RO", FontRO);
    Ini.WriteInteger(kFont, "Background", Background);
    Ini.WriteInteger(kFont, "BackgroundRO", BackgroundRO);
    Ini.WriteInteger(kFont, "URL", Url);
    Ini.WriteInteger(kFont, "URLRO", UrlRO);
}

TFindSettings TSettings::FindSettings() const {
    TFindSettings f;
    f.Find = Find;
    f.FndList = FndList;
    f.RepList = RepList;
    f.MaxFndList = MaxFndList;
    f.FindSize = FindSize;
    f.FndWd = FndWd;
    f.FndHt = FndHt;
    return f;
}

void TSettings::SetFindSettings(const TFindSettings& F) {
    Find = F.Find;
    FndList = F.FndList;
    RepList = F.RepList;
    MaxFndList = F.MaxFndList;
    FindSize = F.FindSize;
    FndWd = F.FndWd;
    FndHt = F.FndHt;
}

const THistory::TItem* THistory::Find(std::string_view Name) const {
    for (const TItem& i : FItems)
        if (i.Name == Name) return &i;
    return nullptr;
}

void THistory::Add(std::string_view Name, TPos Pos, std::int64_t MaxFiles) {
    if (MaxFiles < 1) {
        FItems.clear();
        return;
    }
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Name == Name) {
            FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
            FItems.insert(FItems.begin(), TItem{std::string(Name), Pos});
            return;
        }
    const bool full = static_cast<std::int64_t>(FItems.size()) >= MaxFiles;
    FItems.insert(FItems.begin(), TItem{std::string(Name), Pos});
    if (full) FItems.pop_back();
}

void THistory::Read(const TIniFile& Ini) {
    FItems.clear();
    for (std::string line : Ini.SectionLines(kFiles)) {
        // Each entry is a key with an empty value: "path>pos=".
        if (!line.empty() && line.back() == '=') line.pop_back();
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        if (line.empty()) continue;
        TItem item;
        const std::size_t gt = line.find('>');
        item.Name = line.substr(0, gt);
        if (gt != std::string::npos) {
            char* stop = nullptr;
            const std::string num = line.substr(gt + 1);
            const long long v = std::strtoll(num.c_str(), &stop, 10);
            item.Pos = !num.empty() && *stop == '\0' && v > 0 ? v : 0;
        }
        if (!item.Name.empty()) FItems.push_back(std::move(item));
    }
}

void THistory::Write(TIniFile& Ini) const {
    std::vector<std::string> lines;
    for (const TItem& i : FItems) {
        // A name with a line break cannot be one INI line.
        if (i.Name.find_first_of("\r\n") != std::string::npos) continue;
        std::string line = i.Name;
        if (i.Pos > 0) line.append(">").append(std::to_string(i.Pos));
        lines.push_back(line.append("="));
    }
    Ini.ReplaceSection(kFiles, lines);
}

}  // namespace tarvex
