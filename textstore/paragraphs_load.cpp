// Loading a stream into the paragraph list. The bytes are read in 65,500-byte
// pieces into load buffers; each paragraph's text stays where it was read (the
// break byte after it becomes its NUL), so loading copies no paragraph text
// except the unfinished one at the end of a buffer.

#include <algorithm>
#include <chrono>
#include <cstring>

#include "paragraphs_list.h"
#include "scan.h"
#include "static_format.h"

namespace tarvex {

namespace {
constexpr std::int64_t kReadSize = 65500;
// A finished buffer whose used part is below this is copied to an exact-size one.
constexpr std::int64_t kExactCopyBelow = 57313;

char* AllocLoadBuffer(std::int64_t Size) {
    auto* p = static_cast<char*>(std::malloc(static_cast<std::size_t>(Size)));
    if (!p) throw std::bad_alloc();
    return p;
}
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
            if (L.Count() == 0 || PendingBreakSeen) StoreEmptyLast();
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

    char* Buf = nullptr;          // the current load buffer (owned by L.LoadBuffers.back())
    std::int64_t DataLen = 0;     // bytes of data in Buf
    bool Eof = false;
    TPos Total = 0;               // running position of the next paragraph
    std::int64_t ReadTotal = 0;   // bytes read from the stream
    std::int32_t BufFirstPar = 0; // first paragraph whose text lies in Buf
    std::uint8_t Style = 0;       // running static style
    bool PendingBreakSeen = false;  // a break was seen whose following paragraph is not stored yet
    Clock::time_point Deadline;

    // Reads up to Want bytes at Buf + At; sets Eof when the stream ends.
    std::int64_t Fill(std::int64_t At, std::int64_t Want) {
        std::int64_t got = 0;
        while (got < Want) {
            const std::int64_t n = S.Read(Buf + At + got, std::min<std::int64_t>(Want - got, 1 << 24));
            if (n <= 0) {
                Eof = true;
                break;
            }
            got += n;
        }
        ReadTotal += got;
        if (NullReplace != 0) {
            char* p = Buf + At;
            char* end = p + got;
            while ((p = static_cast<char*>(std::memchr(p, 0, static_cast<std::size_t>(end - p)))) != nullptr)
                *p++ = NullReplace;
        }
        return got;
    }

    void Store(char* Text, std::int64_t Len, std::uint8_t StartStyle, bool EndedByBreak) {
        if (Trim)
            while (Len > 0 && (Text[Len - 1] == ' ' || Text[Len - 1] == '\t')) --Len;
        if (Len > L.MaxParLen) throw ERiriError(kTextTooLong);
        if (L.Count() >= L.MaxCount) throw ERiriError("Too many paragraphs: the text cannot be held");
        Text[Len] = 0;
        const auto len = static_cast<std::int32_t>(Len);
        ParInfo p = MakeParInfo(Text, len, Total, L.Count(), 0);
        if (StartStyle != 0) {
            ParExtraInfo& e = p.MakeExtra();
            e.FirstLineInfo.Style = StartStyle;
        }
        try {
            L.Add(&p);
        } catch (...) {
            p.FreeData();
            throw;
        }
        Total += Len + (EndedByBreak ? 2 : 0);
        if (OnProgress && (L.Count() & 15) == 0 && Clock::now() >= Deadline) {
            Deadline = Clock::now() + std::chrono::milliseconds(Interval);
            OnProgress(L);
        }
    }

    void StoreEmptyLast() {
        ParInfo p = MakeParInfo(nullptr, 0, Total, L.Count(), 0);
        L.Add(&p);
        PendingBreakSeen = false;
    }

    void NewBuffer(std::int64_t Size) {
        TLoadBuffer b;
        b.Ptr.reset(AllocLoadBuffer(Size));
        b.Size = Size;
        Buf = b.Ptr.get();
        L.LoadBuffers.push_back(std::move(b));
    }

