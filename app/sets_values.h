#pragma once
// What the settings dialog edits, as its controls hold it (numbers as the
// text typed), and the rules by which OK stores it into the settings: each
// number box has its empty value, its limits and what a bad number does.

#include <string>

#include "app/settings.h"

namespace tarvex {

struct TSetsValues {
    // Load and Save
    bool SkipNull = false, AutoHtmTxt = true, MemFirstLine = true, WatchOpen = false, IEconvert = false;
    bool DocConvert = false, AutoDecode = true, Escape = false, PrintHeader = true;
    std::string MaxFiles;
    // Edit
    bool HideCaret = false, DragText = false, ClipLocale = false;
    std::string TabStops, MaxFndList;
    bool CompressSpaces = true, CompressMerge = true, CompressParagraphs = true, CompressTabs = true;
    // Dictionary and Sort
    std::string Delim, Separ;
    bool AddSort = false, SortDupl = true, JoinSort = false;
    // Marks and Other
    std::string MarkCount, ContLen, DateIns;
    bool BtMiddle = false;
    // Spell Check
    std::string SpellDir;
    bool SpellRus = false;
};

// The dialog's controls filled from the settings.
TSetsValues SetsFromSettings(const TSettings& S);
// OK: the values stored into the settings, in order, with their limits.
void StoreSets(const TSetsValues& V, TSettings& S);
// What a number box keeps of a change: the text when it is a number (or
// empty), else nothing.
std::string NumberBoxText(const std::string& Typed);

}  // namespace tarvex
