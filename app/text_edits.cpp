#include "app/text_edits.h"

#include <algorithm>
#include <string>

#include "app/text_convert.h"
#include "app/text_walker.h"
#include "app/word_select.h"
#include "editor/dudi_riri.h"
#include "editor/text_views.h"

namespace tarvex {

namespace {

bool Writable(const TDudiRiri& M) { return !M.ReadOnly && !M.DisplayOnly; }

void Replace(TDudiRiri& M, TPos Start, TPos Length, std::string_view Text) {
    M.SetSelStart(Start);
    M.SetSelLength(Length);
    M.SetSelTextBuf(Text);
}

bool IsLineBreak(unsigned char C) { return C == '\r' || C == '\n'; }

// The caret's display line: its start position and length.
struct TLineSpan {
    TPos Start = 0;
    TPos Length = 0;
    bool LastOfParagraph = false;
    bool LastParagraph = false;
};

TLineSpan CaretLine(TDudiRiri& M) {
    TRiriNavigator at(&M);
    at.SetPos(M.SelStart());
    M.FormatThrough(at.ParNb());
    const LineInfo li = at.CurrentLine();
    const ParInfo& par = *at.Par();
    return {M.Pars.StartPos(at.ParNb()) + li.Start, li.Stop - li.Start, li.Stop >= par.Len(), at.ParNb() + 1 >= M.ParagraphCount()};
}

}  // namespace

bool DeleteWordAtCaret(TDudiRiri& M) {
    if (!Writable(M)) return false;
    const TSpan w = WordAt(M, M.SelStart());
    if (w.Length() == 0) return false;
    TTextWalker text(M);
    const TPos len = w.Length() + (text.At(w.Stop) == ' ' ? 1 : 0);
    Replace(M, w.Start, len, {});
    return true;
}

bool DeleteWordForward(TDudiRiri& M) {
    if (!Writable(M)) return false;
    TTextWalker text(M);
    const TSeparators sep(M.SeparatorSet());
    const TPos from = M.SelStart();
    TPos to = from;
    while (to < text.Size() && !sep(text.At(to))) ++to;
    while (to < text.Size() && sep(text.At(to))) ++to;
    if (to == from) return false;
    Replace(M, from, to - from, {});
    return true;
}

bool DeleteDisplayLine(TDudiRiri& M) {
    if (!Writable(M) || M.CharCount() == 0) return false;
    const TLineSpan l = CaretLine(M);
    TPos len = l.Length;
    if (l.LastOfParagraph && !l.LastParagraph) len += 2;
    if (len == 0) return false;
    Replace(M, l.Start, len, {});
    return true;
}

bool SwopTwoLetters(TDudiRiri& M) {
    if (!Writable(M)) return false;
    TTextWalker text(M);
    const TPos caret = M.SelStart();
    TPos first;
    const TSpan sel = SelectionSpan(M);
    if (sel.Length() != 0) {
        if (sel.Length() != 2) return false;
        first = sel.Start;
    } else {
        first = caret;
        // One character back; over a paragraph break that is its CR.
        if (first > 0) first -= first > 1 && text.At(first - 1) == '\n' && text.At(first - 2) == '\r' ? 2 : 1;
        if (text.At(first) == '\r') return false;
    }
    if (first + 2 > text.Size()) return false;
    const unsigned char a = text.At(first), b = text.At(first + 1);
    if (IsLineBreak(a) || IsLineBreak(b)) {
        M.SetSelStart(caret);
        return false;
    }
    if (a == b) {
        M.SetSelStart(caret);
        return false;
    }
    const char swapped[2] = {static_cast<char>(b), static_cast<char>(a)};
    Replace(M, first, 2, std::string_view(swapped, 2));
    M.SetSelStart(first + 1);
    return true;
}

std::int32_t DisplayLineCount(TDudiRiri& M) { return M.Lines().Count(); }

std::optional<std::int64_t> ParseLineNumber(std::string_view Text) {
    std::int64_t n = 0;
    bool digits = false;
    for (const char c : Text) {
        if (c >= '0' && c <= '9') {
            digits = true;
            n = std::min<std::int64_t>(n * 10 + (c - '0'), std::int64_t{1} << 40);
        } else if (c != ' ' && c != ',' && c != '\t' && c != '\xA0') {
            return std::nullopt;
        }
    }
    if (!digits || n <= 0) return std::nullopt;
    return n;
}

void GoToDisplayLine(TDudiRiri& M, std::int64_t Line) {
    const std::int32_t count = std::max(DisplayLineCount(M), 1);
    const auto index = static_cast<std::int32_t>(std::clamp<std::int64_t>(Line, 1, count) - 1);
    M.SetSelLine(index);
    const TLineSpan l = CaretLine(M);
    M.SetSelStart(l.Start);
    M.SetSelLength(l.Length);
}

}  // namespace tarvex
