// Read Only with its display style, the Font & Color items and the Highlight
// menu.

#include <QAction>
#include <QColorDialog>
#include <QFontDialog>

#include "app/display_style.h"
#include "app/qt/auto_scroll.h"
#include "app/qt/commands.h"
#include "app/qt/main_window.h"
#include "platform/qt_draw_surface.h"

namespace tarvex {

namespace {

std::int32_t ToWinColor(const QColor& C) { return C.red() | C.green() << 8 | C.blue() << 16; }

// Asks for a colour starting from Current; false when cancelled.
bool AskColor(TFrmMainTarvex& W, std::int32_t& Current) {
    const QColor start = TQtDrawSurface::ToQColor(Current, W.Med->palette());
    const QColor c = QColorDialog::getColor(start, &W, QString(), QColorDialog::DontUseNativeDialog);
    if (!c.isValid()) return false;
    Current = ToWinColor(c);
    return true;
}

QFont ToQFont(const TFontSpec& F) {
    QFont f(QString::fromStdString(F.Name));
    f.setPointSize(std::max(1, F.Size));
    f.setBold(F.Style & fsBold);
    f.setItalic(F.Style & fsItalic);
    f.setUnderline(F.Style & fsUnderline);
    f.setStrikeOut(F.Style & fsStrikeOut);
    return f;
}

TFontSpec FromQFont(const QFont& Q, std::int32_t Color) {
    TFontSpec f;
    f.Name = Q.family().toStdString();
    f.Size = Q.pointSize() > 0 ? Q.pointSize() : 10;
    f.Style = static_cast<std::uint8_t>((Q.bold() ? fsBold : 0) | (Q.italic() ? fsItalic : 0) |
                                        (Q.underline() ? fsUnderline : 0) | (Q.strikeOut() ? fsStrikeOut : 0));
    f.Color = Color;
    return f;
}

// After a font or colour change: the style of the mode is the editor's now.
void StyleChanged(TFrmMainTarvex& W) {
    TDudiRiri& m = W.Memo();
    StoreDisplayStyle(m, W.Settings(), W.Settings().ReadOnly);
    SetSelectionColors(m);
    m.KeepCaretInView();
    W.Med->viewport()->update();
}

}  // namespace

void ApplyReadOnlyState(TFrmMainTarvex& W) {
    TDudiRiri& m = W.Memo();
    const bool ro = W.Settings().ReadOnly;
    W.Action("mReadOnly")->setChecked(ro);
    m.ReadOnly = ro && !W.Settings().HideCaret;
    m.DisplayOnly = ro && W.Settings().HideCaret;
    ApplyDisplayStyle(m, W.Settings(), ro);
    m.UpdateCaretPos();
    W.Med->viewport()->update();
    W.MedSelMove();
}

void AddStyleCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    W.OnReadOnlyStyle = [&W] { ApplyReadOnlyState(W); };
    c.On("mReadOnly", [&W] {
        TAutoScroll::Of(W).Stop();
        StoreDisplayStyle(W.Memo(), W.Settings(), W.Settings().ReadOnly);
        W.Settings().ReadOnly = W.Action("mReadOnly")->isChecked();
        ApplyReadOnlyState(W);
    });
    c.On("mFont", [&W] {
        TDudiRiri& m = W.Memo();
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, ToQFont(m.Font()), &W, QString(), QFontDialog::DontUseNativeDialog);
        if (!ok) return;
        const std::int32_t top = m.TopLine();
        m.SetFont(FromQFont(f, m.Font().Color));
        m.SetTopLine(top);
        StyleChanged(W);
    });
    c.On("mColor", [&W] {
        TDudiRiri& m = W.Memo();
        TFontSpec f = m.Font();
        if (!AskColor(W, f.Color)) return;
        m.SetFont(f);
        StyleChanged(W);
    });
    c.On("mBackgroundColor", [&W] {
        TDudiRiri& m = W.Memo();
        std::int32_t color = m.Color;
        if (!AskColor(W, color)) return;
        m.Color = color;
        StyleChanged(W);
    });
    c.On("mURLColor", [&W] {
        std::int64_t& link = LinkColor(W.Settings(), W.Settings().ReadOnly);
        auto color = static_cast<std::int32_t>(link);
        if (!AskColor(W, color)) return;
        link = color;
        StyleChanged(W);
    });
    c.On("mDefaultFont", [&W] {
        ResetDisplayStyles(W.Settings());
        ApplyDisplayStyle(W.Memo(), W.Settings(), W.Settings().ReadOnly);
        StyleChanged(W);
    });
}

}  // namespace tarvex
