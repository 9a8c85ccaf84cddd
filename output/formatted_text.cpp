#include "output/formatted_text.h"

#include <chrono>
#include <cstring>

#include "app/atomic_file.h"
#include "platform/codepage.h"
#include "textstore/static_format.h"

namespace tarvex {

namespace {
constexpr std::size_t kFlushSize = 1 << 20;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

TRiruDaRodozetedText::~TRiruDaRodozetedText() {
    if (FMemo) FMemo->RemoveLink(this);
}

void TRiruDaRodozetedText::SetDudiRiri(TDudiRiri* M) {
    if (M == FMemo) return;
    if (FMemo) FMemo->RemoveLink(this);
    FMemo = M;
    if (FMemo) FMemo->AddLink(this);
}

void TRiruDaRodozetedText::LinkNotify(TDudiRiri& Sender, std::uint32_t Code) {
    if (Code == lnDestroying && &Sender == FMemo) {
        FMemo->RemoveLink(this);
        FMemo = nullptr;
    }
}

void TRiruDaRodozetedText::CopyToClipboard() {
    if (!FMemo || FMemo->SelLength() == 0) return;
    if (!Clipboard) throw ERiriError("No clipboard");
    const TPos a = FMemo->SelStart(), b = a + FMemo->SelLength();
    TMemoryStream s;
    WriteRange(std::min(a, b), std::max(a, b), nullptr, &s);
    std::string plain = FMemo->SelText();
    if (FMemo->HasOption(droPlainClipboard)) plain = StripCodes(plain);
    Clipboard->SetFormattedText(ClipboardFormat(), s.Data(), Cp1251ToUtf16(plain));
}

void TRiruDaRodozetedText::SaveToFile(const std::string& FileName) {
    SaveFileAtomically(FileName, [this](TStream& S) { SaveToStream(S); });
}

void TRiruDaRodozetedText::SaveToStream(TStream& S) {
    if (!FMemo) return;
    WriteRange(0, FMemo->CharCount(), nullptr, &S);
}

void TRiruDaRodozetedText::BeginProgress(TPos Total) {
    FDone = 0;
    FTotal = Total;
    FLastReport = NowMs();
}

void TRiruDaRodozetedText::Progress(TPos Done, bool Force) {
    FDone = Done;
    if (!OnProgress) return;
    const std::int64_t now = NowMs();
    if (!Force && (!FMemo || now - FLastReport <= static_cast<std::int64_t>(FMemo->ProgressInterval))) return;
    FLastReport = now;
    OnProgress(*this);
}

// --- TLineWriter

char* TRiruDaRodozetedText::TLineWriter::Reserve(std::size_t N) {
    if (FSize + N > FCap) {
        if (FStream && FLines == nullptr && FSize > 0) Flush();
        if (FSize + N > FCap) {
            const std::size_t cap = std::max({FCap * 2, FSize + N, kFlushSize + 64});
            auto buf = std::make_unique<char[]>(cap);
            if (FSize) std::memcpy(buf.get(), FBuf.get(), FSize);
            FBuf = std::move(buf);
            FCap = cap;
        }
    }
    return FBuf.get() + FSize;
}

void TRiruDaRodozetedText::TLineWriter::Append(std::string_view S) {
    char* p = Reserve(S.size());
    std::memcpy(p, S.data(), S.size());
    FSize += S.size();
}

void TRiruDaRodozetedText::TLineWriter::EndLine() {
    if (FLines) FLines->Add(std::string(FBuf.get() + FLineStart, FSize - FLineStart));
    if (FStream) {
        Append("\r\n");
        FLineStart = FSize;
        if (FSize >= kFlushSize) Flush();
    } else {
        FSize = FLineStart = 0;
    }
}

void TRiruDaRodozetedText::TLineWriter::Flush() {
    // With a list as well, the unfinished line stays in the buffer.
    const std::size_t upto = FLines ? FLineStart : FSize;
    if (FStream && upto > 0) FStream->Write(FBuf.get(), static_cast<std::int64_t>(upto));
    std::memmove(FBuf.get(), FBuf.get() + upto, FSize - upto);
    FSize -= upto;
    FLineStart -= std::min(FLineStart, upto);
}

void TRiruDaRodozetedText::TLineWriter::Finish() {
    if (FStream) Flush();
}

}  // namespace tarvex
