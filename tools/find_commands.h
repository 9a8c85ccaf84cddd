#pragma once
// The find and replace commands over an editor control: the next occurrence
// forward or back (F3, Shift+F3), counting, listing, replacing one occurrence
// after a question and replacing all of them in one undo step. They ask and
// tell through TPrompts, so the window shows message boxes while tests
// and tarvex-cli answer without them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/text_transform.h"
#include "platform/prompts.h"
#include "textstore/types.h"
#include "tools/find_state.h"

namespace tarvex {

class TDudiRiri;

// The interface texts, "English=Russian".
namespace find_texts {
inline constexpr const char* kNotFound = "Not found!=Не найден!";
inline constexpr const char* kFinished = "Search is finished.=Поиск завершён.";
inline constexpr const char* kFragments = "%s fragments are found=Найдено %s совпадений";
inline constexpr const char* kTooMany = "Too many lines for list!";
inline constexpr const char* kReadOnly = "Text is ReadOnly!=Текст только для чтения!!!";
inline constexpr const char* kReplace = "Replace=Заменить";
inline constexpr const char* kDelete = "Delete?=Удалить?";
inline constexpr const char* kNothing = "Nothing to replace!=Нечего менять!";
inline constexpr const char* kRemovals = "To make %s removals?=Произвести %s удалений?";
inline constexpr const char* kReplacements = "To make %s replacements?=Произвести %s замен?";
inline constexpr const char* kReplaced = "%s replacements are made!=%s замен произведено!";
}  // namespace find_texts

// A "%s" text in the interface language with the count in place of %s.
std::string CountText(const char* Bilingual, std::int64_t Count, bool Russian);

// Lists longer than this are not shown.
inline constexpr std::int64_t kMaxListed = 10000;

// One entry of the result list.
struct TFoundEntry {
    TPos Pos = 0;            // the occurrence (SelStart scale)
    std::int32_t Line = 0;   // its display line, 1-based
    std::string Text;        // that line's text (shortened around the occurrence when long)
};

// The text a count, list or replacement works on, on the SelStart scale.
TTextRange FindRange(TDudiRiri& M, TFindRange Range);

// Occurrences of the search text in the range (whole words with WholeWord).
std::int64_t CountOccurrences(TDudiRiri& M, const TSearchState& S, TFindRange Range);
// Counts them and, when there are at most Limit, lists them in Out with
// their display lines (laid out up to the last); otherwise Out stays empty.
// A line longer than MaxText characters is shown from shortly before the
// occurrence, MaxText characters long.
std::int64_t ListOccurrences(TDudiRiri& M, const TSearchState& S, TFindRange Range, std::int64_t Limit,
                             std::vector<TFoundEntry>& Out, std::size_t MaxText = 512);
// Every occurrence as a result-list entry, in order, without keeping them.
std::int64_t EachOccurrence(TDudiRiri& M, const TSearchState& S, TFindRange Range,
                            const std::function<void(const TFoundEntry&)>& OnEntry, std::size_t MaxText = 512);
// The result list's double click: selects the occurrence and shows it on the
// fourth visible line.
void GoToEntry(TDudiRiri& M, const TSearchState& S, TPos Pos);

class TFindCommands {
public:
    TFindCommands(TDudiRiri& Memo, TSearchState& State, TPrompts& Prompts, bool Russian)
        : M(Memo), S(State), P(Prompts), FRussian(Russian) {}

    // One search step in the direction of S.Forward; selects the occurrence
    // and scrolls it into view, or says why nothing was found. Returns
    // whether one was found.
    bool FindNext();
    // Count (F5): shows how many occurrences the range holds.
    std::int64_t Count(TFindRange Range);
    // Replace (F4): finds an occurrence when none is selected, asks, replaces
    // it and goes on to the next. Returns whether it replaced.
    bool Replace(bool HasReplacement);
    // Replace all (Ctrl+F4): counts, asks, replaces every occurrence of the
    // range in one undo step, puts the caret back and tells the count.
    // Returns the replacements made (0 when refused, read-only or none).
    std::int64_t ReplaceAll(TFindRange Range, bool HasReplacement);

    // Called once Replace all is confirmed, before the text changes.
    std::function<void()> BeforeReplacing;

    // Whether the editor refuses changes (with the message when it does).
    bool RefuseReadOnly();
    std::string Text(const char* Bilingual) const;

private:
    // The selection holds the search text (by the search's case rule).
    bool SelectionIsSearchText();

    TDudiRiri& M;
    TSearchState& S;
    TPrompts& P;
    bool FRussian;
};

// Replace all without questions: every occurrence of the range is replaced in
// one undo step (the text from the first to the last occurrence is built in
// one pass and handed to the editor). Returns the replacements; the caret and
// selection are left as the replacement leaves them.
std::int64_t ReplaceAllOccurrences(TDudiRiri& M, const TSearchState& S, TFindRange Range);

}  // namespace tarvex
