#include "tools/bookmark_commands.h"

#include <algorithm>

#include "editor/dudi_riri.h"
#include "tools/line_text.h"

namespace tarvex {

TPos BookmarkPositionAtCaret(TDudiRiri& M) {
    const TPos len = M.SelLength();
    return std::max<TPos>(0, len < 0 ? M.SelStart() + len : M.SelStart());
}

std::string CaretLineLabel(TDudiRiri& M) {
    TRiriNavigator& caret = M.CaretNav();
    M.FormatThrough(caret.ParNb());
    std::string line = caret.LineText();
    if (static_cast<TPos>(line.size()) > kMaxBookmarkLabel) line.resize(static_cast<std::size_t>(kMaxBookmarkLabel));
    return std::string(TrimBlanks(line));
}

std::string SelectionLabel(TDudiRiri& M) {
    const TPos len = M.SelLength();
    if (len == 0) return CaretLineLabel(M);
    TRiriNavigator at(&M);
    at.SetPos(BookmarkPositionAtCaret(M));
    const std::string text = at.GetText(std::min<TPos>(len < 0 ? -len : len, kMaxBookmarkLabel));
    std::string label;
    label.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            label += ' ';
            ++i;
        } else {
            label += text[i];
        }
    }
    return std::string(TrimBlanks(label));
}

bool AddBookmarkAtCaret(TDudiRiri& M, TBookmarks& B, std::int64_t MarkCount) {
    return B.Add(BookmarkPositionAtCaret(M), SelectionLabel(M), MarkCount);
}

bool AddCurrentPosition(TDudiRiri& M, TBookmarks& B, std::int64_t MarkCount) {
    return B.Add(std::max<TPos>(0, M.SelStart()), CaretLineLabel(M), MarkCount);
}

void GoToPosition(TDudiRiri& M, TPos P) {
    M.SetSelStart(std::clamp<TPos>(P, 0, M.CharCount()));
    M.KeepCaretInView();
}

void GoToParagraph(TDudiRiri& M, std::int64_t N) {
    const std::int64_t last = M.ParagraphCount();
    M.SetSelPar(static_cast<std::int32_t>(std::clamp<std::int64_t>(N, 1, std::max<std::int64_t>(last, 1)) - 1));
    M.KeepCaretInView();
}

void GoToLastBookmark(TDudiRiri& M, const TBookmarks& B, TPos FirstPos) { GoToPosition(M, B.LastPosition(FirstPos)); }

void SelectToLastBookmark(TDudiRiri& M, const TBookmarks& B, TPos FirstPos) {
    const TPos caret = M.SelStart();
    const TPos target = std::clamp<TPos>(B.LastPosition(FirstPos), 0, M.CharCount());
    M.SetSelStart(caret);
    M.SetSelLength(target - caret);
    M.KeepCaretInView();
}

bool GoToNextBookmark(TDudiRiri& M, const TBookmarks& B, bool Backward) {
    const std::optional<TPos> p = B.NextPosition(M.SelStart(), Backward);
    if (!p) return false;
    GoToPosition(M, *p);
    return true;
}

}  // namespace tarvex
