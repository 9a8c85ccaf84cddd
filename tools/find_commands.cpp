#include "tools/find_commands.h"

#include <algorithm>
#include <cstdlib>

#include "editor/dudi_riri.h"
#include "platform/interface_text.h"
#include "platform/codepage.h"
#include "tools/find_replace.h"
#include "tools/store_search.h"

namespace tarvex {

namespace {

// Search texts with a CR or a TAB, or this long, are searched by the store
// search instead of the editor's own paragraph search.
constexpr std::size_t kLongSearch = 64;

TPos SelLow(TDudiRiri& M) { return std::min(M.SelStart(), M.SelStart() + M.SelLength()); }

// Replace all works from behind a forward selection when going from the cursor.
TTextRange ReplaceAllRange(TDudiRiri& M, TFindRange Range) {
    if (Range != frFromCursor) return FindRange(M, Range);
    const TPos start = M.SelStart() + std::max<TPos>(M.SelLength(), 0);
    return {false, start, M.CharCount() - start};
}

std::int64_t ApplyReplaceAll(TDudiRiri& M, const TStoreSearch& Search, const TReplacePlan& Plan,
                             std::string_view Replacement) {
    if (Plan.Count == 0) return 0;
    const bool breaks = Search.Pattern().Text().find_first_of("\r\n") != std::string::npos ||
                        Replacement.find_first_of("\r\n") != std::string_view::npos;
    // One replacement at a time costs some 100 bytes and lays out only its
    // paragraph; the span as a whole costs twice its length and lays out all of it.
    if (!breaks && M.CanReplaceRanges() && Plan.Count <= (Plan.End - Plan.Start) / 64 + 1) {
        std::vector<TTextEdit> edits;
        edits.reserve(static_cast<std::size_t>(Plan.Count));
        Search.Scan(
            Plan.From, Plan.To, Plan.WholeWord,
            [&](TPos P) {
                edits.push_back({P, Search.Length(), std::string(Replacement)});
                return static_cast<std::int64_t>(edits.size()) < Plan.Count;
            },
            Plan.Start);
        const TPos need = M.CharCount() + 8192;
        if (M.UndoMaxSpace() < need) M.SetUndoMaxSpace(need);
        M.BeginUpdate();
        struct TEnd {
            TDudiRiri& M;
            ~TEnd() { M.EndUpdate(); }
        } end{M};
        M.ReplaceRanges(edits);
        return static_cast<std::int64_t>(edits.size());
    }
    std::string text = BuildReplacedSpan(Search, Plan, Replacement);
    ReplaceRangeMoved(M, {false, Plan.Start, Plan.End - Plan.Start}, std::move(text));
    return Plan.Count;
}

}  // namespace

std::string CountText(const char* Bi, std::int64_t Count, bool Russian) {
    std::string t = Bilingual(Bi, Russian);
    const std::size_t at = t.find("%s");
    if (at != std::string::npos) t.replace(at, 2, FormatCount(Count));
    return t;
}

TTextRange FindRange(TDudiRiri& M, TFindRange Range) {
    switch (Range) {
        case frFromCursor: return {false, M.SelStart(), M.CharCount() - M.SelStart()};
        case frSelection: return {false, SelLow(M), std::abs(M.SelLength())};
        case frGlobal: break;
    }
    return {true, 0, M.CharCount()};
}

std::int64_t CountOccurrences(TDudiRiri& M, const TSearchState& S, TFindRange Range) {
    const TTextRange r = FindRange(M, Range);
    const TStoreSearch search(M.Pars, S.SearchText, S.MatchCase);
    return search.Scan(r.Start, r.Start + r.Length, S.WholeWord);
}

namespace {

// Result-list entries of occurrences met in increasing order.
class TEntryMaker {
public:
    TEntryMaker(TDudiRiri& M, std::size_t MaxText) : M(M), FAt(&M), FMaxText(MaxText) {}

