#include "app/qt/window_settings.h"

#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/display_style.h"
#include "app/qt/commands.h"
#include "app/qt/main_window.h"
#include "app/word_separators.h"
#include "textstore/atomic_file.h"

namespace tarvex {

namespace {

// The available area of the window's screen: a placement saved on a larger or
// another screen must not put the window out of reach.
TBounds ScreenArea(const QWidget& W) {
    const QScreen* screen = W.screen();
    if (!screen) return TBounds{0, 0, 1 << 20, 1 << 20};
    const QRect a = screen->availableGeometry();
    return TBounds{a.x(), a.y(), a.width(), a.height()};
}

void ApplyLayout(TDudiRiri& M, const TSettings& S) {
    if (S.TabStops >= 2 && S.TabStops <= 100 && S.TabStops != M.TabStops())
        M.SetTabStops(static_cast<std::int32_t>(S.TabStops));
    if (S.DragText)
        M.SetOptions(M.Options() & ~droNoDragnDrop);
    else
        M.SetOptions(M.Options() | droNoDragnDrop);
    if (S.LeftMargin >= 0 && S.LeftMargin <= 100) M.SetLeftMargin(static_cast<std::int32_t>(S.LeftMargin));
    if (S.LineHeight > 0 && S.LineHeight <= 100 && S.LineHeight != M.FixedLineHeight())
        M.SetFixedLineHeight(static_cast<std::int32_t>(S.LineHeight));
    if (S.Alignment >= 0 && S.Alignment <= 2) M.SetAlignment(static_cast<TAlignment>(S.Alignment));
    M.SetWordWrap(S.WordWrap);
    // Without word wrap text is always left-aligned.
    if (!S.WordWrap) M.SetAlignment(taLeftJustify);
    M.SetJustified(S.Justified);
}

}  // namespace

void ReadSettingsFile(const std::string& Path, TIniFile& Ini) {
    std::ifstream in(Path, std::ios::binary);
    std::stringstream ss;
    if (in) ss << in.rdbuf();
    Ini.Parse(ss.str());
}

void PrepareEditor(TDudiRiri& M) {
    M.SetSeparators(AppWordSeparators());
    // Files keep their own line breaks; Alt+drag and Shift+Alt+arrows make column blocks.
    M.SetOptions(M.Options() | droAutoLineBreak | droBlockSelection);
}

void ApplySettings(TFrmMainTarvex& W) {
    const TSettings& s = W.Settings();
    TDudiRiri& m = W.Memo();
    W.ToolBar()->setVisible(s.ToolBar);
    W.statusBar()->setVisible(s.Status);
    W.Action("mToolbar")->setChecked(s.ToolBar);
    W.Action("mStatusbar")->setChecked(s.Status);
    W.Action("mTop")->setChecked(s.OnTop);
    W.Action("mAuto")->setChecked(s.AutoDecode);
    m.NullReplacement = s.SkipNull ? ' ' : '\0';
    m.RussianInterface = s.Lang;
    W.Search().Load(s.FindSettings());
    ApplyLayout(m, s);
    ApplyReadOnlyState(W);  // the display style of the mode too
    W.Action("mWordWrap")->setChecked(m.WordWrap());
    W.Action("mJustified")->setChecked(m.Justified());
    W.Action(m.Alignment() == taCenter ? "mCenter" : m.Alignment() == taRightJustify ? "mRight" : "mLeft")
        ->setChecked(true);
    if (!s.Highlight) W.Action("mNone")->setChecked(true);

    // The placement: parts missing from the string keep these.
    TBounds b{100, 80, 900, 650};
    const bool maximized = ReadPlacement(s.MainSize, b, ScreenArea(W));
    if (s.MainSize.empty())
        W.resize(b.Width, b.Height);
    else
        W.setGeometry(b.Left, b.Top, b.Width, b.Height);
    if (maximized) W.setWindowState(W.windowState() | Qt::WindowMaximized);
}

void CollectSettings(TFrmMainTarvex& W) {
    TSettings& s = W.Settings();
    TDudiRiri& m = W.Memo();
    const QRect g = W.isMaximized() ? W.normalGeometry() : W.geometry();
    s.MainSize = PlacementToStore(s.MainSize, TBounds{g.x(), g.y(), g.width(), g.height()}, W.isMaximized(), ScreenArea(W));
    TFindSettings find = s.FindSettings();
    W.Search().Store(find);
    s.SetFindSettings(find);
    s.ToolBar = W.Action("mToolbar")->isChecked();
    s.Status = W.Action("mStatusbar")->isChecked();
    s.OnTop = W.Action("mTop")->isChecked();
    s.AutoDecode = W.Action("mAuto")->isChecked();
    StoreDisplayStyle(m, s, s.ReadOnly);
    s.TabStops = m.TabStops();
    s.LeftMargin = m.LeftMargin();
    s.Alignment = m.Alignment();
    s.WordWrap = m.WordWrap();
    s.Justified = m.Justified();
}

bool StaysOnTop(const TFrmMainTarvex& W) {
    if (const QWindow* h = W.windowHandle()) return h->flags() & Qt::WindowStaysOnTopHint;
    return W.windowFlags() & Qt::WindowStaysOnTopHint;
}

void ApplyStaysOnTop(TFrmMainTarvex& W, bool On) {
    // Through the native window: changing the widget's flags would make a
    // new window and take the keyboard focus from the editor.
    if (QWindow* h = W.windowHandle()) {
        h->setFlag(Qt::WindowStaysOnTopHint, On);
        if (On && W.isVisible()) W.raise();
    } else {
        W.setWindowFlag(Qt::WindowStaysOnTopHint, On);
    }
}

bool TFrmMainTarvex::SaveSettings() {
    CollectSettings(*this);
    // The file as it is now: keys other programs or instances wrote stay.
    ReadSettingsFile(FPaths.IniPath, FIni);
    FSettings.Write(FIni);
    FHistory.Write(FIni);
    try {
        const std::string text = FIni.Serialize();
        SaveFileAtomically(FPaths.IniPath,
                           [&](TStream& Out) { Out.Write(text.data(), static_cast<std::int64_t>(text.size())); });
    } catch (const std::exception& e) {
        FPrompts->ShowError(e.what());
        return false;
    }
    return true;
}

}  // namespace tarvex
