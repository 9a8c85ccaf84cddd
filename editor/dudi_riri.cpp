// TDudiRiri: construction, properties, linked objects and the display update.

#include "editor/dudi_riri.h"

#include <algorithm>

#include "editor/format_thread.h"
#include "textstore/highlight_passes.h"
#include "textstore/layout.h"
#include "editor/text_views.h"

namespace tarvex {

TDudiRiri::TDudiRiri(TRiriHost* Host) : FHost(Host ? Host : &FNullHost) {
    FSelStartNav = std::make_unique<TRiriNavigator>(this);
    FSelEndNav = std::make_unique<TRiriNavigator>(this);
    FTopNav = std::make_unique<TRiriNavigator>(this);
    FPersistentCaret = std::make_unique<TRiriNavigator>(this);
    FCaret = FSelStartNav.get();
    FParagraphs = std::make_unique<TRiriParaStrings>(*this);
    FLines = std::make_unique<TRiriLinesStrings>(*this);
    TFontSpec f;
    f.Name = "Arial";
    TDudiRiriBase::SetFont(f);
    TDudiRiriBase::SetAltFont(f);
    if (FHost->HasWindow()) StartFormatThreadIfNeeded();
}

TDudiRiri::~TDudiRiri() {
    StopFormatThread();
    NotifyLinks(lnDestroying);
}

void TDudiRiri::SetHost(TRiriHost* Host) {
    StopFormatThread();
    FHost = Host ? Host : &FNullHost;
    if (FHost->HasWindow()) {
        StartFormatThreadIfNeeded();
        UpdateScrollRange();
    }
}

// --- properties

void TDudiRiri::SetOptions(TDudiRiriOptions V) {
    const TDudiRiriOptions old = FOptions;
    if ((V & droDiscardTrailingSpaces) && !(old & droDiscardTrailingSpaces)) {
        // Trailing blanks go from every paragraph: save and load again.
        FOptions = V;
        ReloadKeepingModified();
        return;
    }
    FOptions = V;
    if ((V ^ old) & droAutoScrollBars) UpdateScrollRange();
    if (((V ^ old) & (droWindowsSelColors | droFullLineSelect)) && SelLength() != 0) FHost->InvalidateAll();
}

void TDudiRiri::ReloadKeepingModified() {
    const bool modified = Modified;
    TMemoryStream m;
    SaveToStream(m);
    m.Seek(0);
    LoadFromStream(m);
    Modified = modified;
}

void TDudiRiri::LayoutPropertyChanged() {
    Pars.InvalidateLayout();
    WidestLine = 0;
    WidestLineIndex = -1;
    for (TRiriNavigator* n : Navigators()) n->ResetLineAndDyn();
    if (FUpdateMode == umImmediate || !FHost->HasWindow())
        FormatPending();
    else
        StartFormatThreadIfNeeded();
    UpdateScrollRange();
    FHost->InvalidateAll();
    UpdateCaretPos();
}

void TDudiRiri::SetWordWrap(bool V) {
    if (V == WordWrap()) return;
    TDudiRiriBase::SetWordWrap(V);
    LayoutPropertyChanged();
}

void TDudiRiri::SetAlignment(TAlignment V) {
    if (V == Alignment()) return;
    TDudiRiriBase::SetAlignment(V);
    HorzOffset = 0;
    LayoutPropertyChanged();
}

void TDudiRiri::SetJustified(bool V) {
    if (V == Justified()) return;
    TDudiRiriBase::SetJustified(V);
    HorzOffset = 0;
    LayoutPropertyChanged();
}

void TDudiRiri::SetTabStops(std::int32_t V) {
    if (V == TabStops()) return;
    TDudiRiriBase::SetTabStops(V);
    LayoutPropertyChanged();
}

void TDudiRiri::SetColumnWrap(std::int32_t V) {
    if (V == ColumnWrap()) return;
    TDudiRiriBase::SetColumnWrap(V);
    if (WordWrap() || Alignment() != taLeftJustify) LayoutPropertyChanged();
}

void TDudiRiri::SetLeftMargin(std::int32_t V) {
    if (V == LeftMargin()) return;
    TDudiRiriBase::SetLeftMargin(V);
    if (WordWrap() || Alignment() != taLeftJustify) LayoutPropertyChanged();
    else FHost->InvalidateAll();
}

void TDudiRiri::SetRightMargin(std::int32_t V) {
    if (V == RightMargin()) return;
    TDudiRiriBase::SetRightMargin(V);
    if (WordWrap() || Alignment() != taLeftJustify) LayoutPropertyChanged();
    else FHost->InvalidateAll();
}

void TDudiRiri::SetFont(const TFontSpec& F) {
    TDudiRiriBase::SetFont(F);
    HorzOffset = 0;
    VertOffset = 0;
    FTopNav->SetPos(0);
    LayoutPropertyChanged();
    NotifyLinks(lnFontChanged);
    if (OnVScroll) OnVScroll(*this);
}

void TDudiRiri::SetAltFont(const TFontSpec& F) {
    TDudiRiriBase::SetAltFont(F);
    LayoutPropertyChanged();
}

void TDudiRiri::SetCanvas(TCanvas* C) {
    TDudiRiriBase::SetCanvas(C);
    LayoutPropertyChanged();
}

void TDudiRiri::SetClientSize(std::int32_t W, std::int32_t H) {
    const bool widthChanged = W != ClientWidth();
    TDudiRiriBase::SetClientSize(W, H);
    if (widthChanged && (WordWrap() || Alignment() != taLeftJustify))
        LayoutPropertyChanged();
    else
        UpdateScrollRange();
}

void TDudiRiri::SetStaticFormat(bool V) {
    if (V == StaticFormat()) return;
    TDudiRiriBase::SetStaticFormat(V);
    if (CharCount() > 0) {
        // The codes mean something else now: read the text again.
        TMemoryStream m;
        Pars.SaveToStream(m, false, ProgressInterval, nullptr, LineBreak, false);
        m.Seek(0);
        LoadFromStream(m);
    }
}

void TDudiRiri::SetSeparators(std::string_view V) {
    TDudiRiriBase::SetSeparators(V);
}

void TDudiRiri::SetHighlighter(TRiriHighlighter* H) {
    if (H == Highlighter()) return;
    TDudiRiriBase::SetHighlighter(H);
    ReApplyKeywords();
}

// --- linked objects

void TDudiRiri::AddLink(TLinkedObject* L, bool Second) { FLinks[Second ? 1 : 0].push_back(L); }

void TDudiRiri::RemoveLink(TLinkedObject* L) {
    for (auto& list : FLinks) std::replace(list.begin(), list.end(), L, static_cast<TLinkedObject*>(nullptr));
}

void TDudiRiri::NotifyLinks(std::uint32_t Code) {
    for (auto& list : FLinks) {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i]) list[i]->LinkNotify(*this, Code);
        std::erase(list, nullptr);
    }
}

