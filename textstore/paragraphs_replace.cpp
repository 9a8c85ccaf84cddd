// ReplaceText: the operation under every edit of the text.

#include <algorithm>
#include <cstring>

#include "textstore/lines_list.h"
#include "textstore/navigator.h"
#include "textstore/paragraphs_list.h"
#include "textstore/static_format.h"
#include "textstore/text_buffer.h"

namespace tarvex {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void TrimRight(std::string_view& s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
}

// Pieces of Text between paragraph breaks: a CR, or a CR with the LF after it.
// A lone LF is an ordinary character.
std::vector<std::string_view> SplitAtCR(std::string_view Text) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cr = Text.find('\r', start);
        if (cr == std::string_view::npos) break;
        pieces.push_back(Text.substr(start, cr - start));
        start = cr + 1;
        if (start < Text.size() && Text[start] == '\n') ++start;
    }
    pieces.push_back(Text.substr(start));
    return pieces;
}

// Frees buffers allocated for new paragraphs unless they were handed over.
struct TBufferGuard {
    std::vector<char*> Bufs;
    ~TBufferGuard() {
        for (char* b : Bufs) FreeTextBuffer(b);
    }
};

}  // namespace

void EditParText(ParInfo& Par, std::int32_t O1, std::int32_t O2, std::string_view A, std::string_view B) {
    const std::int64_t len = Par.Len();
    const std::int64_t n = static_cast<std::int64_t>(A.size() + B.size());
    const std::int64_t newLen = len - (O2 - O1) + n;
    char* old = Par.Text();
    auto copyInto = [&](char* dst) {
        if (O1 > 0) std::memcpy(dst, old, static_cast<std::size_t>(O1));
        if (!A.empty()) std::memcpy(dst + O1, A.data(), A.size());
        if (!B.empty()) std::memcpy(dst + O1 + A.size(), B.data(), B.size());
        if (len > O2) std::memcpy(dst + O1 + n, old + O2, static_cast<std::size_t>(len - O2));
        dst[newLen] = 0;
    };
    auto moveTo = [&](char* nb) {
        copyInto(nb);
        if (Par.OwnText()) FreeTextBuffer(old);
        Par.SetText(nb);
        Par.Flags |= pfOwnText;
    };
    if (!Par.OwnText()) {
        // Text in a load buffer is never changed in place.
        moveTo(AllocTextBuffer(GrownSize(newLen)));
        return;
    }
    const std::int64_t size = TextBufferSize(old);
    if (newLen >= size) {
        moveTo(AllocTextBuffer(GrownSize(newLen)));
    } else if (newLen + newLen / 8 > size) {
        std::memmove(old + O1 + n, old + O2, static_cast<std::size_t>(len - O2 + 1));
        if (!A.empty()) std::memcpy(old + O1, A.data(), A.size());
        if (!B.empty()) std::memcpy(old + O1 + A.size(), B.data(), B.size());
    } else if (newLen == 0) {
        FreeTextBuffer(old);
        Par.SetText(nullptr);
        Par.Flags &= static_cast<std::uint8_t>(~pfOwnText);
    } else {
        moveTo(AllocTextBuffer(GrownSize(newLen)));
    }
}

bool TParagraphsList::InOwnBuffers(std::string_view Text, std::int32_t P1, std::int32_t P2) const {
    const char* a = Text.data();
    const char* b = Text.data() + Text.size();
    for (std::int32_t q = P1; q <= P2; ++q) {
        const ParInfo& p = At(q);
        if (p.OwnText() && p.Text() && a <= p.Text() + p.Len() && p.Text() < b) return true;
    }
    return false;
}

