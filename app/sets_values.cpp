#include "app/sets_values.h"

#include <algorithm>
#include <charconv>

namespace tarvex {

namespace {

// The number in a box; Empty when it is empty; Bad when it is no number.
std::int64_t BoxNumber(const std::string& T, std::int64_t Empty, std::int64_t Bad) {
    if (T.empty()) return Empty;
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(T.data(), T.data() + T.size(), v);
    if (ec != std::errc() || end != T.data() + T.size() || v < 0) return Bad;
    return v;
}

}  // namespace

std::string NumberBoxText(const std::string& Typed) {
    for (const char c : Typed)
        if (c < '0' || c > '9') return {};
    return Typed;
}

TSetsValues SetsFromSettings(const TSettings& S) {
    TSetsValues v;
    v.SkipNull = S.SkipNull;
    v.AutoHtmTxt = S.AutoHtmTxt;
    v.MemFirstLine = S.MemFirstLine;
    v.WatchOpen = S.WatchOpen;
    v.IEconvert = S.IEconvert;
    v.DocConvert = S.DocConvert;
    v.AutoDecode = S.AutoDecode;
    v.Escape = S.Escape;
    v.PrintHeader = S.PrintHeader;
    v.MaxFiles = std::to_string(S.MaxFiles);
    v.HideCaret = S.HideCaret;
    v.DragText = S.DragText;
    v.ClipLocale = S.ClipLocale;
    v.TabStops = std::to_string(S.TabStops);
    v.MaxFndList = std::to_string(S.MaxFndList);
    v.CompressSpaces = S.Compress & 1;
    v.CompressMerge = S.Compress & 2;
    v.CompressParagraphs = S.Compress & 4;
    v.CompressTabs = S.Compress & 8;
    v.Delim = S.Delim;
    v.Separ = S.Separ;
    v.AddSort = S.AddSort;
    v.SortDupl = S.SortDupl;
    v.JoinSort = S.JoinSort;
    v.MarkCount = std::to_string(S.MarkCount);
    v.ContLen = std::to_string(S.ContLen);
    v.DateIns = S.DateIns;
    v.BtMiddle = S.BtMiddle;
    v.SpellDir = S.SpellDir;
    v.SpellRus = S.SpellRus;
    return v;
}

void StoreSets(const TSetsValues& V, TSettings& S) {
    S.SkipNull = V.SkipNull;
    S.AutoHtmTxt = V.AutoHtmTxt;
    S.MemFirstLine = V.MemFirstLine;
    S.WatchOpen = V.WatchOpen;
    S.IEconvert = V.IEconvert;
    S.DocConvert = V.DocConvert;
    S.AutoDecode = V.AutoDecode;
    S.Escape = V.Escape;
    S.PrintHeader = V.PrintHeader;
    S.HideCaret = V.HideCaret;
    S.DragText = V.DragText;
    S.ClipLocale = V.ClipLocale;
    S.AddSort = V.AddSort;
    S.SortDupl = V.SortDupl;
    S.JoinSort = V.JoinSort;
    S.BtMiddle = V.BtMiddle;
    S.SpellDir = V.SpellDir;
    S.SpellRus = V.SpellRus;
    S.Compress = (V.CompressSpaces ? 1 : 0) + (V.CompressMerge ? 2 : 0) + (V.CompressParagraphs ? 4 : 0) +
                 (V.CompressTabs ? 8 : 0);
    S.MaxFiles = std::min<std::int64_t>(BoxNumber(V.MaxFiles, 0, S.MaxFiles), THistory::kMaxFilesLimit);
    S.TabStops = std::min<std::int64_t>(BoxNumber(V.TabStops, 8, S.TabStops), 100);
    S.MaxFndList = std::clamp<std::int64_t>(BoxNumber(V.MaxFndList, 10, S.MaxFndList), 2, 100);
    const std::int64_t marks = BoxNumber(V.MarkCount, 0, 0);
    S.MarkCount = marks <= 1000 ? marks : 0;
    const std::int64_t len = BoxNumber(V.ContLen, 100, 100);
    S.ContLen = len >= 1 && len <= 1000 ? len : 100;
    S.DateIns = V.DateIns;
    S.Delim = V.Delim;
    S.Separ = V.Separ;
}

}  // namespace tarvex
