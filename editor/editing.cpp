// The editing primitive and the whole-text operations of TDudiRiri.

#include <algorithm>

#include "editor/dudi_riri.h"
#include "textstore/highlight_passes.h"
#include "textstore/layout.h"
#include "textstore/scope_guard.h"
#include "textstore/static_format.h"

namespace tarvex {

TPos TDudiRiri::SelLow() const { return std::min(FSelStartNav->Pos(), FSelEndNav->Pos()); }
TPos TDudiRiri::SelHigh() const { return std::max(FSelStartNav->Pos(), FSelEndNav->Pos()); }

void TDudiRiri::ReplaceSelection(std::string_view TxtIn, bool SuppressTail, std::string* Adopt) {
    // A copy only when a handler may change the text or a column block's
    // removal may move text it points into: a whole-text command passes
    // hundreds of megabytes here. A handed-over string is already our own.
    std::string own;
    std::string_view txt = TxtIn;
    if (OnBeforeChange || (BlockSelected && !Adopt)) {
        std::string& t = Adopt ? *Adopt : own;
        if (!Adopt) t.assign(TxtIn);
        if (OnBeforeChange) OnBeforeChange(*this, t);
        txt = t;
    }
    if (SelLength() == 0 && txt.empty()) return;

    if (BlockSelected) {
        // A column block: each row's part between the two columns goes.
        BlockSelected = false;
        // The rows change first: a text that may lie in them is copied.
        if (!Adopt && !OnBeforeChange && !txt.empty()) {
            own.assign(txt);
            txt = own;
        }
        const std::int32_t c1 = std::min(BlockCol1, BlockCol2), c2 = std::max(BlockCol1, BlockCol2);
        const std::int32_t p1 = L().ParagraphAt(SelLow()), p2 = L().ParagraphAt(SelHigh());
        // The caret follows the removals: the new text goes where it ends up.
        TRiriNavigator caret(this);
        caret.Assign(*FCaret);
        BeginUpdate();
        for (std::int32_t p = p2; p >= p1; --p) {
            const std::string_view t = Pars.At(p).View();
            const std::int32_t o1 = ColumnToOffset(t, c1, TabStops(), StaticFormat());
            const std::int32_t o2 = ColumnToOffset(t, c2, TabStops(), StaticFormat());
            if (o2 <= o1) continue;
            FSelStartNav->SetPos(Pars.StartPos(p) + o1);
            FSelEndNav->SetPos(Pars.StartPos(p) + o2);
            FCaret = FSelStartNav.get();
            ReplaceSelection({}, false);
        }
        EndUpdate();
        if (txt.empty()) return;
        FSelStartNav->Assign(caret);
        FSelEndNav->Assign(caret);
        FCaret = FSelStartNav.get();
    }

    VirtualSpaces = 0;
    RememberedX = -1;
    Modified = true;

    // Undo first: what the change removes.
    const TPos low = SelLow(), high = SelHigh();
    bool recorded = false;
    std::int32_t record = -1;
    if (FUndoMaxLevel > 0) {
        TRiriNavigator at(this);
        at.SetPos(low);
        bool merged = false;
        RecordUndo(high > low ? at.GetText(high - low) : std::string(), low, merged);
        recorded = FUndo.Position > 0;
        record = FUndo.Position - 1;
    }

    // The selection navigators are the range; the start one ends up at its start.
    TRiriNavigator* from = FSelStartNav->Pos() <= FSelEndNav->Pos() ? FSelStartNav.get() : FSelEndNav.get();
    TRiriNavigator* to = from == FSelStartNav.get() ? FSelEndNav.get() : FSelStartNav.get();
    const TReplaceResult r = ReplaceText(txt, *from, *to, false, HasOption(droDiscardTrailingSpaces), Adopt);
    if (from != FSelStartNav.get()) {
        FSelStartNav->Assign(*from);
        FSelEndNav->Assign(*to);
    }
    if (recorded) FUndo[record].Stop = r.NewEnd;

    // The remembered widest line may have been edited.
    if (WidestLineIndex >= 0 && WidestLineIndex >= Pars.FirstLine(r.FirstPar) &&
        WidestLineIndex <= Pars.FirstLine(r.LastNewPar) + Pars.At(r.LastNewPar).LineCount()) {
        WidestLine = 0;
        WidestLineIndex = -1;
    }

    if (OnParse) {
        ++FUpdateCount;
        OnParse(*this, r.NewFrom, r.NewEnd);
        --FUpdateCount;
    }
    if (FUpdateCount == 0) {
        HighlightAfterEdit(*this, r);
    } else {
        Pars.At(r.FirstPar).Flags &= static_cast<std::uint8_t>(~(pfKeysApplied | pfKeywordsApplied));
        FPendingChange = true;
    }

    VirtualSpaces = 0;
    BlockSelected = false;
    if (SuppressTail) {
        FSelEndNav->Assign(*FSelStartNav);
        FCaret = FSelStartNav.get();
        return;
    }
    // The clean-up is part of the edit's own undo step: replaying a step
    // replays its clean-up records too, so it must not run again.
    if (StaticFormat() && !FUndoing) CleanStyleCodes(r.FirstPar, r.LastNewPar, record);
    // The caret stands after the new text.
    FSelStartNav->Assign(*FSelEndNav);
    FCaret = FSelStartNav.get();
    if (FUpdateCount == 0) RefreshAfterChange();
}

void TDudiRiri::CleanStyleCodes(std::int32_t First, std::int32_t Last, std::int32_t Record) {
    // Pairs of one code with only other codes between them do nothing: they
    // go, undone in one step with the edit.
    TRiriNavigator end(this);  // the end of the new text, kept in step by the removals
    end.SetPos(FSelEndNav->Pos());
    for (std::int32_t p = Last; p >= First && p < Pars.Count(); --p) {
        for (;;) {
            const std::string_view t = Pars.At(p).View();
            std::int64_t a = -1, b = -1;
            for (std::size_t i = 0; i < t.size() && a < 0; ++i) {
                const auto c = static_cast<unsigned char>(t[i]);
                if (!IsStyleCode(c)) continue;
                std::size_t j = i + 1;
                while (j < t.size() && IsStyleCode(static_cast<unsigned char>(t[j])) && static_cast<unsigned char>(t[j]) != c) ++j;
                if (j < t.size() && static_cast<unsigned char>(t[j]) == c) {
                    a = static_cast<std::int64_t>(i);
                    b = static_cast<std::int64_t>(j);
                }
            }
            if (a < 0) break;
            const TPos base = Pars.StartPos(p);
            for (std::int64_t k : {b, a}) {
                FSelStartNav->SetPos(base + k);
                FSelEndNav->SetPos(base + k + 1);
                FCaret = FSelStartNav.get();
                const std::int32_t before = FUndo.Position;
                ReplaceSelection({}, true);
                if (Record >= 0 && FUndo.Position > before) FUndo[FUndo.Position - 1].Grouped = true;
            }
        }
    }
    FSelEndNav->SetPos(end.Pos());
}

void TDudiRiri::SetTextBuf(std::string_view Txt) {
    // One batch: the view goes to the top once, not to the end of the new text first.
    const bool outer = FUpdateCount == 0;
    BeginUpdate();
    SelectAll();
    SetSelTextBuf(Txt);
    SetSelStart(0);
    if (outer) {
        VertOffset = 0;
        HorzOffset = 0;
        FTopNav->SetPos(0);
    }
    EndUpdate();
    if (outer) {
        UpdateScrollRange();
        FHost->InvalidateAll();
    }
}

void TDudiRiri::SetParagraph(std::int32_t I, std::string_view S) {
    BeginUpdate();
    while (I >= ParagraphCount()) {
        SetSelStart(CharCount());
        SetSelTextBuf("\r\n");
    }
    const TPos caret = SelStart();
    const TPos len = SelLength();
    const std::int32_t caretPar = SelPar();
    const TPos oldLen = Pars.At(I).Len();
    const TPos start = Pars.StartPos(I);
    SetSelStart(start);
    SetSelLength(oldLen);
    SetSelTextBuf(S);
    // The caret keeps its offset; behind the edit it moves with the text.
    const TPos delta = static_cast<TPos>(S.size()) - oldLen;
    SetSelStart(caret > start + oldLen ? caret + delta : std::min(caret, start + static_cast<TPos>(S.size())));
    if (caretPar != I) SetSelLength(len);
    EndUpdate();
}

void TDudiRiri::ToggleStyleCode(char Code) {
    if (!StaticFormat()) return;
    const TPos len = SelLength();
    const std::string inner = SelText();
    std::string t;
    t += Code;
    t += inner;
    t += Code;
    const TPos low = SelLow();
    ReplaceSelection(t, true);
    if (FUpdateCount == 0) RefreshAfterChange();
    if (len == 0) {
        SetSelStart(low + 1);
    } else if (len > 0) {
        SetSelStart(low + 1);
        SetSelLength(static_cast<TPos>(inner.size()));
    } else {
        SetSelStart(low + 1 + static_cast<TPos>(inner.size()));
        SetSelLength(-static_cast<TPos>(inner.size()));
    }
}

void TDudiRiri::LoadFromStream(TStream& S) {
    StopFormatThread();
    TRiriLineBreak found = LineBreak;
    // The view starts on the new text at once: the progress handler may let
    // the window paint and scroll what is loaded so far.
    InvalidateNavigators();
    Pars.Clear();
    for (TRiriNavigator* n : Navigators()) n->SetPos(0);
    FCaret = FSelStartNav.get();
    FUndo.Clear();
    VirtualSpaces = 0;
    BlockSelected = false;
    HorzOffset = 0;
    VertOffset = 0;
    WidestLine = 0;
    WidestLineIndex = -1;
    TProgressEvent progress;
    if (OnProgress)
        progress = [this](TParagraphsList&) {
            if (FHost->HasWindow()) {
                UpdateScrollRange();
                FHost->InvalidateAll();
            }
            OnProgress(*this);
        };
    bool stopped = false;
    {
        // What was read stays; no navigator or undo record may point beyond it.
        TScopeFail reset([&] {
            for (TRiriNavigator* n : Navigators()) n->SetPos(0);
            FUndo.Clear();
        });
        try {
            Pars.LoadFromStream(S, NullReplacement, ProgressInterval, progress, found, HasOption(droDiscardTrailingSpaces));
        } catch (const ELoadStopped&) {
            stopped = true;
        }
    }
    // Where the user moved while the text came in stays, resolved again.
    for (TRiriNavigator* n : Navigators()) {
        const TPos p = n->Pos();
        n->Invalidate();
        n->SetPos(p);
    }
    // Everything is pending for the background or on-demand layout; the dirty
    // range is left for edits, so the first keystroke lays out one paragraph.
    Pars.DirtyLastPar = -1;
    FUndo.Clear();
    if (HasOption(droAutoLineBreak)) LineBreak = found;
    if (OnParse) {
        ++FUpdateCount;
        OnParse(*this, 0, CharCount());
        --FUpdateCount;
    }
    Modified = true;
    if (FUpdateCount == 0) {
        if (FHost->HasWindow()) {
            if (FUpdateMode == umImmediate)
                FormatPending();
            else if (FUpdateMode == umBackground)
                StartFormatThreadIfNeeded();
        }
        UpdateScrollRange();
        UpdateCaretPos();
        Change();
    }
    if (stopped) throw ELoadStopped();
}

void TDudiRiri::ReplaceAllFromStream(TStream& NewText, std::string&& OldText) {
    StopFormatThread();
    const TRiriLineBreak lineBreak = LineBreak;
    TRiriLineBreak found = LineBreak;
    TProgressEvent progress;
    if (OnProgress) progress = [this](TParagraphsList&) { OnProgress(*this); };
    InvalidateNavigators();
    try {
        Pars.LoadFromStream(NewText, 0, ProgressInterval, progress, found, HasOption(droDiscardTrailingSpaces));
    } catch (...) {
        // The old text comes back as it was; the edit never happened.
        TMemoryStream old(std::move(OldText));
        Pars.LoadFromStream(old, 0, ProgressInterval, nullptr, found, HasOption(droDiscardTrailingSpaces));
        for (TRiriNavigator* n : Navigators()) n->SetPos(0);
        Pars.DirtyLastPar = -1;
        FCaret = FSelStartNav.get();
        if (FHost->HasWindow()) StartFormatThreadIfNeeded();
        throw;
    }
    LineBreak = lineBreak;
    for (TRiriNavigator* n : Navigators()) n->SetPos(0);
    Pars.DirtyLastPar = -1;
    FCaret = FSelStartNav.get();
    // The removed text goes into the undo record as it is: no second copy.
    if (FUndoMaxLevel > 0) {
        NoMerge = true;
        bool merged = false;
        RecordUndo(std::move(OldText), 0, merged);
        if (FUndo.Position > 0) FUndo[FUndo.Position - 1].Stop = CharCount();
    }
    VirtualSpaces = 0;
    RememberedX = -1;
    BlockSelected = false;
    HorzOffset = 0;
    VertOffset = 0;
    WidestLine = 0;
    WidestLineIndex = -1;
    Modified = true;
    if (OnParse) {
        ++FUpdateCount;
        OnParse(*this, 0, CharCount());
        --FUpdateCount;
    }
    if (FUpdateCount > 0) {
        FPendingChange = true;
        return;
    }
    if (FHost->HasWindow()) {
        if (FUpdateMode == umImmediate)
            FormatPending();
        else if (FUpdateMode == umBackground)
            StartFormatThreadIfNeeded();
        FHost->InvalidateAll();
    }
    UpdateScrollRange();
    UpdateCaretPos();
    Change();
}

void TDudiRiri::SaveToStream(TStream& S) {
    TProgressEvent progress;
    if (OnProgress) progress = [this](TParagraphsList&) { OnProgress(*this); };
    Pars.SaveToStream(S, true, ProgressInterval, progress, LineBreak, HasOption(droDiscardTrailingSpaces));
}

}  // namespace tarvex
