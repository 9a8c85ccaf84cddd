#include "editor/qt/riri_widget.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include "platform/codepage.h"
#include "platform/qt_draw_surface.h"
#include "platform/qt_text.h"

namespace tarvex {

namespace {

std::uint32_t ShiftState(Qt::KeyboardModifiers M, Qt::MouseButtons B = Qt::NoButton) {
    std::uint32_t s = 0;
    if (M & Qt::ShiftModifier) s |= TDudiRiri::ssShift;
    if (M & Qt::AltModifier) s |= TDudiRiri::ssAlt;
    if (M & Qt::ControlModifier) s |= TDudiRiri::ssCtrl;
    if (B & Qt::LeftButton) s |= TDudiRiri::ssLeft;
    if (B & Qt::RightButton) s |= TDudiRiri::ssRight;
    return s;
}

// The Windows virtual-key code of a Qt key (letters and digits as their ASCII
// capitals; other printable keys left to the character handler).
std::uint16_t VirtualKey(int Key) {
    switch (Key) {
        case Qt::Key_Backspace: return TDudiRiri::VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return TDudiRiri::VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter: return TDudiRiri::VK_RETURN;
        case Qt::Key_Shift: return TDudiRiri::VK_SHIFT;
        case Qt::Key_Control: return TDudiRiri::VK_CONTROL;
        case Qt::Key_Alt: return TDudiRiri::VK_MENU;
        case Qt::Key_Escape: return TDudiRiri::VK_ESCAPE;
        case Qt::Key_PageUp: return TDudiRiri::VK_PRIOR;
        case Qt::Key_PageDown: return TDudiRiri::VK_NEXT;
        case Qt::Key_End: return TDudiRiri::VK_END;
        case Qt::Key_Home: return TDudiRiri::VK_HOME;
        case Qt::Key_Left: return TDudiRiri::VK_LEFT;
        case Qt::Key_Up: return TDudiRiri::VK_UP;
        case Qt::Key_Right: return TDudiRiri::VK_RIGHT;
        case Qt::Key_Down: return TDudiRiri::VK_DOWN;
        case Qt::Key_Insert: return TDudiRiri::VK_INSERT;
        case Qt::Key_Delete: return TDudiRiri::VK_DELETE;
        case Qt::Key_Menu: return TDudiRiri::VK_APPS;
        default: break;
    }
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z) return static_cast<std::uint16_t>(Key);
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9) return static_cast<std::uint16_t>(Key);
    if (Key > 0 && Key < 0x01000000) return 200;  // another printable key
    return 0;
}

}  // namespace

TRiriWidget::TRiriWidget(QWidget* Parent) : QAbstractScrollArea(Parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FQueue.Wake = [this] { QMetaObject::invokeMethod(this, [this] { FQueue.RunPending(); }, Qt::QueuedConnection); };
    FMemo = std::make_unique<TDudiRiri>(nullptr);
    FMemo->SetCanvas(&FCanvas);
    FMemo->SetClientSize(viewport()->width(), viewport()->height());
    FMemo->ScrollBars = ssBoth;
    FMemo->SetHost(this);
    FBlink.setInterval(QApplication::cursorFlashTime() > 0 ? QApplication::cursorFlashTime() / 2 : 500);
    connect(&FBlink, &QTimer::timeout, this, [this] {
        FCaretOn = !FCaretOn;
        viewport()->update(FCaretRect);
    });
    FAuto.setSingleShot(true);
    connect(&FAuto, &QTimer::timeout, this, [this] { AutoScroll(); });
}

TRiriWidget::~TRiriWidget() {
    // The layout thread may be waiting for this window: stop it first.
    FMemo->SetHost(nullptr);
    FQueue.Close();
}

void TRiriWidget::InvalidateLines(std::int32_t First, std::int32_t Last) {
    const std::int32_t lh = std::max(1, FMemo->LineHeight());
    const std::int64_t top = static_cast<std::int64_t>(First) * lh - FMemo->VertOffset;
    const std::int64_t bottom = Last < 0 ? viewport()->height() : static_cast<std::int64_t>(Last + 1) * lh - FMemo->VertOffset;
    const int t = static_cast<int>(std::clamp<std::int64_t>(top, 0, viewport()->height()));
    const int b = static_cast<int>(std::clamp<std::int64_t>(bottom, 0, viewport()->height()));
    if (b > t) viewport()->update(0, t, viewport()->width(), b - t);
}

void TRiriWidget::InvalidateAll() { viewport()->update(); }

