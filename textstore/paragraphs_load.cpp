// Loading a stream into the paragraph list. The bytes are read 65,500 at a
// time into large load buffers and scanned while they are still in the cache;
// each paragraph's text stays where it was read (the break byte after it
// becomes its NUL), so loading copies no paragraph text. A buffer holds the
// whole stream when its size is known; otherwise buffers grow geometrically
// and only the unfinished paragraph at the end of a full buffer moves on.

#include <algorithm>
#include <chrono>
#include <cstring>

#include "textstore/paragraphs_list.h"
#include "textstore/scan.h"
#include "textstore/scope_guard.h"
#include "textstore/static_format.h"

namespace tarvex {

namespace {
constexpr std::int64_t kReadSize = 65500;
// First buffer when the stream cannot tell its size (a pipe); later ones double.
constexpr std::int64_t kFirstUnknown = std::int64_t(1) << 20;
constexpr std::int64_t kMaxGrowth = std::int64_t(256) << 20;
}  // namespace

class TParagraphLoader {
public:
    TParagraphLoader(TParagraphsList& List, TStream& Stream, char NullReplace, std::uint32_t ProgressInterval,
                     const TProgressEvent& OnProgress, TRiriLineBreak& FoundBreak, bool TrimTrailing)
        : L(List), S(Stream), NullReplace(NullReplace), Interval(ProgressInterval), OnProgress(OnProgress),
          FoundBreak(FoundBreak), Trim(TrimTrailing), StaticFormat(List.StaticFormat) {}

    void Run() {
        try {
            Scan();
        } catch (...) {
            // The paragraphs read so far remain, with consistent bookkeeping.
            if (L.Count() == 0 || BreakPending) StoreEmptyLast();
            Finish();
            throw;
        }
        Finish();
    }

private:
    using Clock = std::chrono::steady_clock;

    TParagraphsList& L;
    TStream& S;
    const char NullReplace;
    const std::uint32_t Interval;
    const TProgressEvent& OnProgress;
    TRiriLineBreak& FoundBreak;
    const bool Trim;
    const bool StaticFormat;

    char* Buf = nullptr;         // the current load buffer
    std::int64_t Cap = 0;        // its room for data (one byte more is kept for a final NUL)
    std::int64_t DataLen = 0;    // bytes of data in it
    bool Eof = false;
    TPos Total = 0;              // position of the next paragraph
    std::int64_t ReadTotal = 0;  // bytes read from the stream
    std::int64_t Remaining = -1; // bytes the stream still holds, -1 when unknown
    std::uint8_t Style = 0;      // running static style
    bool BreakPending = false;   // a break was stored whose following paragraph is not yet
    Clock::time_point Deadline;
    // Display lines beyond one per paragraph: what layout added while the
    // progress handler ran (it may paint what is loaded).
    std::int32_t ExtraLines = 0;

    // Reads up to Want bytes behind the data; sets Eof when the stream ends.
    std::int64_t Fill(std::int64_t Want) {
        std::int64_t got = 0;
        while (got < Want) {
            const std::int64_t n = S.Read(Buf + DataLen + got, Want - got);
            if (n <= 0) {
                Eof = true;
                break;
            }
            got += n;
        }
        if (NullReplace != 0) {
            char* p = Buf + DataLen;
            char* end = p + got;
            while ((p = static_cast<char*>(std::memchr(p, 0, static_cast<std::size_t>(end - p)))) != nullptr)
                *p++ = NullReplace;
        }
        ReadTotal += got;
        if (Remaining > 0) Remaining = std::max<std::int64_t>(0, Remaining - got);
        DataLen += got;
        return got;
    }

    void Store(char* Text, std::int64_t Len, std::uint8_t StartStyle, bool EndedByBreak) {
        if (Trim)
            while (Len > 0 && (Text[Len - 1] == ' ' || Text[Len - 1] == '\t')) --Len;
        if (Len > L.MaxParLen) throw ERiriError(kTextTooLong);
        if (L.Count() >= L.MaxCount) throw ERiriError("Too many paragraphs: the text cannot be held");
        Text[Len] = 0;
        ParInfo p = MakeParInfo(Text, static_cast<std::int32_t>(Len), 0);
        if (StartStyle != 0) p.MakeExtra().FirstLineInfo.Style = StartStyle;
        {
            TScopeFail release([&] { p.FreeData(); });
            L.Add(p, Total, L.Count() + ExtraLines);
        }
        Total += Len + (EndedByBreak ? 2 : 0);
        BreakPending = EndedByBreak;
        if (OnProgress && (L.Count() & 15) == 0 && Clock::now() >= Deadline) {
            Publish();
            OnProgress(L);
            ExtraLines = L.LineCount - L.Count();
            Deadline = Clock::now() + std::chrono::milliseconds(Interval);
        }
    }

