#pragma once
// TRiriWidget: the window of an editor control. It forwards paint, key,
// mouse, wheel, focus, resize and scroll-bar events to the control (which
// keeps all the behaviour) and does what the control asks of a window: caret,
// scroll bars, repaints, cursors, the clipboard, menus and the background
// layout thread's steps.

#include <QAbstractScrollArea>
#include <QTimer>
#include <memory>

#include "editor/dudi_riri.h"
#include "platform/qt_canvas.h"
#include "editor/ui_task_queue.h"

namespace tarvex {

class TRiriWidget : public QAbstractScrollArea, public TRiriHost {
public:
    explicit TRiriWidget(QWidget* Parent = nullptr);
    ~TRiriWidget() override;

    TDudiRiri& Memo() { return *FMemo; }
    TQtCanvas& MeasureCanvas() { return FCanvas; }

    // TRiriHost
    bool HasWindow() const override { return true; }
    void InvalidateLines(std::int32_t First, std::int32_t Last) override;
    void InvalidateAll() override;
    void SetScrollBars(const TScrollInfo& Vertical, const TScrollInfo& Horizontal) override;
    void UpdateCaret(std::int32_t X, std::int64_t Y, std::int32_t Width, std::int32_t Height) override;
    void RunBlockingOnUiThread(const std::function<void()>& F) override { FQueue.RunBlocking(F); }
    void RunPendingUiTasks() override { FQueue.RunPending(); }
    void SetClipboardText(const std::u16string& Text, bool BlockMarker) override;
    bool GetClipboardText(std::u16string& Text, bool& BlockMarker) override;
    void ScrollContents(std::int32_t Dx, std::int32_t Dy) override;
    void UpdateNow() override;
    void SetCursor(std::int16_t Cursor) override;
    bool HasFocus() const override { return hasFocus(); }
    std::int32_t PopupMenu(const std::vector<TMenuItem>& Items, std::int32_t X, std::int32_t Y) override;
    std::int32_t WheelScrollLines() const override;

    // The MIME type of the column-block mark on the clipboard.
    static constexpr const char* kBlockMime = "application/x-tarvex-block";

protected:
    void paintEvent(QPaintEvent* E) override;
    void resizeEvent(QResizeEvent* E) override;
    void keyPressEvent(QKeyEvent* E) override;
    void keyReleaseEvent(QKeyEvent* E) override;
    void mousePressEvent(QMouseEvent* E) override;
    void mouseMoveEvent(QMouseEvent* E) override;
    void mouseReleaseEvent(QMouseEvent* E) override;
    void mouseDoubleClickEvent(QMouseEvent* E) override;
    void wheelEvent(QWheelEvent* E) override;
    void focusInEvent(QFocusEvent* E) override;
    void focusOutEvent(QFocusEvent* E) override;
    void scrollContentsBy(int Dx, int Dy) override;
    bool focusNextPrevChild(bool Next) override;

private:
    void UpdateCaretRect();
    void AutoScroll();

    TQtCanvas FCanvas;
    TUiTaskQueue FQueue;
    std::unique_ptr<TDudiRiri> FMemo;
    QTimer FBlink;
    QTimer FAuto;
    QRect FCaretRect;
    bool FCaretOn = true;
    bool FSettingBars = false;
    std::int64_t FVertUnit = 1;
    std::int32_t FHorzUnit = 1;
};

}  // namespace tarvex
