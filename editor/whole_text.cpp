// Whole-text replacements that cost no more memory than the old and the new
// text: the store hands its text out (or lets it be copied out once) before
// the new one is made, and keeps the new string instead of copying it.

#include "editor/dudi_riri.h"

namespace tarvex {

std::string TDudiRiri::TakeWholeText() {
    StopFormatThread();
    InvalidateNavigators();
    std::string old;
    if (!Pars.ReleaseAdoptedText(old)) {
        old = TDudiRiriBase::Text();
        Pars.Clear();
    }
    return old;
}

void TDudiRiri::WholeTextReplaced() {
    for (TRiriNavigator* n : Navigators()) n->SetPos(0);
    FCaret = FSelStartNav.get();
    // Laid out in the background or on demand, as a loaded text is.
    Pars.DirtyLastPar = -1;
    Modified = true;
    VirtualSpaces = 0;
    BlockSelected = false;
    RememberedX = -1;
    HorzOffset = 0;
    VertOffset = 0;
    WidestLine = 0;
    WidestLineIndex = -1;
    if (OnParse) {
        ++FUpdateCount;
        OnParse(*this, 0, CharCount());
        --FUpdateCount;
    }
    FHost->InvalidateAll();
    if (FUpdateCount > 0)
        FPendingChange = true;
    else
        RefreshAfterChange();
}

bool TDudiRiri::TransformWholeText(const std::function<bool(const std::string& Old, std::string& New)>& Convert) {
    if (CharCount() < WholeTextMinSize || StaticFormat() || FUndoMaxLevel <= 0) {
        const std::string old = TDudiRiriBase::Text();
        std::string text;
        if (!Convert(old, text)) return false;
        SelectAll();
        SetSelTextBuf(text);
        SetSelStart(0);
        return true;
    }
    const bool wasModified = Modified;
    std::string old = TakeWholeText();
    // The old text back, as when nothing happened.
    const auto restore = [&] {
        Pars.AdoptText(std::move(old), false);
        WholeTextReplaced();
        Modified = wasModified;
    };
    std::string text;
    bool changed;
    try {
        changed = Convert(old, text);
    } catch (...) {
        restore();
        throw;
    }
    if (!changed) {
        restore();
        return false;
    }
    try {
        Pars.AdoptText(std::move(text), HasOption(droDiscardTrailingSpaces));
    } catch (...) {
        restore();
        throw;
    }
    NoMerge = true;
    bool merged = false;
    RecordUndo(std::move(old), 0, merged);
    if (FUndo.Position > 0) FUndo[FUndo.Position - 1].Stop = CharCount();
    WholeTextReplaced();
    return true;
}

bool TDudiRiri::SwapWholeText(std::int32_t Index) {
    const UndoRecord& r = FUndo[Index];
    if (r.Start != 0 || r.Stop != CharCount() || r.Grouped || !r.Edits.empty() || StaticFormat()) return false;
    if (CharCount() < WholeTextMinSize && static_cast<std::int64_t>(r.Text.size()) < WholeTextMinSize) return false;
    // A record replayed together with the next one goes the ordinary way.
    if (Index + 1 < FUndo.Count() && FUndo[Index + 1].Grouped) return false;
    std::string text = FUndo.TakeText(Index);
    std::string current = TakeWholeText();
    try {
        Pars.AdoptText(std::move(text), HasOption(droDiscardTrailingSpaces));
    } catch (...) {
        Pars.AdoptText(std::move(current), false);
        FUndo.ReplaceAt(Index, UndoRecord{0, CharCount(), false, std::move(text), {}});
        WholeTextReplaced();
        throw;
    }
    // The slot now holds what the replay replaced, as the editing primitive
    // leaves it while replaying.
    FUndo.ReplaceAt(Index, UndoRecord{0, CharCount(), false, std::move(current), {}});
    FUndo.Position = Index + 1;
    WholeTextReplaced();
    return true;
}

}  // namespace tarvex
