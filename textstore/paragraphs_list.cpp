#include "textstore/paragraphs_list.h"

#include <algorithm>

namespace tarvex {

TParagraphsList::TParagraphsList() {
    SetLayout(sizeof(ParInfo), sizeof(ParInfo));
    SetCapacity(4);
}

TParagraphsList::~TParagraphsList() { FreeAllRecords(); }

void TParagraphsList::FreeAllRecords() {
    for (std::int32_t i = 0; i < Count(); ++i) At(i).FreeData();
}

void TParagraphsList::Clear() {
    FreeAllRecords();
    TotalLen = 0;
    LineCount = 0;
    SetCount(0);
    SetCapacity(4);
    LoadBuffers.clear();
    States.Clear();
    FormatLast = -1;
    DirtyLastPar = -1;
}

void TParagraphsList::MarkDirty(std::int32_t P, std::int32_t L, std::int32_t Last) {
    if (DirtyLastPar == -1) {
        DirtyFirstPar = Count();
        DirtyFirstLine = Count() > 0 ? At(Count() - 1).FirstLine + At(Count() - 1).LineCount() : 0;
    }
    if (P <= DirtyFirstPar) {
        DirtyFirstPar = P;
        if (P >= 0 && P < Count()) DirtyFirstLine = std::min(DirtyFirstLine, At(P).FirstLine + L);
    }
    if (Last > DirtyLastPar) DirtyLastPar = Last;
    if (P <= KeysThrough) KeysThrough = P - 1;
    LinesAdjusted = false;
}

void TParagraphsList::InvalidateLayout() {
    for (std::int32_t i = 0; i < Count(); ++i) At(i).Flags &= static_cast<std::uint8_t>(~pfFormatted);
    FormatNext = 0;
    FormatLast = Count() - 1;
}

// The shifts walk each block as an array of records: no index arithmetic per record.
void TParagraphsList::ShiftStart(std::int32_t FromPar, TPos Delta) { ShiftBoth(FromPar, Delta, 0); }

void TParagraphsList::ShiftLines(std::int32_t FromPar, std::int32_t Delta) { ShiftBoth(FromPar, 0, Delta); }

void TParagraphsList::ShiftBoth(std::int32_t FromPar, TPos PosDelta, std::int32_t LineDelta_) {
    if (FromPar < 0) FromPar = 0;
    const std::int32_t per = ItemsPerBlock();
    for (std::int32_t i = FromPar; i < Count();) {
        ParInfo* p = &At(i);
        const std::int32_t n = std::min(Count() - i, per - i % per);
        if (LineDelta_ == 0) {
            for (std::int32_t k = 0; k < n; ++k) p[k].StartPos += PosDelta;
        } else if (PosDelta == 0) {
            for (std::int32_t k = 0; k < n; ++k) p[k].FirstLine += LineDelta_;
        } else {
            for (std::int32_t k = 0; k < n; ++k) {
                p[k].StartPos += PosDelta;
                p[k].FirstLine += LineDelta_;
            }
        }
        i += n;
    }
}

std::int32_t TParagraphsList::ParagraphAt(TPos Pos) const {
    std::int32_t lo = 0, hi = Count() - 1;  // answer in [lo, hi]
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo + 1) / 2;
        if (At(mid).StartPos <= Pos)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

std::int32_t TParagraphsList::ParagraphOfLine(std::int32_t Line) const {
    std::int32_t lo = 0, hi = Count() - 1;
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo + 1) / 2;
        if (At(mid).FirstLine <= Line)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

void TParagraphsList::AdjustFormatRange(std::int32_t First, std::int32_t LastOld, std::int32_t D) {
    if (FormatNext > First) {
        if (FormatNext <= LastOld)
            FormatNext = First;
        else
            FormatNext += D;
    }
    if (FormatLast > LastOld)
        FormatLast += D;
    else
        FormatLast = LastOld + D;
}

}  // namespace tarvex
