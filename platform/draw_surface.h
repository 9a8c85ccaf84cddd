#pragma once
// The drawing part of the canvas: what painting an editor needs. Colours are
// 0x00BBGGRR values or system colours (0x80000000 | index), resolved by the
// implementation.

#include <cstdint>
#include <string>

#include "platform/canvas.h"

namespace tarvex {

struct TRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool Intersects(const TRect& O) const { return Left < O.Right && O.Left < Right && Top < O.Bottom && O.Top < Bottom; }
};

enum TLineStyle : std::uint8_t { lsSolid, lsDash, lsDot, lsDashDot, lsDashDotDot, lsNone };

class TDrawSurface : public TCanvas {
public:
    virtual void FillRect(const TRect& R, std::int32_t Color) = 0;
    // Count bytes of Text in the selected font with the baseline at Y; glyphs
    // sit at exactly the advances TextExtent adds up.
    virtual void DrawText(std::int32_t X, std::int32_t Y, const char* Text, int Count, std::int32_t Color) = 0;
    virtual void DrawLine(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, std::int32_t Color,
                          TLineStyle Style, std::int32_t Width) = 0;
    // Inverts the colours of the area (selection without own colours).
    virtual void InvertRect(const TRect& R) = 0;
    // Tiles a picture so that tile (0, 0) starts at (OffsetX, OffsetY) relative to R's corner.
    virtual void TileImage(const TRect& R, const std::string& Image, std::int32_t OffsetX, std::int32_t OffsetY) = 0;
    virtual bool HasImage(const std::string& Image) = 0;
};

}  // namespace tarvex
