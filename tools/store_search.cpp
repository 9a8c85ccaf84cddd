#include "tools/store_search.h"

#include <algorithm>

namespace tarvex {

TStoreSearch::TStoreSearch(const TParagraphsList& L, std::string_view Text, bool MatchCase)
    : L(L), FPattern(Text, MatchCase) {
    const std::string& t = FPattern.Text();
    std::size_t cr = t.find('\r');
    FBreaks = cr != std::string::npos;
    if (!FBreaks) {
        FLeadingLf = !t.empty() && t[0] == '\n';
        return;
    }
    FParts.push_back({0, cr});
    for (;;) {
        const std::size_t start = cr + 1;
        const std::size_t next = t.find('\r', start);
        const std::size_t end = next == std::string::npos ? t.size() : next;
        if (start < end && t[start] == '\n') {
            FParts.push_back({start + 1, end - start - 1});
        } else if (start == end && next == std::string::npos) {
            // The text ends with its CR: whatever follows the break matches.
            FParts.push_back({start, 0});
            FEndsWithCr = true;
        } else {
            // Every CR of the text is followed by an LF.
            FImpossible = true;
        }
        if (next == std::string::npos) break;
        cr = next;
    }
}

std::int32_t TStoreSearch::ParAt(TPos P) const { return L.ParagraphAt(P); }

unsigned char TStoreSearch::CharAt(TPos P) const {
    const std::int32_t p = ParAt(P);
    const ParInfo& a = L.At(p);
    const TPos off = P - L.StartPos(p);
    if (off < a.Len()) return static_cast<unsigned char>(a.Text()[off]);
    return off == a.Len() ? 13 : 10;
}

bool TStoreSearch::LfMatchAt(std::int32_t P) const {
    if (P + 1 >= L.Count()) return false;
    const ParInfo& b = L.At(P + 1);
    const std::size_t rest = FPattern.Size() - 1;
    return static_cast<std::size_t>(b.Len()) >= rest && (rest == 0 || FPattern.EqualAt(b.Text(), 1, rest));
}

bool TStoreSearch::BreakMatchAt(std::int32_t P) const {
    const ParInfo& a = L.At(P);
    const std::size_t head = FParts[0].Size;
    if (static_cast<std::size_t>(a.Len()) < head) return false;
    if (head > 0 && !FPattern.EqualAt(a.Text() + a.Len() - head, 0, head)) return false;
    const auto k = static_cast<std::int32_t>(FParts.size()) - 1;
    if (P + k >= L.Count()) return false;
    for (std::int32_t i = 1; i < k; ++i) {
        const ParInfo& q = L.At(P + i);
        const TPart& part = FParts[static_cast<std::size_t>(i)];
        if (static_cast<std::size_t>(q.Len()) != part.Size) return false;
        if (part.Size > 0 && !FPattern.EqualAt(q.Text(), part.Offset, part.Size)) return false;
    }
    if (FEndsWithCr) return true;
    const ParInfo& last = L.At(P + k);
    const TPart& part = FParts.back();
    return static_cast<std::size_t>(last.Len()) >= part.Size &&
           (part.Size == 0 || FPattern.EqualAt(last.Text(), part.Offset, part.Size));
}

TPos TStoreSearch::NextInParagraphs(TPos From, TPos To) const {
    const TPos m = Length();
    for (std::int32_t p = ParAt(From); p < L.Count(); ++p) {
        const ParInfo& a = L.At(p);
        const TPos s = L.StartPos(p);
        if (s >= To) break;
        const TPos limit = std::min<TPos>(a.Len(), To - s);
        const TPos from = std::max<TPos>(0, From - s);
        if (from <= limit) {
            const std::size_t at = FPattern.Find(std::string_view(a.Text(), static_cast<std::size_t>(limit)),
                                                 static_cast<std::size_t>(from));
            if (at != TFindPattern::npos) return s + static_cast<TPos>(at);
        }
        if (FLeadingLf) {
            const TPos c = s + a.Len() + 1;
            if (c >= From && c + m <= To && LfMatchAt(p)) return c;
        }
    }
    return -1;
}

TPos TStoreSearch::PrevInParagraphs(TPos From, TPos Before) const {
    for (std::int32_t p = ParAt(std::min(Before, L.TotalLen)); p >= 0; --p) {
        const ParInfo& a = L.At(p);
        const TPos s = L.StartPos(p);
        if (s + a.Len() + 1 < From) break;
        if (FLeadingLf) {
            const TPos c = s + a.Len() + 1;
            if (c >= From && c < Before && LfMatchAt(p)) return c;
        }
        const TPos before = std::min<TPos>(Before - s, a.Len() + 1);
        if (before <= 0) continue;
        const std::size_t at = FPattern.FindLast(a.View(), static_cast<std::size_t>(before));
        if (at != TFindPattern::npos) return s + static_cast<TPos>(at) >= From ? s + static_cast<TPos>(at) : -1;
    }
    return -1;
}

TPos TStoreSearch::NextAcrossBreaks(TPos From, TPos To) const {
    const TPos m = Length();
    const auto head = static_cast<TPos>(FParts[0].Size);
    for (std::int32_t p = ParAt(From); p < L.Count(); ++p) {
        // Candidates only grow with p: one that ends beyond To ends the search.
        const TPos c = ParEnd(p) - head;
        if (c + m > To) break;
        if (c >= From && c >= ParStart(p) && BreakMatchAt(p)) return c;
    }
    return -1;
}

TPos TStoreSearch::PrevAcrossBreaks(TPos From, TPos Before) const {
    const auto head = static_cast<TPos>(FParts[0].Size);
    for (std::int32_t p = ParAt(std::min(Before, L.TotalLen)); p >= 0; --p) {
        const TPos c = ParEnd(p) - head;
        if (ParEnd(p) < From) break;
        if (c >= Before || c < From || c < ParStart(p)) continue;
        if (BreakMatchAt(p)) return c;
    }
    return -1;
}

TPos TStoreSearch::Next(TPos From, TPos To) const {
    From = std::max<TPos>(From, 0);
    To = std::min(To, L.TotalLen);
    if (FPattern.Empty() || FImpossible || L.Count() == 0 || To - From < Length()) return -1;
    return FBreaks ? NextAcrossBreaks(From, To) : NextInParagraphs(From, To);
}

TPos TStoreSearch::Prev(TPos From, TPos Before) const {
    From = std::max<TPos>(From, 0);
    Before = std::min(Before, L.TotalLen - Length() + 1);
    if (FPattern.Empty() || FImpossible || L.Count() == 0 || Before <= From) return -1;
    return FBreaks ? PrevAcrossBreaks(From, Before) : PrevInParagraphs(From, Before);
}

bool TStoreSearch::WholeWordAt(TPos P, TPos From, TPos To) const {
    const TPos end = P + Length();
    const bool before = P <= From || IsWordSeparator(CharAt(P - 1));
    const bool after = end >= To || end >= L.TotalLen || IsWordSeparator(CharAt(end));
    return before && after;
}

std::int64_t TStoreSearch::Scan(TPos From, TPos To, bool WholeWord, const std::function<bool(TPos)>& OnMatch,
                                TPos StartAt) const {
    std::int64_t count = 0;
    for (TPos i = std::max(From, StartAt);;) {
        const TPos c = Next(i, To);
        if (c < 0) break;
        if (WholeWord && !WholeWordAt(c, From, To)) {
            i = c + 1;
            continue;
        }
        ++count;
        if (OnMatch && !OnMatch(c)) break;
        i = c + Length();
    }
    return count;
}

void AppendStoreText(const TParagraphsList& L, TPos From, TPos To, std::string& Out) {
    From = std::max<TPos>(From, 0);
    To = std::min(To, L.TotalLen);
    if (From >= To || L.Count() == 0) return;
    TPos pos = From;
    for (std::int32_t p = L.ParagraphAt(From); pos < To && p < L.Count(); ++p) {
        const ParInfo& a = L.At(p);
        const TPos s = L.StartPos(p), len = a.Len();
        if (pos - s < len) {
            const TPos n = std::min(len - (pos - s), To - pos);
            Out.append(a.Text() + (pos - s), static_cast<std::size_t>(n));
            pos += n;
        }
        if (pos < To && pos == s + len) {
            Out.push_back('\r');
            ++pos;
        }
        if (pos < To && pos == s + len + 1) {
            Out.push_back('\n');
            ++pos;
        }
    }
}

}  // namespace tarvex