    TFoundEntry Make(TPos P) {
        const std::int32_t q = M.Pars.ParagraphAt(P);
        if (q != FPar) {
            // Display lines are laid out up to the occurrence, as for the caret.
            M.FormatThrough(q);
            FAt.Invalidate();
            FPar = q;
        }
        FAt.SetPos(P);
        TFoundEntry e;
        e.Pos = P;
        e.Line = FAt.DisplayLine() + 1;
        e.Text = FAt.LineText();
        if (e.Text.size() > FMaxText) {
            const auto column = static_cast<std::size_t>(FAt.LineColumn());
            const std::size_t from =
                column > FMaxText / 4 ? std::min(column - FMaxText / 4, e.Text.size() - FMaxText) : 0;
            e.Text = e.Text.substr(from, FMaxText);
        }
        return e;
    }

private:
    TDudiRiri& M;
    TRiriNavigator FAt;
    std::size_t FMaxText;
    std::int32_t FPar = -1;
};

}  // namespace

std::int64_t ListOccurrences(TDudiRiri& M, const TSearchState& S, TFindRange Range, std::int64_t Limit,
                             std::vector<TFoundEntry>& Out, std::size_t MaxText) {
    Out.clear();
    const TTextRange r = FindRange(M, Range);
    const TStoreSearch search(M.Pars, S.SearchText, S.MatchCase);
    std::vector<TPos> found;
    const std::int64_t count = search.Scan(r.Start, r.Start + r.Length, S.WholeWord, [&](TPos P) {
        if (static_cast<std::int64_t>(found.size()) < Limit) found.push_back(P);
        return true;
    });
    if (count > Limit) return count;
    Out.reserve(found.size());
    TEntryMaker maker(M, MaxText);
    for (const TPos p : found) Out.push_back(maker.Make(p));
    return count;
}

std::int64_t EachOccurrence(TDudiRiri& M, const TSearchState& S, TFindRange Range,
                            const std::function<void(const TFoundEntry&)>& OnEntry, std::size_t MaxText) {
    const TTextRange r = FindRange(M, Range);
    const TStoreSearch search(M.Pars, S.SearchText, S.MatchCase);
    TEntryMaker maker(M, MaxText);
    return search.Scan(r.Start, r.Start + r.Length, S.WholeWord, [&](TPos P) {
        OnEntry(maker.Make(P));
        return true;
    });
}

void GoToEntry(TDudiRiri& M, const TSearchState& S, TPos Pos) {
    M.SetSelStart(Pos);
    M.SetTopLine(std::max(0, M.SelLine() - 3));
    M.SetSelLength(static_cast<TPos>(S.SearchText.size()));
}

std::string TFindCommands::Text(const char* Bi) const { return Bilingual(Bi, FRussian); }

bool TFindCommands::RefuseReadOnly() {
    if (!M.ReadOnly && !M.DisplayOnly) return false;
    P.ShowMessage(Text(find_texts::kReadOnly));
    return true;
}

bool TFindCommands::SelectionIsSearchText() {
    const std::string& t = S.SearchText;
    if (t.empty() || std::abs(M.SelLength()) != static_cast<TPos>(t.size())) return false;
    const std::string sel = M.SelText();
    return TFindPattern(t, S.MatchCase).EqualAt(sel.data());
}

bool TFindCommands::FindNext() {
    const std::string& t = S.SearchText;
    if (t.empty()) return false;
    bool found;
    if (t.find_first_of("\r\t") == std::string::npos && t.size() < kLongSearch) {
        // The editor's search starts at the caret, which may stand at either
        // end of the selected occurrence: it starts behind it in the
        // direction of the search, and the occurrence stays selected when
        // there is nothing beyond.
        const TPos start = M.SelStart(), length = M.SelLength();
        const bool onOccurrence = SelectionIsSearchText();
        const TPos low = SelLow(M);
        if (onOccurrence) M.SetSelStart(S.Forward ? low + std::abs(length) : low);
        found = M.FindText(t, S.Forward, false, S.WholeWord, S.MatchCase);
        if (!found && onOccurrence) {
            M.SetSelStart(start);
            M.SetSelLength(length);
        }
    } else {
        // The store search (whole words do not apply). The selected occurrence
        // is stepped over; when nothing lies beyond it, it stays selected.
        const TStoreSearch search(M.Pars, t, S.MatchCase);
        const bool onOccurrence = SelectionIsSearchText();
        const TPos low = SelLow(M), n = search.Length();
        const TPos c = S.Forward ? search.Next(onOccurrence ? low + n : M.SelStart(), M.CharCount())
                                 : search.Prev(0, onOccurrence ? low : M.SelStart());
        found = c >= 0;
        if (found) {
            M.SetSelStart(c);
            M.SetSelLength(n);
        }
    }
    if (found) {
        M.KeepCaretInView();
        return true;
    }
    if (SelectionIsSearchText())
        P.ShowMessage(Text(find_texts::kFinished));
    else
        P.ShowMessage(Cp1251ToUtf8(DisplayText(t, S.Escapes)) + "\n" + Text(find_texts::kNotFound) + "        ");
    return false;
}

std::int64_t TFindCommands::Count(TFindRange Range) {
    const std::int64_t c = CountOccurrences(M, S, Range);
    P.ShowMessage(CountText(find_texts::kFragments, c, FRussian));
    return c;
}

bool TFindCommands::Replace(bool HasReplacement) {
    if (RefuseReadOnly()) return false;
    if (M.SelLength() == 0) FindNext();
    if (!SelectionIsSearchText()) return false;
    const std::string question = HasReplacement ? Text(find_texts::kReplace) + "?" : Text(find_texts::kDelete);
    const bool yes = P.Ask(question, TPrompts::pcYesNo) == TPrompts::paYes;
    if (yes) M.SetSelTextBuf(S.ReplaceText);
    // No skips this occurrence: the search goes on either way.
    FindNext();
    return yes;
}

std::int64_t TFindCommands::ReplaceAll(TFindRange Range, bool HasReplacement) {
    if (S.SearchText.empty() || RefuseReadOnly()) return 0;
    const TPos remembered = M.SelStart();
    const TTextRange r = ReplaceAllRange(M, Range);
    const TStoreSearch search(M.Pars, S.SearchText, S.MatchCase);
    const TReplacePlan plan = PlanReplace(search, r.Start, r.Start + r.Length, S.WholeWord);
    if (plan.Count == 0) {
        P.ShowMessage(Text(find_texts::kNothing));
        return 0;
    }
    if (P.Ask(CountText(HasReplacement ? find_texts::kReplacements : find_texts::kRemovals, plan.Count, FRussian),
              TPrompts::pcYesNo) != TPrompts::paYes)
        return 0;
    if (BeforeReplacing) BeforeReplacing();
    {
        const TBusyScope busy(P);
        M.BeginUpdate();
        struct TEnd {
            TDudiRiri& M;
            ~TEnd() { M.EndUpdate(); }
        } end{M};
        ApplyReplaceAll(M, search, plan, S.ReplaceText);
        M.SetSelStart(std::min(remembered, M.CharCount()));
    }
    M.KeepCaretInView();
    P.ShowMessage(CountText(find_texts::kReplaced, plan.Count, FRussian));
    return plan.Count;
}

std::int64_t ReplaceAllOccurrences(TDudiRiri& M, const TSearchState& S, TFindRange Range) {
    if (S.SearchText.empty()) return 0;
    const TTextRange r = ReplaceAllRange(M, Range);
    const TStoreSearch search(M.Pars, S.SearchText, S.MatchCase);
    return ApplyReplaceAll(M, search, PlanReplace(search, r.Start, r.Start + r.Length, S.WholeWord), S.ReplaceText);
}

}  // namespace tarvex
