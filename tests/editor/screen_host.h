#pragma once
// A window stand-in that keeps what painting leaves on screen: a pixel grid
// drawn through the draw surface, repainted only where the editor invalidated
// lines or scrolled pixels in, as a real window does. Comparing it with a
// fresh paint of the whole window shows a missed repaint.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/dudi_riri.h"
#include "platform/draw_surface.h"
#include "platform/fixed_canvas.h"
#include "tests/editor/test_host.h"

namespace tarvex::test {

// Records draws into a pixel grid; each pixel holds the character drawn over
// it (0 for a fill), its colour and font style, and whether it is inverted.
class TPixelScreen : public TDrawSurface {
public:
    TPixelScreen(TFixedCanvas& Metrics, std::int32_t W, std::int32_t H)
        : C(Metrics), W(W), H(H), Px(static_cast<std::size_t>(W) * H, 0) {}

    void SelectFont(const TFontSpec& F) override { C.SelectFont(F); }
    const TFontSpec& Font() const override { return C.Font(); }
    using TCanvas::TextExtent;
    int TextExtent(const char* Text, int Count) override { return C.TextExtent(Text, Count); }
    TFontMetrics Metrics() override { return C.Metrics(); }
    const int* Advances() override { return C.Advances(); }

    void FillRect(const TRect& R, std::int32_t Color) override { Put(R, Cell(0, Color)); }
    void DrawText(std::int32_t X, std::int32_t Y, const char* Text, int Count, std::int32_t Color) override {
        const std::int32_t top = Y - C.Metrics().Ascent, bottom = top + C.Metrics().Height;
        for (int i = 0; i < Count; ++i) {
            const std::int32_t l = X + C.TextExtent(Text, i), r = X + C.TextExtent(Text, i + 1);
            Put(TRect{l, top, r, bottom}, Cell(static_cast<unsigned char>(Text[i]), Color));
        }
    }
    void DrawLine(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, std::int32_t Color, TLineStyle,
                  std::int32_t Width) override {
        Put(TRect{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2) + Width, std::max(Y1, Y2) + Width}, Cell(1, Color));
    }
    void InvertRect(const TRect& R) override {
        ForEach(R, [](std::uint64_t& P) { P ^= std::uint64_t(1) << 63; });
    }
    void TileImage(const TRect& R, const std::string&, std::int32_t, std::int32_t) override { FillRect(R, 0x123456); }
    bool HasImage(const std::string&) override { return false; }

    // Draws of the next paint reach only this area, as a window's clip region.
    void SetClip(const TRect& R) { Clip = R; }
    // Moves the pixels as a window scroll does; what moves in is left as it was.
    void Scroll(std::int32_t Dx, std::int32_t Dy) {
        const std::vector<std::uint64_t> old = Px;
        for (std::int32_t y = 0; y < H; ++y)
            for (std::int32_t x = 0; x < W; ++x) {
                const std::int32_t sx = x - Dx, sy = y - Dy;
                if (sx >= 0 && sx < W && sy >= 0 && sy < H) Px[Index(x, y)] = old[Index(sx, sy)];
            }
    }
    std::uint64_t At(std::int32_t X, std::int32_t Y) const { return Px[Index(X, Y)]; }
    // The characters drawn along pixel row Y, for messages.
    std::string Row(std::int32_t Y) const {
        std::string s;
        std::uint64_t last = ~std::uint64_t(0);
        for (std::int32_t x = 0; x < W; ++x) {
            const std::uint64_t p = Px[Index(x, Y)];
            const char ch = static_cast<char>((p >> 40) & 0xFF);
            if (p != last && ch >= ' ') s += ch;
            last = p;
        }
        return s;
    }
    std::int32_t Width() const { return W; }
    std::int32_t Height() const { return H; }

private:
    static std::uint64_t Cell(unsigned char Ch, std::int32_t Color) {
        return (std::uint64_t(Ch) << 40) | static_cast<std::uint32_t>(Color);
    }
    std::size_t Index(std::int32_t X, std::int32_t Y) const { return static_cast<std::size_t>(Y) * W + X; }
    template <class F>
    void ForEach(const TRect& R, F Fn) {
        const std::int32_t l = std::max({R.Left, Clip.Left, 0}), r = std::min({R.Right, Clip.Right, W});
        const std::int32_t t = std::max({R.Top, Clip.Top, 0}), b = std::min({R.Bottom, Clip.Bottom, H});
        for (std::int32_t y = t; y < b; ++y)
            for (std::int32_t x = l; x < r; ++x) Fn(Px[Index(x, y)]);
    }
    void Put(const TRect& R, std::uint64_t V) {
        const std::uint64_t style = std::uint64_t(C.Font().Style) << 32;
        ForEach(R, [V, style](std::uint64_t& P) { P = V | style; });
    }