void TDudiRiri::Change() {
    NotifyLinks(lnTextChanged);
    if (OnChange) OnChange(*this);
}

// --- update batches and the display

void TDudiRiri::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount == 0 && FPendingChange) {
        FPendingChange = false;
        RefreshAfterChange();
    }
}

void TDudiRiri::RefreshAfterChange() {
    const bool edited = Pars.DirtyLastPar >= 0;
    // Keys are applied through the paragraphs about to be laid out.
    if (edited) KeysThrough(*this, Pars.DirtyLastPar);
    const std::int32_t editLine = Pars.DirtyFirstLine;
    const std::int32_t editDelta = Pars.LineDelta;  // display lines the edits added before layout
    const std::int64_t lh = std::max(1, LineHeight());
    const std::int64_t topBefore = VertOffset / lh;
    const TLayoutStats st = FormatDirtyRange(*this);
    if (Pars.FormatLast >= Pars.FormatNext && FUpdateMode == umBackground && FHost->HasWindow()) StartFormatThreadIfNeeded();
    if (edited && FHost->HasWindow()) {
        const std::int64_t topAfter = FTopNav->VisibleLine();
        if (topAfter != topBefore && VertOffset > 0) {
            // Lines came or went above the view: the text at its top stays there.
            VertOffset += (topAfter - topBefore) * lh;
            FHost->InvalidateAll();
            if (OnVScroll) OnVScroll(*this);
        } else {
            // Everything below moves when the edit added or removed display lines.
            const bool linesMoved = editDelta != 0 || st.LinesAdded != 0;
            const std::int32_t first = st.FirstChangedLine >= 0 ? std::min(editLine, st.FirstChangedLine) : editLine;
            FHost->InvalidateLines(std::max(0, first), linesMoved ? -1 : std::max(first, st.LastChangedLine));
        }
    }
    UpdateScrollRange();
    UpdateCaretPos();
    // The view follows the caret after every edit, whatever command made it.
    KeepCaretInView();
    Change();
}

