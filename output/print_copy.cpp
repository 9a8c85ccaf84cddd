// The print copy: a hidden editor whose paragraph records point at the
// printed editor's paragraph texts, laid out for the paper and cut into pages.

#include <algorithm>
#include <chrono>
#include <cmath>

#include "output/dudi_riri_printer.h"
#include "textstore/highlight_passes.h"
#include "textstore/layout.h"

namespace tarvex {

namespace {

// The two ends of the selection, lower first.
void SelectionRange(TDudiRiri& M, TPos& From, TPos& To) {
    const TPos a = M.SelStart(), b = M.SelStart() + M.SelLength();
    From = std::clamp<TPos>(std::min(a, b), 0, M.CharCount());
    To = std::clamp<TPos>(std::max(a, b), 0, M.CharCount());
}

bool WantsHighlighting(TDudiRiri& M) {
    return M.WantsKeywordPass() || (M.ApplyStartStopKeys() && M.StartStopKeys.Count() > 0) || M.Highlighter();
}

std::int32_t Round(double V) { return static_cast<std::int32_t>(std::lround(V)); }

// Appends to To a copy of Source's record for the part of its text from Skip
// on, Len characters long. Change points move with the text; the one in force
// at Skip becomes the start attribute.
void AddCopy(const TParagraphsList& From, TParagraphsList& To, const ParInfo& Source, std::int32_t Skip,
             std::int32_t Len, TPos Start, std::int32_t Index, bool Attributes) {
    char* text = Source.Text() ? Source.Text() + Skip : nullptr;
    ParInfo& r = To.At(To.Add(MakeParInfo(text, Len, pfKeysApplied | pfKeywordsApplied), Start, Index));
    if (Source.ParColor() != clNone || Source.ParBkColor() != clNone) {
        r.MakeExtra().ParColor = Source.ParColor();
        r.Extra()->ParBkColor = Source.ParBkColor();
    }
    if (!Attributes) return;
    const TDynView d = From.Dyn(Source);
    const std::int32_t first = d.CountBelow(Skip);
    // The copy's text keeps its own table of states.
    To.SetStartAttr(r, From.AttrBefore(Source, first));
    std::int32_t last = first;
    while (last < d.size() && d.Offset(last) - Skip <= Len) ++last;
    if (last > first) {
        TDynInfoArray& out = To.DynForWrite(r);
        out.reserve(static_cast<std::size_t>(last - first));
        for (std::int32_t i = first; i < last; ++i) out.push_back(To.MakePoint(d.Offset(i) - Skip, From.States[d.State(i)]));
    }
}

}  // namespace

TDudiRiriPrinter::TLook TDudiRiriPrinter::MemoLook() const {
    TLook l;
    l.Alignment = FMemo->Alignment();
    l.Font = FMemo->Font();
    l.AltFont = FMemo->AltFont();
    l.Separators = FMemo->Separators();
    l.Justified = FMemo->Justified();
    l.StaticFormat = FMemo->StaticFormat();
    l.TabStops = FMemo->TabStops();
    l.Color = FMemo->Color;
    l.HighlightColor = FMemo->HighlightColor;
    l.HighlightBackgnd = FMemo->HighlightBackgnd;
    return l;
}

bool TDudiRiriPrinter::LookChanged() const { return !(MemoLook() == FBuiltLook); }

bool TDudiRiriPrinter::CopyMatches(std::int32_t First, std::int32_t Last) const {
    if (!FCopy || !FMemo) return false;
    const TParagraphsList& src = FMemo->Pars;
    const TParagraphsList& cp = FCopy->Pars;
    if (First < 0 || Last >= cp.Count() || FFirstPar + Last >= src.Count()) return false;
    for (std::int32_t i = First; i <= Last; ++i) {
        const ParInfo& r = cp.At(i);
        if (r.Len() == 0) continue;
        const ParInfo& s = src.At(FFirstPar + i);
        if (!s.Text() || r.Text() < s.Text() || r.Text() + r.Len() > s.Text() + s.Len()) return false;
    }
    return true;
}

bool TDudiRiriPrinter::Ready() {
    if (FMemo && FBuilt && FLaidOut) return true;
    return Prepare();
}

bool TDudiRiriPrinter::Prepare() {
    if (!FMemo) return false;
    RequireDevice();
    TPos from = 0, to = FMemo->CharCount();
    if (FSelectionOnly) SelectionRange(*FMemo, from, to);
    if (FBuilt) {
        // Edits drop the copy through the link; these checks also catch
        // changes made where no notice was sent (inside an update batch).
        const bool sameRange = FBuiltSelection == FSelectionOnly && FBuiltFrom == from && FBuiltTo == to;
        const std::int32_t count = FCopy->Pars.Count();
        const bool wholeText = FSelectionOnly || FMemo->Pars.Count() == FFirstPar + count;
        if (!sameRange || !wholeText || LookChanged() || !CopyMatches(0, count - 1)) FBuilt = false;
    }
    if (!FBuilt) BuildCopy();
    // The printer's paper or resolution may have changed since (another output, a dialog).
    if (FLaidOut && !(FDevice->Metrics() == FMetrics)) FLaidOut = false;
    if (!FLaidOut) LayOut();
    return true;
}

void TDudiRiriPrinter::BuildCopy() {
    TDudiRiri& m = *FMemo;
    TPos from = 0, to = m.CharCount();
    if (FSelectionOnly) SelectionRange(m, from, to);
    const std::int32_t p1 = m.Pars.ParagraphAt(from);
    std::int32_t p2 = std::max(p1, m.Pars.ParagraphAt(to));
    // A selection of whole lines ends at the start of the next paragraph: that one is not printed.
    if (FSelectionOnly && p2 > p1 && to == m.Pars.StartPos(p2)) --p2;
    // Highlighting not yet done (it runs in the background) is done now.
    if (!FPlainText && WantsHighlighting(m)) KeywordsOverRange(m, p1, p2);
    std::uint8_t style = 0;
    if (m.StaticFormat()) {
        // The static style in force at the start runs on from the text before it.
        m.FormatThrough(p1);
        TRiriNavigator at(&m);
        at.SetPos(from);
        style = at.StaticStyle();
    }

    Release();
    FCopy = std::make_unique<TDudiRiri>();
    TDudiRiri& c = *FCopy;
    c.SetUpdateMode(umOnNeed);
    c.ScrollBars = ssNone;
    // The base setters store the values without laying out the copy each time.
    c.TDudiRiriBase::SetAlignment(m.Alignment());
    c.TDudiRiriBase::SetAltFont(m.AltFont());
    c.TDudiRiriBase::SetSeparators(m.Separators());
    c.TDudiRiriBase::SetJustified(m.Justified());
    c.TDudiRiriBase::SetFont(m.Font());
    c.TDudiRiriBase::SetTabStops(m.TabStops());
    c.TDudiRiriBase::SetLeftMargin(0);
    c.TDudiRiriBase::SetRightMargin(0);
    c.TDudiRiriBase::SetWordWrap(FWordWrap);
    c.TDudiRiriBase::SetApplyKeyWords(false);
    c.TDudiRiriBase::SetApplyStartStopKeys(false);
    c.Color = m.Color;
    c.HighlightColor = m.HighlightColor;
    c.HighlightBackgnd = m.HighlightBackgnd;
    c.RussianInterface = m.RussianInterface;
    c.ProgressInterval = m.ProgressInterval;

    TParagraphsList& L = c.Pars;
    L.Clear();
    L.StaticFormat = m.StaticFormat();
    const std::int32_t n = p2 - p1 + 1;
    FBreakPars.clear();
    TPos pos = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const ParInfo& s = m.Pars.At(p1 + i);
        const TPos sStart = m.Pars.StartPos(p1 + i);
        std::int32_t skip = i == 0 ? static_cast<std::int32_t>(from - sStart) : 0;
        std::int32_t len = s.Len() - skip;
        if (p1 + i == p2) len = std::min<std::int32_t>(len, static_cast<std::int32_t>(to - sStart) - skip);
        len = std::max(0, len);
        if (len > 0 && s.Text()[skip] == '\f') {
            // A form feed starts a page and is not printed.
            ++skip;
            --len;
            FBreakPars.push_back(i);
        }
        AddCopy(m.Pars, L, s, skip, len, pos, i, !FPlainText);
        pos += len + 2;
    }
    if (style != 0) {
        LineInfo li = L.At(0).FirstLineInfo();
        li.Style = style;
        L.At(0).SetFirstLineInfo(li);
    }
    L.CommitDyn();
    L.TotalLen = pos - 2;
    L.LineCount = n;
    L.KeysThrough = n - 1;
    L.FormatNext = 0;
    L.FormatLast = n - 1;
    L.DirtyLastPar = -1;
    c.InvalidateNavigators();
    for (TRiriNavigator* nav : c.Navigators()) nav->SetPos(0);

