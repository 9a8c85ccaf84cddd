#pragma once
// TRiriHost: what an editor asks of the window that shows it. A Qt widget
// implements it; TNullHost stands in when there is no window at all (tests,
// batch tools, the hidden copy a printout is laid out in).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvex {

class TCanvas;

// Mouse cursors the editor asks for (a highlighter may ask for others by number).
enum TRiriCursor : std::int16_t { crDefault = 0, crArrow = -2, crIBeam = -4, crDrag = -12, crRightArrow = 1, crDragCopy = 2 };

struct TMenuItem {
    std::string Caption;  // "-" for a separator
    bool Enabled = true;
};

struct TScrollInfo {
    std::int32_t Max = 0;
    std::int32_t Page = 0;
    std::int32_t Pos = 0;
};

class TRiriHost {
public:
    virtual ~TRiriHost() = default;
    // True while the editor has a window (a drawing surface); background
    // layout and caret handling only happen then.
    virtual bool HasWindow() const = 0;
    // Display lines First..Last (Last -1: to the end) must be painted again.
    virtual void InvalidateLines(std::int32_t First, std::int32_t Last) = 0;
    virtual void InvalidateAll() = 0;
    virtual void SetScrollBars(const TScrollInfo& Vertical, const TScrollInfo& Horizontal) = 0;
    // The caret moved (client coordinates of its top-left corner, and its size).
    virtual void UpdateCaret(std::int32_t X, std::int64_t Y, std::int32_t Width, std::int32_t Height) = 0;
    // Runs F on the thread that owns the editor and waits for it; called by
    // the background layout thread.
    virtual void RunBlockingOnUiThread(const std::function<void()>& F) = 0;
    // On the user-interface thread: runs the work background threads wait for.
    virtual void RunPendingUiTasks() = 0;
    // The clipboard holds Unicode text, and a mark for a column block.
    virtual void SetClipboardText(const std::u16string& Text, bool BlockMarker) = 0;
    virtual bool GetClipboardText(std::u16string& Text, bool& BlockMarker) = 0;
    // Scrolls the window contents (what scrolls in is painted later) and paints at once.
    virtual void ScrollContents(std::int32_t /*Dx*/, std::int32_t /*Dy*/) { InvalidateAll(); }
    virtual void UpdateNow() {}
    virtual void SetCursor(std::int16_t /*Cursor*/) {}
    virtual bool HasFocus() const { return HasWindow(); }
    // Shows a popup menu at client coordinates; returns the chosen index or -1.
    virtual std::int32_t PopupMenu(const std::vector<TMenuItem>& /*Items*/, std::int32_t /*X*/, std::int32_t /*Y*/) { return -1; }
    // Lines scrolled per wheel notch in the system settings.
    virtual std::int32_t WheelScrollLines() const { return 3; }
};

// No window: nothing is painted, background work is done at once.
class TNullHost : public TRiriHost {
public:
    bool HasWindow() const override { return false; }
    void InvalidateLines(std::int32_t, std::int32_t) override {}
    void InvalidateAll() override {}
    void SetScrollBars(const TScrollInfo&, const TScrollInfo&) override {}
    void UpdateCaret(std::int32_t, std::int64_t, std::int32_t, std::int32_t) override {}
    void RunBlockingOnUiThread(const std::function<void()>& F) override { F(); }
    void RunPendingUiTasks() override {}
    void SetClipboardText(const std::u16string& Text, bool BlockMarker) override {
        FClip = Text;
        FBlock = BlockMarker;
    }
    bool GetClipboardText(std::u16string& Text, bool& BlockMarker) override {
        Text = FClip;
        BlockMarker = FBlock;
        return !FClip.empty();
    }

private:
    std::u16string FClip;
    bool FBlock = false;
};

}  // namespace tarvex