void TDudiRiri::UpdateScrollRange() {
    if (!FHost->HasWindow()) return;
    const std::int64_t h = std::max(1, LineHeight());
    const std::int64_t total = static_cast<std::int64_t>(Pars.LineCount) * h;
    TScrollInfo v, hz;
    const std::int64_t unit = total / 32760 + 1;
    v.Max = static_cast<std::int32_t>(std::max<std::int64_t>(total / unit, ClientHeight() - h - 1));
    v.Page = static_cast<std::int32_t>(std::max<std::int64_t>(0, (ClientHeight() - 3) / unit));
    v.Pos = static_cast<std::int32_t>(VertOffset / unit);
    // The unit the window turns positions back into offsets with: the
    // control font's, whatever font measuring left in the canvas.
    const std::int32_t hunit = HorzUnit();
    hz.Page = std::max(0, (ClientWidth() - LeftMargin() - RightMargin()) / hunit);
    hz.Max = hz.Page + (WidestLine + LeftMargin() + RightMargin() - ClientWidth()) / hunit - 1;
    if (WordWrap() && ColumnWrap() == 0) hz.Max = hz.Page - 1;
    if (Alignment() != taLeftJustify) hz.Max = hz.Page;
    hz.Pos = HorzOffset / hunit;
    FHost->SetScrollBars(v, hz);
}

void TDudiRiri::UpdateCaretPos() {
    if (FUpdateCount > 0) return;
    const TPos s = SelStart();
    if (s != FLastSelStart || VirtualSpaces != FLastVirtual) {
        FLastSelStart = s;
        FLastVirtual = VirtualSpaces;
        NotifyLinks(lnCaretMoved);
        if (OnSelMove) OnSelMove(*this);
    }
    const std::int32_t style = FCaret->StaticStyle();
    if (style != FLastStyle) {
        FLastStyle = style;
        NotifyLinks(lnStyleChanged);
        if (OnStyleChange) OnStyleChange(*this);
    }
    if (!FHost->HasWindow() || DisplayOnly) return;
    FormatThrough(FCaret->ParNb());
    const TPoint p = FCaret->PosToPixel();
    const std::int32_t w = CaretWidth > 0 ? CaretWidth : LineHeight() / 14 + 1;
    FHost->UpdateCaret(p.X - HorzOffset + VirtualSpaces * AverageWidth(), p.Y - VertOffset, w, LineHeight());
}

std::int32_t TDudiRiri::TopLine() {
    const std::int32_t h = std::max(1, LineHeight());
    return static_cast<std::int32_t>(std::min<std::int64_t>(VertOffset / h, std::max(0, Pars.LineCount - 1)));
}

void TDudiRiri::SetTopLine(std::int32_t L) {
    L = std::max(0, std::min(L, Pars.LineCount - 1));
    VertOffset = static_cast<std::int64_t>(L) * std::max(1, LineHeight());
    FTopNav->SetVisibleLine(L);
    UpdateScrollRange();
    FHost->InvalidateAll();
    if (OnVScroll) OnVScroll(*this);
}

}  // namespace tarvex
