#include "textstore/par_info.h"

#include <new>

#include "textstore/text_buffer.h"

namespace tarvex {

std::uint64_t ParInfo::PtrBits(const void* P) {
    const auto v = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(P));
    // User-space addresses of the platforms we run on stay below 2^47; an
    // allocation beyond 48 bits could not be recorded.
    if (v & ~kPtrMask) throw std::bad_alloc();
    return v;
}

void ParInfo::SetText(char* T) {
    if (HasExtra())
        Extra()->Text = T;
    else
        FW0 = PtrBits(T) | (FW0 & ~kPtrMask);
}

ParExtraInfo& ParInfo::MakeExtra() {
    if (HasExtra()) return *Extra();
    auto* e = new ParExtraInfo;
    e->Text = reinterpret_cast<char*>(FW0 & kPtrMask);
    e->Len = FLen;
    e->FirstLineInfo.Start = 0;
    e->FirstLineInfo.Stop = FLen;
    e->FirstLineInfo.Width = Width();
    e->FirstLineInfo.FullWidth = Width();
    e->FirstLineInfo.Spaces = 0;
    e->FirstLineInfo.JustifyFrom = FLen;
    e->FirstLineInfo.Style = 0;
    e->FirstLineInfo.DynIndex = 0;
    try {
        FW0 = PtrBits(e);
    } catch (...) {
        delete e;
        throw;
    }
    FLen = 0;
    Flags |= pfHasExtra;
    return *e;
}

void ParInfo::SetLen(std::int32_t L) {
    if (HasExtra()) {
        Extra()->Len = L;
    } else if (L >= kShortLenLimit) {
        MakeExtra().Len = L;
    } else {
        FLen = static_cast<std::uint16_t>(L);
    }
}

void ParInfo::SetLineCount(std::int32_t N) {
    if (N < 1) N = 1;
    if (N == 1 && !HasExtra()) return;
    MakeExtra().MoreLines.resize(static_cast<std::size_t>(N - 1));
}

LineInfo ParInfo::FirstLineInfo() const {
    if (HasExtra()) return Extra()->FirstLineInfo;
    LineInfo l;
    l.Start = 0;
    l.Stop = FLen;
    l.Width = l.FullWidth = Width();
    l.Spaces = 0;
    l.JustifyFrom = FLen;
    l.Style = 0;
    l.DynIndex = 0;
    return l;
}

void ParInfo::SetFirstLineInfo(const LineInfo& L) {
    if (!HasExtra()) {
        // The short form keeps only the width; everything else must be what it implies.
        if (L.Start == 0 && L.Stop == FLen && L.Width < 65536 && L.Width >= 0 && L.FullWidth == L.Width &&
            L.Spaces == 0 && FLen <= L.JustifyFrom && L.Style == 0 && L.DynIndex == 0) {
            SetWidth(static_cast<std::uint16_t>(L.Width));
            return;
        }
        MakeExtra();
    }
    Extra()->FirstLineInfo = L;
}

void ParInfo::FreeData() {
    if (OwnText()) FreeTextBuffer(Text());
    if (HasExtra()) delete Extra();
    FW0 = 0;
    FLen = 0;
    Flags &= static_cast<std::uint8_t>(~(pfHasExtra | pfOwnText));
}

ParInfo MakeParInfo(char* Text, std::int32_t Len, std::uint8_t Flags) {
    ParInfo p;
    p.FW0 = ParInfo::PtrBits(Text);
    p.FStartLo = 0;
    p.FStartHi = 0;
    p.Flags = static_cast<std::uint8_t>(Flags & ~pfHasExtra);
    p.FLen = 0;
    p.FLineRel = 0;
    p.FPoints = 0;
    p.SetLen(Len);
    return p;
}

}  // namespace tarvex
