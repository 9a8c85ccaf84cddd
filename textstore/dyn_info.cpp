#include "textstore/dyn_info.h"

namespace tarvex {

namespace {
TDynInfo MakeDefault() {
    TDynInfo d;
    d.Color = clNone;
    d.BkColor = clNone;
    return d;
}
TDynInfo gDefaultAttr = MakeDefault();
}  // namespace

TDynInfo* DefaultAttr() { return &gDefaultAttr; }

TDynInfo* NewSharedAttr(const TDynInfo& Source) {
    if (&Source == &gDefaultAttr) return &gDefaultAttr;
    auto* a = new TDynInfo(Source);
    a->Offset = 1;
    return a;
}

void AddRefAttr(TDynInfo* Attr) {
    if (Attr && Attr != &gDefaultAttr) ++Attr->Offset;
}

void ReleaseAttr(TDynInfo* Attr) {
    if (!Attr || Attr == &gDefaultAttr) return;
    if (--Attr->Offset <= 0) delete Attr;
}

bool SameState(const TDynInfo& A, const TDynInfo& B) {
    if ((A.Flags & (dfOwn | dfKeyed)) != (B.Flags & (dfOwn | dfKeyed))) return false;
    if (!(A.Flags & dfOwn)) return true;
    if (A.Depth != B.Depth || A.Context != B.Context) return false;
    for (int i = 0; i <= A.Depth && i < 16; ++i)
        if (A.Contexts[i] != B.Contexts[i]) return false;
    return true;
}

}  // namespace tarvex
