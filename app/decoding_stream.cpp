#include "app/decoding_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/codepages.h"
#include "platform/codepage.h"

namespace tarvex {

namespace {
constexpr std::size_t kPiece = TDecodingStream::kPieceSize;

// The bytes a UTF-8 sequence led by B takes, or 0 when B leads none.
std::size_t SequenceLength(unsigned char B) {
    if ((B & 0xE0) == 0xC0) return 2;
    if ((B & 0xF0) == 0xE0) return 3;
    if ((B & 0xF8) == 0xF0) return 4;
    return 0;
}

// Where the bytes that may still belong to a sequence going on behind the
// piece begin (Size when none): the earliest of the last three bytes that
// leads a sequence longer than what is left. Decoding them with what follows
// gives what decoding the whole text at once gives.
std::size_t CutSequenceStart(const std::string& Piece) {
    const std::size_t n = Piece.size();
    for (std::size_t i = n > 3 ? n - 3 : 0; i < n; ++i) {
        const std::size_t len = SequenceLength(static_cast<unsigned char>(Piece[i]));
        if (len > 0 && i + len > n) return i;
    }
    return n;
}
}  // namespace

TDecodingStream::TDecodingStream(TStream& Source, TKind Kind, bool StopAtNul)
    : FSource(Source), FKind(Kind), FSourceStart(Source.Position()), FStopAtNul(StopAtNul) {}

bool TDecodingStream::Refill() {
    FOut.clear();
    FOutAt = 0;
    while (FOut.empty()) {
        if (FSourceEnded && FCarry.empty()) return false;
        std::string piece = std::move(FCarry);
        FCarry.clear();
        const std::size_t had = piece.size();
        if (!FSourceEnded) {
            piece.resize(had + kPiece);
            std::size_t got = 0;
            while (got < kPiece) {
                const std::int64_t n = FSource.Read(piece.data() + had + got, static_cast<std::int64_t>(kPiece - got));
                if (n <= 0) {
                    FSourceEnded = true;
                    break;
                }
                got += static_cast<std::size_t>(n);
            }
            piece.resize(had + got);
            if (FFirstNul < 0)
                if (const void* z = std::memchr(piece.data() + had, 0, got)) {
                    const auto at = static_cast<std::size_t>(static_cast<const char*>(z) - piece.data());
                    FFirstNul = FSourceStart + FSourceRead + static_cast<std::int64_t>(at - had);
                    if (FStopAtNul) {
                        // Nothing behind it is read: its characters are not counted either.
                        piece.resize(at + 1);
                        FSourceEnded = true;
                    }
                }
            if (FKind == dkUtf8 && FSourceRead == 0 && piece.compare(0, 3, "\xEF\xBB\xBF") == 0) piece.erase(0, 3);
            FSourceRead += static_cast<std::int64_t>(got);
        }
        switch (FKind) {
            case dkDos:
                DosToWin(piece);
                FOut = std::move(piece);
                break;
            case dkKoi:
                KoiToWin(piece);
                FOut = std::move(piece);
                break;
            case dkUtf8: {
                // A sequence the piece cut waits for the rest; at the end it is what it is.
                const std::size_t cut = FSourceEnded ? piece.size() : CutSequenceStart(piece);
                FCarry.assign(piece, cut, std::string::npos);
                piece.resize(cut);
                FOut = Utf8ToCp1251(piece, &FPieceUnmapped);
                break;
            }
        }
    }
    return true;
}

std::int64_t TDecodingStream::Read(void* Buffer, std::int64_t Count) {
    auto* to = static_cast<char*>(Buffer);
    std::int64_t done = 0;
    while (done < Count) {
        if (FOutAt == FOut.size()) {
            if (!Refill()) break;
            FUnmapped += std::exchange(FPieceUnmapped, 0);
        }
        const std::size_t n = std::min(FOut.size() - FOutAt, static_cast<std::size_t>(Count - done));
        std::memcpy(to + done, FOut.data() + FOutAt, n);
        FOutAt += n;
        done += static_cast<std::int64_t>(n);
    }
    FPosition += done;
    return done;
}

void TDecodingStream::Write(const void*, std::int64_t) { throw EStreamError("a decoding stream is read-only"); }

std::int64_t TDecodingStream::Size() {
    const std::int64_t size = FSource.Size();
    return size < 0 ? -1 : std::max<std::int64_t>(0, size - FSourceStart);
}

std::int64_t TDecodingStream::Position() { return FPosition; }

void TDecodingStream::Seek(std::int64_t Pos) {
    if (Pos != FPosition) throw EStreamError("a decoding stream cannot be positioned");
}

}  // namespace tarvex