void TRiriWidget::SetScrollBars(const TScrollInfo& V, const TScrollInfo& H) {
    FSettingBars = true;
    FVertUnit = FMemo->VertUnit();
    FHorzUnit = FMemo->HorzUnit();
    verticalScrollBar()->setRange(0, std::max(0, V.Max - V.Page + 1));
    verticalScrollBar()->setPageStep(std::max(1, V.Page));
    verticalScrollBar()->setValue(V.Pos);
    horizontalScrollBar()->setRange(0, std::max(0, H.Max - H.Page + 1));
    horizontalScrollBar()->setPageStep(std::max(1, H.Page));
    horizontalScrollBar()->setValue(H.Pos);
    FSettingBars = false;
}

void TRiriWidget::UpdateCaret(std::int32_t, std::int64_t, std::int32_t, std::int32_t) { UpdateCaretRect(); }

void TRiriWidget::UpdateCaretRect() {
    const TRect r = FMemo->CaretRect();
    const QRect n(r.Left, r.Top, r.Width(), r.Height());
    if (n != FCaretRect) {
        viewport()->update(FCaretRect);
        FCaretRect = n;
        FCaretOn = true;
        viewport()->update(FCaretRect);
    }
}

void TRiriWidget::SetClipboardText(const std::u16string& Text, bool BlockMarker) {
    auto* data = new QMimeData;  // the clipboard takes ownership
    data->setText(QString::fromUtf16(Text.data(), static_cast<qsizetype>(Text.size())));
    if (BlockMarker) data->setData(kBlockMime, QByteArray(1, '\x02'));
    QApplication::clipboard()->setMimeData(data);
}