    FFirstPar = p1;
    FFirstCut = static_cast<std::int32_t>(from - m.Pars.StartPos(p1));
    FBuiltSelection = FSelectionOnly;
    FBuiltFrom = from;
    FBuiltTo = to;
    FBuiltLook = MemoLook();
    FBuilt = true;
    FLaidOut = false;
    if (OnFormatPrint) OnFormatPrint(c);
}

void TDudiRiriPrinter::LayOut() {
    TDudiRiri& c = *FCopy;
    FMetrics = FDevice->Metrics();
    TCanvas& info = FDevice->InfoCanvas();
    const std::int32_t width =
        std::max(1, FMetrics.PageWidth - Round((FMarginLeft + FMarginRight) * static_cast<double>(FMetrics.PpiX)));
    c.TDudiRiriBase::SetCanvas(&info);
    c.TDudiRiriBase::SetClientSize(width, FMetrics.PageHeight);
    c.TDudiRiriBase::SetWordWrap(FWordWrap);
    c.WidestLine = 0;
    c.WidestLineIndex = -1;
    c.Pars.InvalidateLayout();
    LayOutInSlices();
    c.InvalidateNavigators();
    FBreakLines.clear();
    for (const std::int32_t q : FBreakPars) FBreakLines.push_back(c.Pars.FirstLine(q));
    FLaidOut = true;
    Paginate();
}

