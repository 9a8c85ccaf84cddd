#include "app/qt/auto_scroll.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "app/qt/main_window.h"
#include "app/text_edits.h"

namespace tarvex {

TAutoScroll::TAutoScroll(TFrmMainTarvex& W) : QObject(&W), FW(W) {
    setObjectName("AutoScroll");
    connect(&FTimer, &QTimer::timeout, this, [this] { Tick(); });
}

TAutoScroll& TAutoScroll::Of(TFrmMainTarvex& W) {
    if (auto* a = W.findChild<TAutoScroll*>("AutoScroll", Qt::FindDirectChildrenOnly)) return *a;
    return *new TAutoScroll(W);
}

int TAutoScroll::Interval() const {
    const std::int64_t t = FW.Settings().TimeScroll;
    return t > 0 ? static_cast<int>(std::clamp<std::int64_t>(t, kMinInterval, kMaxInterval)) : kDefaultInterval;
}

void TAutoScroll::SetInterval(int Ms) {
    FW.Settings().TimeScroll = std::clamp(Ms, kMinInterval, kMaxInterval);
    FTimer.setInterval(Interval());
}

void TAutoScroll::Start() {
    if (Running()) return;
    FTimer.start(Interval());
    ShowState();
}

void TAutoScroll::Stop() {
    if (!Running()) return;
    FTimer.stop();
    ShowState();
    TDudiRiri& m = FW.Memo();
    if (m.LineCount() > 1) {
        // The caret to the first line wholly in view.
        const std::int32_t lh = std::max(1, m.LineHeight());
        std::int32_t line = m.TopLine();
        if (m.VertOffset % lh != 0 && line + 1 < m.LineCount()) ++line;
        TRiriNavigator at(&m);
        at.SetVisibleLine(line);
        m.SetSelStart(at.Pos());
        m.KeepCaretInView();
    }
    FW.MedSelMove();
}

void TAutoScroll::Toggle() { Running() ? Stop() : Start(); }

void TAutoScroll::SpeedUp() {
    SetInterval(Interval() - 1);
    Start();
}

void TAutoScroll::SlowDown() {
    SetInterval(Interval() + 1);
    Start();
}

void TAutoScroll::DefaultSpeed() { SetInterval(kDefaultInterval); }

void TAutoScroll::Tick() {
    TDudiRiri& m = FW.Memo();
    if (m.LineCount() <= 1) return;
    const std::int32_t lh = std::max(1, m.LineHeight());
    const std::int64_t last = std::max<std::int64_t>(0, static_cast<std::int64_t>(m.LineCount()) * lh - m.ClientHeight() + 3);
    if (m.VertOffset < last) m.SetViewOffsets(m.HorzOffset, m.VertOffset + 1, false);
}

void TAutoScroll::ShowState() {
    if (QAction* a = FW.Action("mScrollRun")) a->setChecked(Running());
}

namespace {

class TEditorHooks : public QObject {
public:
    explicit TEditorHooks(TFrmMainTarvex& W) : QObject(&W), FW(W) {}

protected:
    bool eventFilter(QObject* O, QEvent* E) override {
        switch (E->type()) {
            case QEvent::KeyPress: return Key(*static_cast<QKeyEvent*>(E));
            case QEvent::KeyRelease:
                if (static_cast<QKeyEvent*>(E)->key() == Qt::Key_Delete) FW.MedSelMove();
                return false;
            case QEvent::FocusIn: FW.MedSelMove(); return false;
            case QEvent::MouseButtonPress:
                if (O == FW.Med->viewport()) return MiddleButton(*static_cast<QMouseEvent*>(E));
                return false;
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                if (O == FW.Med->viewport()) QMetaObject::invokeMethod(&FW, [w = &FW] { w->MedSelMove(); }, Qt::QueuedConnection);
                return false;
            default: return false;
        }
    }

private:
    bool Key(const QKeyEvent& K) {
        const Qt::KeyboardModifiers mods = K.modifiers() & ~Qt::KeypadModifier;
        const bool ctrl = mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier);
        TDudiRiri& m = FW.Memo();
        if (ctrl && (K.key() == Qt::Key_Plus || K.key() == Qt::Key_Equal)) {
            TAutoScroll::Of(FW).SpeedUp();
            return true;
        }
        if (ctrl && (K.key() == Qt::Key_Minus || K.key() == Qt::Key_Underscore)) {
            TAutoScroll::Of(FW).SlowDown();
            return true;
        }
        if (K.key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
            if (!FW.Settings().ReadOnly && DeleteWordForward(m)) {
                m.KeepCaretInView();
                FW.MedSelMove();
            }
            return true;
        }
        if (K.key() == Qt::Key_Space && mods == Qt::NoModifier && FW.Settings().ReadOnly) {
            m.KeyDown(TDudiRiri::VK_NEXT, 0);
            FW.MedSelMove();
            return true;
        }
        return false;
    }

    bool MiddleButton(const QMouseEvent& E) {
        if (E.button() != Qt::MiddleButton || !FW.Settings().BtMiddle) return false;
        const int y = static_cast<int>(E.position().y());
        TAutoScroll& a = TAutoScroll::Of(FW);
        if (y < 20)
            a.SpeedUp();
        else if (y > FW.Med->viewport()->height() - 20)
            a.SlowDown();
        else
            a.Toggle();
        return true;
    }

    TFrmMainTarvex& FW;
};

}  // namespace

void InstallEditorHooks(TFrmMainTarvex& W) {
    auto* hooks = new TEditorHooks(W);
    W.Med->installEventFilter(hooks);
    W.Med->viewport()->installEventFilter(hooks);
}

}  // namespace tarvex