    TFixedCanvas& C;
    const std::int32_t W, H;
    std::vector<std::uint64_t> Px;
    TRect Clip{0, 0, 1 << 30, 1 << 30};
};

// A host whose window is a TPixelScreen: invalidated pixel rows are painted
// when Flush runs (or the editor asks for an immediate paint).
class TScreenHost : public TTestHost {
public:
    TScreenHost(TDudiRiri& Memo, TFixedCanvas& Metrics, std::int32_t W, std::int32_t H)
        : M(Memo), Screen(Metrics, W, H), Dirty(static_cast<std::size_t>(H), true) {}

    void InvalidateLines(std::int32_t First, std::int32_t Last) override {
        ++Invalidations;
        const std::int64_t lh = std::max(1, M.LineHeight());
        const std::int64_t top = First * lh - M.VertOffset;
        const std::int64_t bottom = Last < 0 ? Screen.Height() : (Last + 1) * lh - M.VertOffset;
        MarkRows(top, bottom);
    }
    void InvalidateAll() override {
        ++Invalidations;
        MarkRows(0, Screen.Height());
    }
    void ScrollContents(std::int32_t Dx, std::int32_t Dy) override {
        ++Scrolls;
        ScrolledY += Dy;
        Screen.Scroll(Dx, Dy);
        std::vector<bool> moved(Dirty.size(), false);
        for (std::int32_t y = 0; y < Screen.Height(); ++y) {
            const std::int32_t sy = y - Dy;
            moved[static_cast<std::size_t>(y)] = sy < 0 || sy >= Screen.Height() || Dirty[static_cast<std::size_t>(sy)];
        }
        Dirty = moved;
        // A sideways scroll exposes a strip on every row.
        if (Dx != 0) MarkRows(0, Screen.Height());
    }
    void UpdateNow() override {
        ++ImmediateUpdates;
        Flush();
    }

    // Paints every run of invalidated rows, as the window's paint event does.
    void Flush() {
        for (std::int32_t y = 0; y < Screen.Height();) {
            if (!Dirty[static_cast<std::size_t>(y)]) {
                ++y;
                continue;
            }
            std::int32_t e = y;
            while (e < Screen.Height() && Dirty[static_cast<std::size_t>(e)]) Dirty[static_cast<std::size_t>(e++)] = false;
            const TRect clip{0, y, Screen.Width(), e};
            Screen.SetClip(clip);
            M.Paint(Screen, clip);
            y = e;
        }
        Screen.SetClip(TRect{0, 0, Screen.Width(), Screen.Height()});
    }

    TDudiRiri& M;
    TPixelScreen Screen;

private:
    void MarkRows(std::int64_t Top, std::int64_t Bottom) {
        const std::int64_t t = std::clamp<std::int64_t>(Top, 0, Screen.Height());
        const std::int64_t b = std::clamp<std::int64_t>(Bottom, 0, Screen.Height());
        for (std::int64_t y = t; y < b; ++y) Dirty[static_cast<std::size_t>(y)] = true;
    }
    std::vector<bool> Dirty;
};

}  // namespace tarvex::test