void TParagraphsList::ReleaseUnusedLoadBuffers() {
    if (LoadBuffers.empty()) return;
    std::vector<std::size_t> order(LoadBuffers.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::size_t x, std::size_t y) { return LoadBuffers[x].Begin() < LoadBuffers[y].Begin(); });
    std::vector<char> used(LoadBuffers.size(), 0);
    for (std::int32_t q = 0; q < Count(); ++q) {
        const ParInfo& p = At(q);
        if (p.OwnText() || !p.Text()) continue;
        // The last buffer starting at or before the text holds it.
        const auto it = std::upper_bound(order.begin(), order.end(), p.Text(),
                                         [&](const char* t, std::size_t i) { return t < LoadBuffers[i].Begin(); });
        if (it == order.begin()) continue;
        const TLoadBuffer& b = LoadBuffers[*(it - 1)];
        if (p.Text() < b.Begin() + b.Size()) used[*(it - 1)] = 1;
    }
    std::vector<TLoadBuffer> kept;
    for (std::size_t i = 0; i < LoadBuffers.size(); ++i)
        if (used[i]) kept.push_back(std::move(LoadBuffers[i]));
    LoadBuffers = std::move(kept);
}

TReplaceResult TParagraphsList::ReplaceText(std::string_view NewText, TRiriNavigator& FromNav, TRiriNavigator& ToNav,
                                            bool BalanceCodes, bool TrimTrailing, std::string* Adopt) {
    std::int32_t p1 = FromNav.ParNb(), o1 = FromNav.ParOffset();
    std::int32_t p2 = ToNav.ParNb(), o2 = ToNav.ParOffset();
    if (FromNav.Pos() > ToNav.Pos()) {
        std::swap(p1, p2);
        std::swap(o1, o2);
    }
    // A position between the CR and the LF of a break: an insertion goes before
    // the break, a range takes the whole break.
    if (p1 == p2 && o1 == o2) {
        o1 = o2 = std::min(o1, At(p1).Len());
    } else {
        o1 = std::min(o1, At(p1).Len());
        if (o2 > At(p2).Len()) {
            if (p2 + 1 < Count()) {
                ++p2;
                o2 = 0;
            } else {
                o2 = At(p2).Len();
            }
        }
    }

    // The pieces must not lie in a buffer the edit changes, and codes may be
    // appended: a copy then, unless the text is handed over.
    const bool balance = BalanceCodes && StaticFormat;
    std::string copy;
    std::string_view text = NewText;
    if (Adopt) {
        if (balance) *Adopt += BalancingCodes(*Adopt);
        text = *Adopt;
    } else if (balance || InOwnBuffers(NewText, p1, p2)) {
        copy.assign(NewText);
        if (balance) copy += BalancingCodes(copy);
        text = copy;
    }
    std::vector<std::string_view> pieces = SplitAtCR(text);
    const auto k = static_cast<std::int32_t>(pieces.size() - 1);

    std::int32_t o1t = o1;  // the start after blanks before it were cut
    if (TrimTrailing) {
        for (std::int32_t j = 0; j < k; ++j) TrimRight(pieces[j]);
        if (o2 >= At(p2).Len()) TrimRight(pieces[k]);
        if (k >= 1 && pieces[0].empty()) {
            const char* t = At(p1).Text();
            while (o1t > 0 && IsBlank(t[o1t - 1])) --o1t;
        }
    }

    // Limits first, so that a refused edit changes nothing.
    std::int64_t inserted = 0;
    for (auto& p : pieces) inserted += static_cast<std::int64_t>(p.size());
    const std::int64_t tailLen = At(p2).Len() - o2;
    if (k == 0) {
        if (o1t + inserted + tailLen > MaxParLen) throw ERiriError(kTextTooLong);
    } else {
        if (o1t + static_cast<std::int64_t>(pieces[0].size()) > MaxParLen ||
            static_cast<std::int64_t>(pieces[k].size()) + tailLen > MaxParLen)
            throw ERiriError(kTextTooLong);
        for (auto& p : pieces)
            if (static_cast<std::int64_t>(p.size()) > MaxParLen) throw ERiriError(kTextTooLong);
        if (static_cast<std::int64_t>(Count()) + k - (p2 - p1) > MaxCount)
            throw ERiriError("Too many paragraphs: the text cannot be held");
    }

    TReplaceResult r;
    r.FirstPar = p1;
    r.LastOldPar = p2;
    r.LastNewPar = p1 + k;
    r.OldFrom = StartPos(p1) + o1;
    r.OldTo = StartPos(p2) + o2;
    r.NewFrom = StartPos(p1) + o1t;
    r.NewEnd = r.NewFrom + inserted + 2 * static_cast<TPos>(k);

    Changing = 1;
    NoteKeysEdit(p1, p2, p1 + k);
    MarkDirty(p1, LineOfOffset(At(p1), o1t), p2);

    // Whole new paragraphs point into a large handed-over text, which the
    // store then keeps (a small one is copied as usual).
    const bool large = Adopt && Adopt->size() >= std::max<std::size_t>(AdoptMinSize, 32);
    const bool inPlace = large && k >= 2;
    if (k == 0 && p1 == p2)
        ReplaceInParagraph(r, p1, o1t, o2, pieces[0]);
    else
        ReplaceAcrossParagraphs(r, p1, o1t, p2, o2, pieces, inPlace);
    if (large) {
        if (inPlace) {
            TLoadBuffer b;
            b.Adopted = std::move(*Adopt);
            b.Used = static_cast<std::int64_t>(b.Adopted.size());
            LoadBuffers.push_back(std::move(b));
        }
        ReleaseUnusedLoadBuffers();
    }

    FromNav.SetResolved(p1, o1t, r.NewFrom);
    const std::int32_t endOffset = k == 0 ? o1t + static_cast<std::int32_t>(inserted)
                                          : static_cast<std::int32_t>(pieces[k].size());
    ToNav.SetResolved(p1 + k, endOffset, r.NewEnd);
    return r;
}

