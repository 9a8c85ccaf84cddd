#include "textstore/highlighter.h"

#include <algorithm>

#include "textstore/memo_base.h"

namespace tarvex {

TRiriHighlighter::~TRiriHighlighter() {
    while (!FMemos.empty()) FMemos.back()->SetHighlighter(nullptr);
    for (TRiriHighlighter* r : std::vector<TRiriHighlighter*>(FReferrers)) {
        std::erase(r->FReferred, this);
        r->Notification(this);
    }
    for (TRiriHighlighter* h : FReferred) std::erase(h->FReferrers, this);
}

void TRiriHighlighter::FreeNotification(TRiriHighlighter* Referrer) {
    if (!Referrer || Referrer == this || std::find(FReferrers.begin(), FReferrers.end(), Referrer) != FReferrers.end())
        return;
    FReferrers.push_back(Referrer);
    Referrer->FReferred.push_back(this);
}

void TRiriHighlighter::RemoveFreeNotification(TRiriHighlighter* Referrer) {
    if (!Referrer) return;
    std::erase(FReferrers, Referrer);
    std::erase(Referrer->FReferred, this);
}

}  // namespace tarvex