bool TRiriWidget::GetClipboardText(std::u16string& Text, bool& BlockMarker) {
    const QMimeData* d = QApplication::clipboard()->mimeData();
    if (!d || !d->hasText()) return false;
    const QString s = d->text();
    Text.assign(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
    const QByteArray b = d->data(kBlockMime);
    BlockMarker = !b.isEmpty() && b[0] == '\x02';
    return !Text.empty();
}

void TRiriWidget::ScrollContents(std::int32_t Dx, std::int32_t Dy) {
    viewport()->scroll(Dx, Dy);
    UpdateCaretRect();
}

void TRiriWidget::UpdateNow() { viewport()->repaint(); }

void TRiriWidget::SetCursor(std::int16_t C) {
    switch (C) {
        case crArrow: viewport()->setCursor(Qt::ArrowCursor); break;
        case crRightArrow: viewport()->setCursor(Qt::ArrowCursor); break;
        case crDrag: viewport()->setCursor(Qt::DragMoveCursor); break;
        case crDragCopy: viewport()->setCursor(Qt::DragCopyCursor); break;
        case -21: viewport()->setCursor(Qt::PointingHandCursor); break;  // a link
        default: viewport()->setCursor(Qt::IBeamCursor); break;
    }
}

std::int32_t TRiriWidget::PopupMenu(const std::vector<TMenuItem>& Items, std::int32_t X, std::int32_t Y) {
    QMenu menu(this);
    std::vector<QAction*> actions;
    for (const TMenuItem& it : Items) {
        if (it.Caption == "-") {
            actions.push_back(menu.addSeparator());
        } else {
            QAction* a = menu.addAction(QString::fromStdString(it.Caption));
            a->setEnabled(it.Enabled);
            actions.push_back(a);
        }
    }
    QAction* chosen = menu.exec(viewport()->mapToGlobal(QPoint(X, Y)));
    for (std::size_t i = 0; i < actions.size(); ++i)
        if (actions[i] == chosen) return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t TRiriWidget::WheelScrollLines() const { return QApplication::wheelScrollLines(); }

void TRiriWidget::paintEvent(QPaintEvent* E) {
    QPainter p(viewport());
    TQtDrawSurface s(p, FCanvas, palette());
    const QRect c = E->rect();
    FMemo->Paint(s, TRect{c.left(), c.top(), c.right() + 1, c.bottom() + 1});
    if (hasFocus() && FCaretOn && FCaretRect.width() > 0 && FCaretRect.intersects(c))
        p.fillRect(FCaretRect, palette().color(QPalette::Text));
}

void TRiriWidget::resizeEvent(QResizeEvent* E) {
    QAbstractScrollArea::resizeEvent(E);
    FMemo->SetClientSize(viewport()->width(), viewport()->height());
    UpdateCaretRect();
}

void TRiriWidget::keyPressEvent(QKeyEvent* E) {
    const std::uint32_t shift = ShiftState(E->modifiers());
    const std::uint16_t vk = VirtualKey(E->key());
    const bool consumed = FMemo->KeyDown(vk, shift);
    const std::uint32_t ctrlAlt = shift & (TDudiRiri::ssCtrl | TDudiRiri::ssAlt);
    if (ctrlAlt == TDudiRiri::ssCtrl) {
        // Ctrl with a letter is a control character only where that is a
        // command (copy, consistency check, paste, cut): others insert nothing.
        if (vk == 'C' || vk == 'E' || vk == 'V' || vk == 'X') FMemo->KeyPress(static_cast<unsigned char>(vk - 64));
    } else if (ctrlAlt == TDudiRiri::ssAlt) {
        // Alt with a key the control does not use belongs to the window (menu
        // mnemonics): it goes on to the parent, typing nothing.
        if (!consumed) {
            E->ignore();
            return;
        }
    } else if (vk == TDudiRiri::VK_RETURN) {
        FMemo->KeyPress(13);
    } else if (vk == TDudiRiri::VK_TAB) {
        FMemo->KeyPress(9);
    } else if (!E->text().isEmpty()) {
        for (char c : FromQString(E->text()))
            if (static_cast<unsigned char>(c) >= 32 && c != 127) FMemo->KeyPress(static_cast<unsigned char>(c));
    }
    E->accept();
}

void TRiriWidget::keyReleaseEvent(QKeyEvent* E) { FMemo->KeyUp(VirtualKey(E->key()), ShiftState(E->modifiers())); }

void TRiriWidget::mousePressEvent(QMouseEvent* E) {
    const auto b = E->button() == Qt::LeftButton ? TDudiRiri::mbLeft : E->button() == Qt::RightButton ? TDudiRiri::mbRight : TDudiRiri::mbMiddle;
    const QPoint p = E->position().toPoint();
    FMemo->MouseDown(b, ShiftState(E->modifiers(), E->buttons()), p.x(), p.y());
}

void TRiriWidget::mouseMoveEvent(QMouseEvent* E) {
    const QPoint p = E->position().toPoint();
    FMemo->MouseMove(ShiftState(E->modifiers(), E->buttons()), p.x(), p.y());
    const std::int32_t d = FMemo->AutoScrollDelay();
    if (d >= 0 && !FAuto.isActive()) FAuto.start(d);
}

void TRiriWidget::AutoScroll() {
    FMemo->AutoScrollStep();
    const std::int32_t d = FMemo->AutoScrollDelay();
    if (d >= 0) FAuto.start(std::max(d, 1));
}

void TRiriWidget::mouseReleaseEvent(QMouseEvent* E) {
    FAuto.stop();
    const auto b = E->button() == Qt::LeftButton ? TDudiRiri::mbLeft : E->button() == Qt::RightButton ? TDudiRiri::mbRight : TDudiRiri::mbMiddle;
    const QPoint p = E->position().toPoint();
    FMemo->MouseUp(b, ShiftState(E->modifiers(), E->buttons()), p.x(), p.y());
}

void TRiriWidget::mouseDoubleClickEvent(QMouseEvent* E) {
    if (E->button() == Qt::LeftButton) {
        FMemo->MouseDown(TDudiRiri::mbLeft, ShiftState(E->modifiers(), E->buttons()) | TDudiRiri::ssDouble,
                         static_cast<int>(E->position().x()), static_cast<int>(E->position().y()));
        FMemo->DblClick();
    }
}

void TRiriWidget::wheelEvent(QWheelEvent* E) {
    FMemo->MouseWheel(E->angleDelta().y(), ShiftState(E->modifiers()));
    E->accept();
}

void TRiriWidget::focusInEvent(QFocusEvent* E) {
    QAbstractScrollArea::focusInEvent(E);
    FBlink.start();
    FCaretOn = true;
    FMemo->FocusChanged(true);
    UpdateCaretRect();
    viewport()->update(FCaretRect);
}

void TRiriWidget::focusOutEvent(QFocusEvent* E) {
    QAbstractScrollArea::focusOutEvent(E);
    FBlink.stop();
    FMemo->FocusChanged(false);
    viewport()->update(FCaretRect);
}

void TRiriWidget::scrollContentsBy(int, int) {
    if (FSettingBars) return;
    const std::int32_t vpos = verticalScrollBar()->value();
    const std::int32_t hpos = horizontalScrollBar()->value();
    const std::int64_t v = static_cast<std::int64_t>(vpos) * FVertUnit;
    const std::int32_t h = hpos * FHorzUnit;
    std::int64_t vv = v;
    if (FMemo->HasOption(droNoFineScroll)) vv = vv / std::max(1, FMemo->LineHeight()) * std::max(1, FMemo->LineHeight());
    FMemo->SetViewOffsets(h, vv, false);
}

bool TRiriWidget::focusNextPrevChild(bool Next) {
    // Tab reaches the editor unless it does not want tabs.
    if (FMemo->WantTabs && !FMemo->DisplayOnly) return false;
    return QAbstractScrollArea::focusNextPrevChild(Next);
}

}  // namespace tarvex
