// A whole text handed to the store: its string becomes the paragraphs' load
// buffer (the CR of each break turns into the paragraph's NUL), and goes back
// out the same way while the paragraphs are untouched.

#include <algorithm>
#include <cstring>

#include "textstore/paragraphs_list.h"

namespace tarvex {

namespace {

// Calls F(End, Next) for every paragraph of T: its text ends at End, the next
// one starts at Next (the break is a CR, or a CR and an LF); the last
// paragraph ends at the end of T with Next == npos.
template <typename F>
void EachParagraph(const char* T, std::size_t N, F&& Each) {
    std::size_t start = 0;
    for (;;) {
        const void* cr = std::memchr(T + start, '\r', N - start);
        if (!cr) break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(cr) - T);
        start = at + 1 < N && T[at + 1] == '\n' ? at + 2 : at + 1;
        Each(at, start);
    }
    Each(N, std::string::npos);
}

}  // namespace

void TParagraphsList::AdoptText(std::string&& Text, bool TrimTrailing) {
    // The limits first: a refused text changes nothing.
    {
        std::int64_t count = 0;
        std::size_t start = 0;
        bool tooLong = false;
        EachParagraph(Text.data(), Text.size(), [&](std::size_t End, std::size_t Next) {
            tooLong = tooLong || static_cast<std::int64_t>(End - start) > MaxParLen;
            ++count;
            start = Next;
        });
        if (tooLong) throw ERiriError(kTextTooLong);
        if (count > MaxCount) throw ERiriError("Too many paragraphs: the text cannot be held");
    }
    Clear();
    // A short string may keep its text inside the object, which moves with it.
    if (Text.capacity() < 64) Text.reserve(64);
    TLoadBuffer b;
    b.Adopted = std::move(Text);
    b.Used = static_cast<std::int64_t>(b.Adopted.size());
    LoadBuffers.push_back(std::move(b));
    std::string& t = LoadBuffers.back().Adopted;
    char* base = t.data();
    TPos pos = 0;
    std::size_t start = 0;
    try {
        EachParagraph(base, t.size(), [&](std::size_t End, std::size_t Next) {
            std::int64_t len = static_cast<std::int64_t>(End - start);
            if (TrimTrailing)
                while (len > 0 && (base[start + len - 1] == ' ' || base[start + len - 1] == '\t')) --len;
            // An empty paragraph points nowhere, as an empty loaded one does:
            // the buffer's end is no text to keep the buffer for.
            Add(MakeParInfo(len ? base + start : nullptr, static_cast<std::int32_t>(len), 0), pos, Count());
            base[start + len] = 0;  // the CR, a trimmed blank, or the string's own NUL at its end
            pos += len + (Next != std::string::npos ? 2 : 0);
            start = Next;
        });
    } catch (...) {
        // Out of memory for the records: the string goes back as it came.
        if (!TrimTrailing) {
            // Untrimmed paragraphs lie end to end, each break a CR (now a NUL)
            // and maybe an LF.
            std::size_t at = 0;
            for (std::int32_t i = 0; i < Count() && at < t.size(); ++i) {
                const std::size_t end = at + static_cast<std::size_t>(At(i).Len());
                if (end >= t.size()) break;
                base[end] = '\r';
                at = end + 1 < t.size() && base[end + 1] == '\n' ? end + 2 : end + 1;
            }
            Text = std::move(t);
        }
        Clear();
        throw;
    }
    TotalLen = pos;
    Changing = 0;
    LineDelta = 0;
    LineCount = Count();
    DirtyFirstLine = 0;
    DirtyFirstPar = 0;
    DirtyLastPar = Count() - 1;
    ResetKeys();
    FormatNext = 0;
    FormatLast = Count();
}

bool TParagraphsList::ReleaseAdoptedText(std::string& Text) {
    if (LoadBuffers.size() != 1 || LoadBuffers[0].Buf.Data() || Count() == 0) return false;
    std::string& t = LoadBuffers[0].Adopted;
    char* base = t.data();
    const std::size_t n = t.size();
    // Every paragraph where adopting put it, each break a NUL and an LF.
    std::size_t at = 0;
    for (std::int32_t i = 0; i < Count(); ++i) {
        const ParInfo& p = At(i);
        if (p.OwnText() || (p.Len() ? p.Text() != base + at : p.Text() != nullptr)) return false;
        at += static_cast<std::size_t>(p.Len());
        if (i + 1 < Count()) {
            if (at + 1 >= n || base[at] != 0 || base[at + 1] != '\n') return false;
            at += 2;
        }
    }
    if (at != n) return false;
    at = 0;
    for (std::int32_t i = 0; i + 1 < Count(); ++i) {
        at += static_cast<std::size_t>(At(i).Len());
        base[at] = '\r';
        at += 2;
    }
    Text = std::move(t);
    Clear();
    return true;
}

}  // namespace tarvex