void TDudiRiriPrinter::LayOutInSlices() {
    // Slices of paragraphs, so that a long layout (a large text) reports progress.
    using Clock = std::chrono::steady_clock;
    constexpr std::int32_t kSlice = 65536;
    TParagraphsList& L = FCopy->Pars;
    const auto interval = std::chrono::milliseconds(FMemo->ProgressInterval);
    auto last = Clock::now();
    L.SetFirstLine(0, 0);
    for (std::int32_t from = 0; from < L.Count(); from += kSlice) {
        FormatParagraphs(*FCopy, from, std::min(L.Count(), from + kSlice) - 1);
        FLaidOutPars = std::min(L.Count(), from + kSlice);
        if (OnProgress && FLaidOutPars < L.Count() && Clock::now() - last > interval) {
            last = Clock::now();
            OnProgress(*this);
        }
    }
    L.FormatNext = L.Count();
    L.FormatLast = -1;
    L.DirtyLastPar = -1;
    L.LinesAdjusted = false;
    L.LineDelta = 0;
}

std::int32_t TDudiRiriPrinter::ProgressPercent() const {
    if (FPagePrinting >= 0) return static_cast<std::int32_t>(100LL * FPagePrinting / std::max(1, FPages.PageCount()));
    if (FCopy && !FLaidOut) return static_cast<std::int32_t>(100LL * FLaidOutPars / std::max(1, FCopy->Pars.Count()));
    return 100;
}

void TDudiRiriPrinter::Paginate() {
    TDudiRiri& c = *FCopy;
    TCanvas& info = *c.Canvas();
    std::int32_t step;
    if (FLineSpacing < 0) {
        const TFontSpec saved = info.Font();
        info.SelectFont(c.Font());
        const int h = info.Metrics().Height;
        info.SelectFont(saved);
        step = Round(-FLineSpacing * h);
    } else {
        step = Round(FLineSpacing * FMetrics.PpiY);
    }
    FLineStep = std::max(1, step);
    const double room = FMetrics.PageHeight - (FMarginTop + FMarginBottom) * static_cast<double>(FMetrics.PpiY);
    const auto perPage = static_cast<std::int32_t>(std::max(1.0, std::trunc(room / FLineStep)));
    FPages.Compute(c.Pars.LineCount, perPage, FBreakLines);
}

}  // namespace tarvex