    void Scan() {
        if (OnProgress) Deadline = Clock::now() + std::chrono::milliseconds(Interval);
        const TPos streamStart = S.Position();
        NewBuffer(kReadSize + 1);
        DataLen = Fill(0, kReadSize);
        std::int64_t parStart = 0, i = 0;
        std::uint8_t parStyle = 0;
        unsigned char pending = 0;  // break byte that ended the buffer; its pair may follow in the next read
        const TByteClass cls = MakeBreakClass(StaticFormat);

        for (;;) {
            const auto* u = reinterpret_cast<const unsigned char*>(Buf);
            bool stopAtNul = false;
            for (;;) {
                i = StaticFormat ? FindInClass(u, i, DataLen, cls) : FindBreakOrNul(u, i, DataLen);
                if (i >= DataLen) break;
                const unsigned char c = u[i];
                if (c == 13 || c == 10) {
                    Store(Buf + parStart, i - parStart, parStyle, true);
                    PendingBreakSeen = true;
                    FoundBreak = c == 13 ? pbCR : pbLF;
                    ++i;
                    if (i < DataLen) {
                        if (u[i] == (c ^ 7)) {  // CR LF or LF CR: one break
                            Buf[i++] = 0;
                            FoundBreak = c == 13 ? pbCRLF : pbLFCR;
                        }
                    } else if (!Eof) {
                        pending = c;
                    }
                    parStart = i;
                    parStyle = Style;
                } else if (c == 0) {
                    stopAtNul = true;
                    break;
                } else {
                    Style ^= StyleCodeBit(c);
                    ++i;
                }
            }
            if (stopAtNul) {
                // The text ends at the NUL; the stream is left just there.
                const TPos consumed = ReadTotal - (DataLen - i);
                Store(Buf + parStart, i - parStart, parStyle, false);
                PendingBreakSeen = false;
                L.LoadBuffers.back().Used = i;
                try {
                    S.Seek(streamStart + consumed);
                } catch (const EStreamError&) {
                    // A pipe cannot be positioned; nothing depends on it.
                }
                return;
            }
            if (Eof) {
                Store(Buf + parStart, DataLen - parStart, parStyle, false);
                PendingBreakSeen = false;
                L.LoadBuffers.back().Used = DataLen;
                return;
            }

            // The buffer is used up: carry the unfinished paragraph over.
            const std::int64_t k = DataLen - parStart;
            if (k > L.MaxParLen) throw ERiriError(kTextTooLong);
            // Geometric growth keeps a paragraph of hundreds of MB linear to load.
            const std::int64_t room = std::max(kReadSize, k);
            if (L.Count() == BufFirstPar) {
                // No paragraph was finished in this buffer: grow it in place.
                if (parStart > 0) std::memmove(Buf, Buf + parStart, static_cast<std::size_t>(k));
                TLoadBuffer& b = L.LoadBuffers.back();
                char* grown = static_cast<char*>(std::realloc(b.Ptr.get(), static_cast<std::size_t>(k + room + 1)));
                if (!grown) throw std::bad_alloc();
                b.Ptr.release();
                b.Ptr.reset(grown);
                b.Size = k + room + 1;
                Buf = grown;
            } else {
                char* old = Buf;
                NewBuffer(k + room + 1);
                std::memcpy(Buf, old + parStart, static_cast<std::size_t>(k));
                TLoadBuffer& prev = L.LoadBuffers[L.LoadBuffers.size() - 2];
                prev.Used = parStart;
                if (parStart < kExactCopyBelow) {
                    // Give the unused tail of the finished buffer back.
                    char* exact = AllocLoadBuffer(parStart + 1);
                    std::memcpy(exact, old, static_cast<std::size_t>(parStart));
                    exact[parStart] = 0;
                    for (std::int32_t p = BufFirstPar; p < L.Count(); ++p) {
                        ParInfo& r = L.At(p);
                        r.Text = exact + (r.Text - old);
                    }
                    prev.Ptr.reset(exact);
                    prev.Size = parStart + 1;
                }
                BufFirstPar = L.Count();
            }
            parStart = 0;
            i = k;
            DataLen = k + Fill(k, room);
            if (pending) {
                if (k == 0 && DataLen > 0 && static_cast<unsigned char>(Buf[0]) == (pending ^ 7)) {
                    Buf[0] = 0;
                    i = parStart = 1;
                    FoundBreak = pending == 13 ? pbCRLF : pbLFCR;
                }
                pending = 0;
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
        L.KeysThrough = -1;
        L.FormatNext = 0;
        L.FormatLast = L.Count();
        L.LineCount = L.Count();
    }
};

void TParagraphsList::LoadFromStream(TStream& Stream, char NullReplace, std::uint32_t ProgressInterval,
                                     const TProgressEvent& OnProgress, TRiriLineBreak& FoundBreak,
                                     bool TrimTrailing) {
    Clear();
    TParagraphLoader(*this, Stream, NullReplace, ProgressInterval, OnProgress, FoundBreak, TrimTrailing).Run();
}

}  // namespace tarvex