    // The paragraphs read so far read as a whole text, ready to be laid out
    // and painted; the break behind the last one belongs to what follows.
    void Publish() {
        L.TotalLen = Total - (BreakPending ? 2 : 0);
        L.LineCount = L.Count() + ExtraLines;
        L.DirtyFirstLine = 0;
        L.DirtyFirstPar = 0;
        L.DirtyLastPar = -1;
        L.ResetKeys();
        L.FormatNext = L.Count();
        L.FormatLast = -1;
    }

    void StoreEmptyLast() {
        L.Add(MakeParInfo(nullptr, 0, 0), Total, L.Count());
        BreakPending = false;
    }

    void NewBuffer(std::int64_t Room) {
        TLoadBuffer b;
        b.Buf = TLargeBuffer(static_cast<std::size_t>(Room + 1));
        Buf = b.Buf.Data();
        Cap = Room;
        DataLen = 0;
        L.LoadBuffers.push_back(std::move(b));
    }

    // The buffer is full: the unfinished paragraph [Start, DataLen) moves to a new one.
    void NextBuffer(std::int64_t& Start, std::int64_t& I) {
        const std::int64_t k = DataLen - Start;
        if (k > L.MaxParLen) throw ERiriError(kTextTooLong);
        L.LoadBuffers.back().Used = Start;
        // Geometric growth keeps even a paragraph of hundreds of MB linear to load.
        const std::int64_t room =
            std::max({k + kReadSize, k + std::max<std::int64_t>(Remaining, 0) + 1, std::min(2 * Cap, kMaxGrowth), 2 * k});
        const char* old = Buf;
        NewBuffer(room);
        std::memcpy(Buf, old + Start, static_cast<std::size_t>(k));
        DataLen = k;
        I -= Start;
        Start = 0;
    }

    void Scan() {
        if (OnProgress) Deadline = Clock::now() + std::chrono::milliseconds(Interval);
        const TPos streamStart = S.Position();
        const std::int64_t size = S.Size();
        Remaining = size >= 0 ? std::max<std::int64_t>(0, size - streamStart) : -1;
        // One byte more than the stream holds, so that the end is seen without a second buffer.
        NewBuffer(Remaining >= 0 ? Remaining + 1 : kFirstUnknown);

        std::int64_t parStart = 0, i = 0;
        std::uint8_t parStyle = 0;
        const TByteClass cls = MakeBreakClass(StaticFormat);
        for (;;) {
            if (!Eof) {
                if (DataLen == Cap) NextBuffer(parStart, i);
                Fill(std::min(kReadSize, Cap - DataLen));
            }
            const auto* u = reinterpret_cast<const unsigned char*>(Buf);
            for (;;) {
                i = StaticFormat ? FindInClass(u, i, DataLen, cls) : FindBreakOrNul(u, i, DataLen);
                if (i >= DataLen) break;
                const unsigned char c = u[i];
                if (c == 13 || c == 10) {
                    // A break at the end of the data may be the first half of a pair.
                    if (i + 1 == DataLen && !Eof) break;
                    Store(Buf + parStart, i - parStart, parStyle, true);
                    FoundBreak = c == 13 ? pbCR : pbLF;
                    ++i;
                    if (i < DataLen && u[i] == (c ^ 7)) {  // CR LF or LF CR: one break
                        Buf[i++] = 0;
                        FoundBreak = c == 13 ? pbCRLF : pbLFCR;
                    }
                    parStart = i;
                    parStyle = Style;
                } else if (c == 0) {
                    // The text ends at the NUL; the stream is left just there.
                    Store(Buf + parStart, i - parStart, parStyle, false);
                    L.LoadBuffers.back().Used = i;
                    try {
                        S.Seek(streamStart + ReadTotal - (DataLen - i));
                    } catch (const EStreamError&) {
                        // A pipe cannot be positioned; nothing depends on it.
                    }
                    return;
                } else {
                    Style ^= StyleCodeBit(c);
                    ++i;
                }
            }
            if (Eof) {
                Buf[DataLen] = 0;
                Store(Buf + parStart, DataLen - parStart, parStyle, false);
                L.LoadBuffers.back().Used = DataLen;
                return;
            }
        }
    }

    void Finish() {
        L.Changing = 0;
        L.LineDelta = 0;
        L.TotalLen = L.Count() > 0 ? Total : 0;
        L.DirtyFirstLine = 0;
        L.DirtyFirstPar = 0;
        L.DirtyLastPar = L.Count() - 1;
        L.ResetKeys();
        L.FormatNext = 0;
        L.FormatLast = L.Count();
        L.LineCount = L.Count() + ExtraLines;
    }
};

void TParagraphsList::LoadFromStream(TStream& Stream, char NullReplace, std::uint32_t ProgressInterval,
                                     const TProgressEvent& OnProgress, TRiriLineBreak& FoundBreak,
                                     bool TrimTrailing) {
    Clear();
    TParagraphLoader(*this, Stream, NullReplace, ProgressInterval, OnProgress, FoundBreak, TrimTrailing).Run();
}

}  // namespace tarvex
