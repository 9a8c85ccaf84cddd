// The View menu and the view toolbar buttons: word wrap, justification,
// alignment, the left margin and line height, non-printing characters, and
// auto-scroll with its speed.

#include <QAction>
#include <algorithm>

#include "app/qt/auto_scroll.h"
#include "app/qt/commands.h"
#include "app/qt/main_window.h"

namespace tarvex {

namespace {

constexpr int kMaxMargin = 100, kDefaultMargin = 10;
constexpr int kMinLineHeight = 5, kMaxLineHeight = 100;

bool Checked(TFrmMainTarvex& W, const char* Name) { return W.Action(Name)->isChecked(); }

// Layout changes keep the caret's line in view.
template <typename F>
void Layout(TFrmMainTarvex& W, F&& Body) {
    TDudiRiri& m = W.Memo();
    Body(m);
    m.KeepCaretInView();
    W.Med->viewport()->update();
    W.MedSelMove();
}

TAlignment CheckedAlignment(TFrmMainTarvex& W) {
    if (Checked(W, "mCenter")) return taCenter;
    if (Checked(W, "mRight")) return taRightJustify;
    return taLeftJustify;
}

void ChangeMargin(TFrmMainTarvex& W, int Tag) {
    TDudiRiri& m = W.Memo();
    int v = m.LeftMargin();
    if (Tag == 1 && v < kMaxMargin) ++v;
    if (Tag == 2 && v >= 1) --v;
    if (Tag == 3) v = kDefaultMargin;
    W.Settings().LeftMargin = v;
    if (v != m.LeftMargin()) Layout(W, [v](TDudiRiri& M) { M.SetLeftMargin(v); });
}

void ChangeLineHeight(TFrmMainTarvex& W, int Tag) {
    TDudiRiri& m = W.Memo();
    // From the font's own height when none is set: one pixel is no line.
    int v = m.FixedLineHeight() > 0 ? m.FixedLineHeight() : m.LineHeight();
    if (Tag == 1 && v < kMaxLineHeight) ++v;
    if (Tag == 2 && v > kMinLineHeight) --v;
    if (Tag == 3) v = 0;
    v = v == 0 ? 0 : std::clamp(v, kMinLineHeight, kMaxLineHeight);
    W.Settings().LineHeight = v;
    if (v != m.FixedLineHeight()) Layout(W, [v](TDudiRiri& M) { M.SetFixedLineHeight(v); });
}

}  // namespace

void ApplyWordWrap(TFrmMainTarvex& W, bool On) {
    W.Action("mWordWrap")->setChecked(On);
    Layout(W, [&W, On](TDudiRiri& M) {
        M.SetWordWrap(On);
        if (!On) W.Action("mLeft")->setChecked(true);
        M.SetAlignment(On ? CheckedAlignment(W) : taLeftJustify);
    });
}

void AddViewCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    c.On("mWordWrap", [&W] { ApplyWordWrap(W, Checked(W, "mWordWrap")); });
    c.On("mJustified", [&W] {
        const bool on = Checked(W, "mJustified");
        Layout(W, [on](TDudiRiri& M) { M.SetJustified(on); });
    });
    for (const char* name : {"mLeft", "mCenter", "mRight"})
        c.On(name, [&W] { Layout(W, [&W](TDudiRiri& M) { M.SetAlignment(CheckedAlignment(W)); }); });
    for (const auto& [name, tag] : {std::pair{"mLeftUp", 1}, {"mLeftDown", 2}, {"mLeftDefault", 3}})
        c.On(name, [&W, tag] { ChangeMargin(W, tag); });
    for (const auto& [name, tag] : {std::pair{"mLineUp", 1}, {"mLineDown", 2}, {"mLineDefault", 3}})
        c.On(name, [&W, tag] { ChangeLineHeight(W, tag); });

    c.On("mNonPrint", [&W] {
        TDudiRiri& m = W.Memo();
        static constexpr const char* kJustifiedBefore = "justifiedBeforeNonPrint";
        QAction* justified = W.Action("mJustified");
        if (Checked(W, "mNonPrint")) {
            // Marks and widened blanks do not go together: justification waits.
            W.setProperty(kJustifiedBefore, justified->isChecked());
            justified->setChecked(false);
            m.ShowNonPrintChars = drNPSpace | drNPTab | drNPReturn;
            Layout(W, [](TDudiRiri& M) { M.SetJustified(false); });
        } else {
            m.ShowNonPrintChars = 0;
            if (W.property(kJustifiedBefore).toBool()) justified->setChecked(true);
            Layout(W, [on = justified->isChecked()](TDudiRiri& M) { M.SetJustified(on); });
        }
    });

    c.On("mScrollRun", [&W] {
        TAutoScroll& a = TAutoScroll::Of(W);
        Checked(W, "mScrollRun") ? a.Start() : a.Stop();
    });
    c.On("mScrollPlus", [&W] { TAutoScroll::Of(W).SpeedUp(); });
    c.On("mScrollMinus", [&W] { TAutoScroll::Of(W).SlowDown(); });
    c.On("mScrollDefault", [&W] { TAutoScroll::Of(W).DefaultSpeed(); });
    InstallEditorHooks(W);
}

}  // namespace tarvex
