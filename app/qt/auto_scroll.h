#pragma once
// Auto-scroll: a timer moves the editor's view down one pixel a tick. Its
// interval is the TimeScroll setting (1 to 5,000 ms); stopping puts the caret
// at the start of the first line wholly in view. The Scroll command and
// button toggle it, the speed commands and Ctrl with plus or minus change it,
// and with BtMiddle a middle click in the editor does either.

#include <QObject>
#include <QTimer>

namespace tarvex {

class TFrmMainTarvex;

class TAutoScroll : public QObject {
public:
    static constexpr int kMinInterval = 1, kMaxInterval = 5000, kDefaultInterval = 30;
    // Belongs to the window; found again with Of().
    explicit TAutoScroll(TFrmMainTarvex& W);
    static TAutoScroll& Of(TFrmMainTarvex& W);

    bool Running() const { return FTimer.isActive(); }
    int Interval() const;
    void Start();
    void Stop();
    void Toggle();
    // Faster (a shorter interval) or slower by one millisecond; both start it.
    void SpeedUp();
    void SlowDown();
    void DefaultSpeed();
    // One tick: the view one pixel down.
    void Tick();

private:
    void SetInterval(int Ms);
    void ShowState();

    TFrmMainTarvex& FW;
    QTimer FTimer;
};

// The editor's own keys and mouse clicks that the window answers: Ctrl+Delete
// deletes a word, the space bar pages down while read-only, Ctrl with plus,
// equals or minus changes the scroll speed, the middle button scrolls (with
// BtMiddle), and clicks, focus and the Delete key refresh the status bar.
void InstallEditorHooks(TFrmMainTarvex& W);

}  // namespace tarvex
