// ReplaceRanges: many replacements inside paragraphs as one change.

#include <algorithm>
#include <stdexcept>

#include "editor/dudi_riri.h"
#include "textstore/highlight_passes.h"
#include "textstore/layout.h"

namespace tarvex {

void TDudiRiri::ReplaceRanges(const std::vector<TTextEdit>& Edits) {
    if (Edits.empty()) return;
    // The store's edits, and the ones that reverse them (on the text after).
    std::vector<TParEdit> edits;
    std::vector<TTextEdit> inverse;
    edits.reserve(Edits.size());
    inverse.reserve(Edits.size());
    std::vector<TPos> shiftBefore;  // the length change of the edits before each one
    shiftBefore.reserve(Edits.size());
    TPos shift = 0, last = -1;
    for (const TTextEdit& e : Edits) {
        const std::int32_t p = Pars.ParagraphAt(e.Pos);
        const ParInfo& par = Pars.At(p);
        const TPos off = e.Pos - Pars.StartPos(p);
        if (e.Pos < last || e.Length < 0 || off + e.Length > par.Len() ||
            e.Text.find_first_of("\r\n") != std::string::npos)
            throw std::invalid_argument("ReplaceRanges: a range that is not inside one paragraph, or out of order");
        last = e.Pos + e.Length;
        edits.push_back({p, static_cast<std::int32_t>(off), static_cast<std::int32_t>(e.Length), e.Text});
        inverse.push_back({e.Pos + shift, static_cast<TPos>(e.Text.size()),
                           std::string(par.View().substr(static_cast<std::size_t>(off), static_cast<std::size_t>(e.Length)))});
        shiftBefore.push_back(shift);
        shift += static_cast<TPos>(e.Text.size()) - e.Length;
    }
    // Paragraphs laid out before are laid out again; the others stay for the background.
    std::vector<char> wasFormatted;
    for (std::size_t i = 0; i < edits.size(); ++i)
        if (i == 0 || edits[i].Par != edits[i - 1].Par) wasFormatted.push_back((Pars.At(edits[i].Par).Flags & pfFormatted) != 0);

    std::vector<bool> attrsRemoved;
    const std::vector<std::int32_t> pars = Pars.EditInPlace(edits, attrsRemoved);  // nothing changed when it throws
    Modified = true;
    VirtualSpaces = 0;
    RememberedX = -1;
    BlockSelected = false;
    const TPos end = inverse.back().Pos + inverse.back().Length;
    if (FUndoMaxLevel > 0) {
        if (!FUndoing)
            while (FUndo.Count() > FUndo.Position) FUndo.Delete(FUndo.Count() - 1);
        NoMerge = false;
        UndoRecord rec;
        rec.Start = inverse.front().Pos;
        rec.Stop = end;
        rec.Edits = std::move(inverse);
        StoreUndo(std::move(rec));
    }

    // Navigators inside a replaced range go to its start; behind it they move with the text.
    for (TRiriNavigator* n : Navigators()) {
        const TPos x = n->Pos();
        const auto it = std::upper_bound(Edits.begin(), Edits.end(), x, [](TPos v, const TTextEdit& e) { return v < e.Pos; });
        TPos y = x;
        if (it != Edits.begin()) {
            const std::size_t i = static_cast<std::size_t>(it - Edits.begin()) - 1;
            const TTextEdit& e = Edits[i];
            y = x < e.Pos + e.Length ? e.Pos + shiftBefore[i]
                                     : x + shiftBefore[i] + static_cast<TPos>(e.Text.size()) - e.Length;
        }
        n->Invalidate();
        n->SetPos(y);
    }

    // Each edited paragraph is highlighted again when it is laid out.
    std::vector<std::int32_t> layout;
    for (std::size_t k = 0, i = 0; k < pars.size(); ++k) {
        ParInfo& par = Pars.At(pars[k]);
        par.Flags &= static_cast<std::uint8_t>(~(pfKeysApplied | pfKeywordsApplied));
        const std::size_t first = i;
        while (i < edits.size() && edits[i].Par == pars[k]) ++i;
        if (OnParse) {
            ++FUpdateCount;
            OnParse(*this, Edits[first].Pos + shiftBefore[first],
                    Edits[i - 1].Pos + shiftBefore[i - 1] + static_cast<TPos>(Edits[i - 1].Text.size()));
            --FUpdateCount;
        }
        if (wasFormatted[k]) layout.push_back(pars[k]);
    }
    if (!layout.empty()) {
        KeysThrough(*this, layout.back());
        FormatParagraphSet(*this, layout);
    }
    // What is still not laid out (paragraphs that were not, and those a
    // changed highlighting state reached) is left to the background.
    if (Pars.FormatNext > Pars.FormatLast) Pars.FormatLast = -1;
    Pars.FormatNext = std::min(Pars.FormatNext, pars.front());
    Pars.FormatLast = std::max(Pars.FormatLast, pars.back());
    WidestLine = 0;
    WidestLineIndex = -1;

    FSelStartNav->SetPos(end);
    FSelEndNav->Assign(*FSelStartNav);
    FCaret = FSelStartNav.get();
    FHost->InvalidateAll();
    if (FUpdateCount == 0)
        RefreshAfterChange();
    else
        FPendingChange = true;
}

}  // namespace tarvex
