#include "app/word_select.h"

#include <algorithm>

#include "app/text_convert.h"
#include "app/text_walker.h"
#include "editor/dudi_riri.h"

namespace tarvex {

namespace {

bool IsBreak(unsigned char C) { return C == '\n' || C == '\v' || C == '\f' || C == '\r'; }
bool IsDigit(unsigned char C) { return C >= '0' && C <= '9'; }
bool EndsSentence(unsigned char C) { return C == '.' || C == '!' || C == '?' || C == 0x85; }
// What a sentence may end with: closing punctuation and quotes.
bool IsClosing(unsigned char C) {
    switch (C) {
        case '!': case '"': case ')': case '.': case '?': case ']': case '}':
        case 0x85: case 0x93: case 0x94: case 0xBB: return true;
        default: return false;
    }
}
// What lies between a sentence end and the next sentence.
bool IsLeadIn(unsigned char C) {
    if (C >= 0x88) return false;
    if (C <= 0x20 || C == 0x85) return true;
    switch (C) {
        case '!': case ')': case ',': case '.': case '/': case ':': case ';':
        case '=': case '>': case '?': case '\\': case '^': case '|': return true;
        default: return false;
    }
}

// The character the word search starts from: one before Caret, back over separators.
TPos WordSearchStart(TTextWalker& W, const TSeparators& Sep, TPos Caret) {
    TPos p = std::min(Caret, W.Size()) - 1;
    while (p >= 0 && Sep(W.At(p))) --p;
    return std::max<TPos>(p, 0);
}

}  // namespace

TSpan WordAt(TDudiRiri& M, TPos Caret) {
    TTextWalker w(M);
    const TSeparators sep(M.SeparatorSet());
    const TPos p = WordSearchStart(w, sep, Caret);
    TPos start = p, stop = p;
    while (stop < w.Size() && !sep(w.At(stop))) ++stop;
    if (stop == p) return {p, p};
    while (start > 0 && !sep(w.At(start - 1))) --start;
    return {start, stop};
}

TSpan SentenceAt(TDudiRiri& M, TPos Caret) {
    TTextWalker w(M);
    const TSeparators sep(M.SeparatorSet());
    const TPos n = w.Size();
    Caret = std::clamp<TPos>(Caret, 0, n);

    // Start: after the previous sentence end or blank line.
    const TPos from = WordSearchStart(w, sep, Caret);
    TPos start = 0;
    for (TPos k = from; k >= 0; --k) {
        const unsigned char c = w.At(k);
        if (EndsSentence(c) || (c == '\r' && k > 0 && w.At(k - 1) == '\n')) {
            start = k;
            break;
        }
    }
    while (start < n && IsLeadIn(w.At(start))) ++start;

    // End: a capital after a sentence end, a line break after one, or a blank line.
    TPos stop = n;
    bool ended = false;  // a full stop, "!", "?" or ellipsis was seen
    int breaks = 0;      // line breaks in a row (CR LF is one)
    for (TPos k = std::max(from, start); k < n; ++k) {
        const unsigned char c = w.At(k);
        if (IsBreak(c)) {
            if (!(c == '\n' && k > 0 && w.At(k - 1) == '\r')) ++breaks;
            if (ended || breaks >= 2) {
                stop = k + 1;
                break;
            }
            continue;
        }
        if (c > 0x20) breaks = 0;
        if (EndsSentence(c)) {
            ended = true;
        } else if (c == ',' || IsDigit(c) || IsLowerLetter(c)) {
            ended = false;
        } else if (IsUpperLetter(c) && ended) {
            stop = k;
            break;
        }
    }

    // Trim: no blanks or breaks at the end; after the last closing mark only
    // when nothing but punctuation follows it.
    while (stop > start && w.At(stop - 1) <= 0x20) --stop;
    for (TPos k = stop - 1; k >= start; --k) {
        const unsigned char c = w.At(k);
        if (IsClosing(c)) {
            stop = k + 1;
            break;
        }
        if (IsDigit(c) || IsLowerLetter(c) || IsUpperLetter(c) || c >= 0xC0) break;
    }
    return {start, std::max(stop, start)};
}

TPos NextWordStart(TDudiRiri& M, TPos Pos) {
    TTextWalker w(M);
    const TSeparators sep(M.SeparatorSet());
    Pos = std::clamp<TPos>(Pos, 0, w.Size());
    while (Pos < w.Size() && sep(w.At(Pos))) ++Pos;
    return Pos;
}

TSpan SelectionSpan(TDudiRiri& M) {
    const TPos a = M.SelStart(), b = M.SelStart() + M.SelLength();
    return {std::min(a, b), std::max(a, b)};
}

void SelectSpan(TDudiRiri& M, const TSpan& Span) {
    M.SetSelStart(Span.Stop);
    M.SetSelLength(-Span.Length());
}

void SelectWordAt(TDudiRiri& M, bool Sentence) {
    const TPos caret = M.SelStart();
    const TSpan s = Sentence ? SentenceAt(M, caret) : WordAt(M, caret);
    if (s.Length() == 0) return;  // nothing to select: the caret stays
    if (Sentence && s == SelectionSpan(M)) {
        M.SetSelStart(NextWordStart(M, s.Stop));
        return;
    }
    SelectSpan(M, s);
}

void SelectWordCycle(TDudiRiri& M) {
    const TSpan sel = SelectionSpan(M);
    if (sel.Length() == 0) {
        SelectWordAt(M, false);
        return;
    }
    const TSpan word = WordAt(M, M.SelStart());
    if (word == sel) {
        SelectWordAt(M, true);
        return;
    }
    bool sameText = word.Length() == sel.Length();
    if (sameText) {
        TTextWalker w(M);
        for (TPos i = 0; i < sel.Length() && sameText; ++i) sameText = w.At(word.Start + i) == w.At(sel.Start + i);
    }
    if (!sameText) {
        M.SetSelStart(NextWordStart(M, sel.Stop));
        return;
    }
    SelectWordAt(M, true);
}

}  // namespace tarvex
