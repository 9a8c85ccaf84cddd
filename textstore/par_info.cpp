#include "textstore/par_info.h"

#include "textstore/text_buffer.h"

namespace tarvex {

ParExtraInfo& ParInfo::MakeExtra() {
    if (HasExtra()) return *Extra;
    auto* e = new ParExtraInfo;
    e->Len = Short.Len;
    e->FirstLineInfo.Start = 0;
    e->FirstLineInfo.Stop = Short.Len;
    e->FirstLineInfo.Width = Short.FirstLineWidth;
    e->FirstLineInfo.FullWidth = Short.FirstLineWidth;
    e->FirstLineInfo.Spaces = 0;
    e->FirstLineInfo.JustifyFrom = Short.Len;
    e->FirstLineInfo.Style = 0;
    e->FirstLineInfo.DynIndex = 0;
    Extra = e;
    Flags |= pfHasExtra;
    return *e;
}

void ParInfo::SetLen(std::int32_t L) {
    if (HasExtra()) {
        Extra->Len = L;
    } else if (L >= kShortLenLimit) {
        MakeExtra().Len = L;
    } else {
        Short.Len = static_cast<std::uint16_t>(L);
    }
}

void ParInfo::SetLineCount(std::int32_t N) {
    if (N < 1) N = 1;
    if (N == 1 && !HasExtra()) return;
    MakeExtra().MoreLines.resize(static_cast<std::size_t>(N - 1));
}

void ParInfo::SetStartAttr(TDynInfo* Attr, bool Copy) {
    if (!HasExtra() && Attr == DefaultAttr()) return;
    ParExtraInfo& e = MakeExtra();
    TDynInfo* old = e.StartAttr;
    if (Attr == DefaultAttr()) {
        e.StartAttr = Attr;
    } else if (Copy) {
        e.StartAttr = NewSharedAttr(*Attr);
    } else {
        AddRefAttr(Attr);
        e.StartAttr = Attr;
    }
    ReleaseAttr(old);
}

LineInfo ParInfo::FirstLineInfo() const {
    if (HasExtra()) return Extra->FirstLineInfo;
    LineInfo l;
    l.Start = 0;
    l.Stop = Short.Len;
    l.Width = l.FullWidth = Short.FirstLineWidth;
    l.Spaces = 0;
    l.JustifyFrom = Short.Len;
    l.Style = 0;
    l.DynIndex = 0;
    return l;
}

void ParInfo::SetFirstLineInfo(const LineInfo& L) {
    if (!HasExtra()) {
        // The short form keeps only the width; everything else must be what it implies.
        if (L.Start == 0 && L.Stop == Short.Len && L.Width < 65536 && L.Width >= 0 && L.FullWidth == L.Width &&
            L.Spaces == 0 && Short.Len <= L.JustifyFrom && L.Style == 0 && L.DynIndex == 0) {
            Short.FirstLineWidth = static_cast<std::uint16_t>(L.Width);
            return;
        }
        MakeExtra();
    }
    Extra->FirstLineInfo = L;
}

void ParInfo::FreeData() {
    if (OwnText()) FreeTextBuffer(Text);
    Text = nullptr;
    if (HasExtra()) {
        ReleaseAttr(Extra->StartAttr);
        delete Extra;
    }
    Flags &= static_cast<std::uint8_t>(~(pfHasExtra | pfOwnText));
    Short.Len = 0;
    Short.FirstLineWidth = 0;
}

ParInfo MakeParInfo(char* Text, std::int32_t Len, TPos StartPos, std::int32_t FirstLine, std::uint8_t Flags) {
    ParInfo p;
    p.Text = Text;
    p.StartPos = StartPos;
    p.FirstLine = FirstLine;
    p.Flags = static_cast<std::uint8_t>(Flags & ~pfHasExtra);
    p.Extra = nullptr;
    p.Short.Len = 0;
    p.Short.FirstLineWidth = 0;
    p.SetLen(Len);
    return p;
}

}  // namespace tarvex