void TParagraphsList::ReplaceInParagraph(TReplaceResult& R, std::int32_t P, std::int32_t O1, std::int32_t O2,
                                         std::string_view Piece) {
    ParInfo& par = At(P);
    const std::int32_t len = par.Len();
    const auto n = static_cast<std::int32_t>(Piece.size());
    const std::int32_t delta = n - (O2 - O1);
    const std::int32_t newLen = len + delta;
    const std::int32_t editLine = LineOfOffset(par, O1);
    if (!par.HasExtra() && newLen >= kShortLenLimit) par.MakeExtra();
    EditParText(par, O1, O2, Piece);
    par.SetLen(newLen);

    const bool highlighted = DynCount(par) > 0 || StartState(par) != 0;
    if (DynCount(par) > 0) {
        // Change points inside the replaced range go; those behind it move.
        auto& d = DynForWrite(par);
        const auto before = d.size();
        d.erase(std::remove_if(d.begin(), d.end(),
                               [&](const TDynPoint& x) { return x.Offset >= O1 && x.Offset < O2; }),
                d.end());
        R.AttrsRemoved = d.size() != before;
        for (auto& x : d)
            if (x.Offset >= O2) x.Offset += delta;
    }
    if (par.HasExtra() || highlighted) {
        const TDynView d = Dyn(par);
        // Line records behind the edit point move with the text.
        auto shift = [&](std::int32_t x) { return x <= O1 ? x : (x < O2 ? O1 + n : x + delta); };
        TLinesList lines;
        lines.Par = &par;
        const std::int32_t count = par.LineCount();
        for (std::int32_t i = editLine; i < count; ++i) {
            LineInfo& l = *lines.Line(i);
            if (i > editLine) l.Start = shift(l.Start);
            l.Stop = shift(l.Stop);
            l.JustifyFrom = shift(l.JustifyFrom);
            l.DynIndex = d.CountBelow(l.Start);
        }
        LinesAdjusted = true;
        AdjustedEnd = O1 + n;
    }

    R.Delta = delta;
    R.LinesAdded = 0;
    R.Structural = false;
    AdjustFormatRange(P, P, 0);
    ShiftStart(P + 1, delta);
    TotalLen += delta;
}

