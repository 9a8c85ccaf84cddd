#pragma once
// What find and replace remember between searches: the search and
// replacement texts with their options, the direction of the next search and
// the two histories, and how they go to and come from the settings file.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// The settings the find commands read and write, as the settings file holds
// them (UTF-8). The main window persists them; the dialog changes them.
struct TFindSettings {
    std::string Find;              // the last search text; breaks as "^p", tabs as "^t"
    std::string FndList, RepList;  // the histories: items joined by the byte 0x01
    std::int64_t MaxFndList = 10;  // items kept in each history
    std::string FindSize;          // the dialog's placement string
    std::int64_t FndWd = 600, FndHt = 300;  // its size while the result list is shown
    friend bool operator==(const TFindSettings&, const TFindSettings&) = default;
};

// Where a count, a list or a replacement works.
enum TFindRange : std::uint8_t { frGlobal, frFromCursor, frSelection };

// Replaces every "^p" by CR LF and every "^t" by TAB (p and t in either case).
std::string ExpandEscapes(std::string_view S);
// The search text as messages show it: cut to 64 characters followed by
// "..." when it has 64 or more; with Escapes, CR LF as "^p" and TAB as "^t".
std::string DisplayText(std::string_view SearchText, bool Escapes);

// One combo box's item list, newest first.
class TFindHistory {
public:
    std::vector<std::string> Items;

    // Moves Text to the top (inserting it when absent) and drops items from
    // the end beyond Max.
    void Push(std::string_view Text, std::int64_t Max);
    // Removes Text when present; returns whether it was.
    bool Remove(std::string_view Text);
    // The items joined by 0x01, blanks at both ends removed.
    std::string Joined() const;
    // Splits a joined list at 0x01 (empty items dropped).
    void Split(std::string_view Joined);
};

// The values the dialog's controls hold when one of its commands runs.
struct TFindDialogValues {
    std::string FindText, ReplaceText;  // the combo boxes' texts, UTF-8
    bool MatchCase = false, WholeWord = false, Escapes = false;
    TFindRange Range = frGlobal;
};

class TSearchState {
public:
    std::string SearchText;   // Windows-1251, escapes expanded
    std::string ReplaceText;  // Windows-1251, escapes expanded
    bool MatchCase = false, WholeWord = false, Escapes = false;
    bool Forward = true;  // direction of the next search
    TFindHistory FindHistory, ReplaceHistory;
    std::int64_t MaxFndList = 10;

    // Reads the texts, histories and limit (a limit outside 1..100 gives 10).
    void Load(const TFindSettings& S);
    // Writes them back (the placement fields are left alone).
    void Store(TFindSettings& S) const;

    // Reads the dialog into the state: the options, the direction (forward),
    // the texts (converted to Windows-1251 and, with Escapes, expanded) and
    // the histories (a non-empty text goes to the top of its list).
    void TakeSearchParams(const TFindDialogValues& V);
    // Find next and Find back are enabled while this holds.
    bool CanFindNext() const { return !SearchText.empty(); }
};

}  // namespace tarvex