void TParagraphsList::ReplaceAcrossParagraphs(TReplaceResult& R, std::int32_t P1, std::int32_t O1, std::int32_t P2,
                                              std::int32_t O2, std::vector<std::string_view>& Pieces, bool InPlace) {
    const auto k = static_cast<std::int32_t>(Pieces.size() - 1);
    const std::int32_t m = P2 - P1;
    const std::int32_t D = k - m;
    ParInfo& first = At(P1);
    const std::string_view tail = At(P2).View().substr(static_cast<std::size_t>(O2));
    const auto tailLen = static_cast<std::int32_t>(tail.size());
    const TPos start1 = StartPos(P1);
    const TPos oldSpan = StartPos(P2) + At(P2).Len() - start1;
    const std::int32_t firstLine = FirstLine(P1);
    const std::uint8_t firstStyle = first.FirstLineInfo().Style;

    std::int32_t oldLines = 0;
    for (std::int32_t q = P1; q <= P2; ++q) oldLines += At(q).LineCount();

    // The highlighting state at the start carries into the new paragraphs.
    std::uint32_t attr = StartState(first);
    {
        const TDynView d = Dyn(first);
        const std::int32_t idx = d.CountBelow(O1) - 1;
        if (idx >= 0) attr = (States[d.State(idx)].Flags & dfOwn) ? d.State(idx) : 0;
        // Entries at or behind the start of the first paragraph are replaced,
        // except those in the kept tail of the same paragraph.
        for (std::int32_t i = idx + 1; i < d.size(); ++i)
            if (P1 != P2 || d.Offset(i) < O2) R.AttrsRemoved = true;
    }
    std::uint8_t style = StaticFormat ? FoldStyle(firstStyle, first.View().substr(0, static_cast<std::size_t>(O1))) : 0;

    // The change points of the tail move with it.
    TDynInfoArray tailDyn;
    for (std::int32_t q = P1 + 1; q <= P2; ++q) {
        const TDynView d = Dyn(At(q));
        for (std::int32_t i = 0; i < d.size(); ++i) {
            if (q == P2 && d.Offset(i) >= O2)
                tailDyn.push_back({d.Offset(i) - O2, d.State(i)});
            else
                R.AttrsRemoved = true;
        }
    }
    if (P1 == P2) {
        const TDynView d = Dyn(first);
        for (std::int32_t i = 0; i < d.size(); ++i)
            if (d.Offset(i) >= O2) tailDyn.push_back({d.Offset(i) - O2, d.State(i)});
    }

    // Buffers of the new paragraphs 1..k, made before anything changes.
    TBufferGuard guard;
    std::vector<char*> inPlace;  // the paragraphs' texts in the handed-over buffer
    std::vector<std::int32_t> lens(static_cast<std::size_t>(k + 1));
    for (std::int32_t j = 1; j <= k; ++j) {
        const std::string_view piece = Pieces[static_cast<std::size_t>(j)];
        const std::int32_t len = static_cast<std::int32_t>(piece.size()) + (j == k ? tailLen : 0);
        if (InPlace && j < k) {
            inPlace.push_back(const_cast<char*>(piece.data()));
            guard.Bufs.push_back(nullptr);
            lens[static_cast<std::size_t>(j)] = len;
            continue;
        }
        inPlace.push_back(nullptr);
        char* b = AllocTextBuffer(GrownSize(len));
        guard.Bufs.push_back(b);
        std::memcpy(b, piece.data(), piece.size());
        if (j == k && tailLen > 0) std::memcpy(b + piece.size(), tail.data(), tail.size());
        b[len] = 0;
        lens[static_cast<std::size_t>(j)] = len;
    }
    // Once nothing can fail: each piece's CR (or a trimmed blank) becomes its NUL.
    for (std::size_t j = 0; j < inPlace.size(); ++j)
        if (inPlace[j]) inPlace[j][Pieces[j + 1].size()] = 0;

    // The first paragraph: its head, the first piece, and the tail when no break was inserted.
    const std::int32_t len0 = O1 + static_cast<std::int32_t>(Pieces[0].size()) + (k == 0 ? tailLen : 0);
    lens[0] = len0;
    if (!first.HasExtra() && len0 >= kShortLenLimit) first.MakeExtra();
    if (k == 0)
        EditParText(first, O1, first.Len(), Pieces[0], tail);
    else
        EditParText(first, O1, first.Len(), Pieces[0]);
    first.SetLen(len0);
    if (DynCount(first) > 0 || (k == 0 && !tailDyn.empty())) {
        auto& d = DynForWrite(first);
        d.resize(static_cast<std::size_t>(Dyn(first).CountBelow(O1)));
        if (k == 0)
            for (TDynPoint x : tailDyn) {
                x.Offset += O1 + static_cast<std::int32_t>(Pieces[0].size());
                d.push_back(x);
            }
    }
    first.SetLineCount(1);
    LineInfo l1;
    l1.Start = 0;
    l1.Stop = len0;
    l1.JustifyFrom = len0;
    l1.Style = firstStyle;
    first.SetFirstLineInfo(l1);
    first.Flags &= static_cast<std::uint8_t>(pfHasExtra | pfOwnText | pfKeysApplied | pfKeywordsApplied | 0xC0);

    // The replaced paragraphs give up their data; the records are moved in the blocks.
    for (std::int32_t q = P1 + 1; q <= P2; ++q) FreeRecord(At(q));
    if (k > m)
        InsertRecords(P1 + 1 + m, k - m);
    else if (k < m)
        DeleteRecords(P1 + 1 + k, m - k);

    TPos pos = start1 + len0 + 2;
    for (std::int32_t j = 1; j <= k; ++j) {
        const std::int32_t len = lens[static_cast<std::size_t>(j)];
        char* shared = inPlace[static_cast<std::size_t>(j - 1)];
        ParInfo p = shared ? MakeParInfo(shared, len, 0)
                           : MakeParInfo(guard.Bufs[static_cast<std::size_t>(j - 1)], len, pfOwnText);
        guard.Bufs[static_cast<std::size_t>(j - 1)] = nullptr;
        At(P1 + j) = p;
        SetStartPos(P1 + j, pos);
        SetFirstLine(P1 + j, firstLine + j);
        ParInfo& rec = At(P1 + j);
        if (attr != 0) SetStartState(rec, attr);
        if (StaticFormat) {
            style = FoldStyle(style, Pieces[static_cast<std::size_t>(j - 1)]);
            if (style != 0) rec.MakeExtra().FirstLineInfo.Style = style;
        }
        if (j == k && !tailDyn.empty()) {
            auto& d = DynForWrite(rec);
            for (TDynPoint x : tailDyn) {
                x.Offset += static_cast<std::int32_t>(Pieces[static_cast<std::size_t>(k)].size());
                d.push_back(x);
            }
        }
        pos += len + 2;
    }

    TPos newSpan = 2 * static_cast<TPos>(k);
    for (std::int32_t len : lens) newSpan += len;
    R.Delta = newSpan - oldSpan;
    R.LinesAdded = (k + 1) - oldLines;
    R.Structural = true;

    AdjustFormatRange(P1, P2, D);
    // The dirty range follows the text and covers every resulting paragraph.
    if (DirtyLastPar >= P2) DirtyLastPar += D;
    DirtyLastPar = std::max(DirtyLastPar, P1 + k);
    ShiftBoth(P1 + k + 1, R.Delta, R.LinesAdded);
    TotalLen += R.Delta;
    LineCount += R.LinesAdded;
    LineDelta += R.LinesAdded;
}

}  // namespace tarvex
