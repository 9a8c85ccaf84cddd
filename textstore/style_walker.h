#pragma once
// Walks a paragraph keeping the static style, the highlighting attribute in
// force and the font selected in the canvas in step with the position. Layout,
// x-from-position and position-from-x all measure through it, so they agree.

#include <algorithm>
#include <cstdint>

#include "platform/canvas.h"
#include "textstore/layout.h"
#include "textstore/memo_base.h"
#include "textstore/par_info.h"
#include "textstore/static_format.h"

namespace tarvex {

class TStyleWalker {
public:
    struct Mark {
        std::uint8_t SStyle;
        std::int32_t Idx;
    };

    TStyleWalker(TDudiRiriBase& Memo, TCanvas* Canvas, TFormatState& State, ParInfo& Par)
        : M(Memo), C(Canvas), St(State), P(Par), D(Memo.Pars.Dyn(Par)) {}

    // Starts at Offset with static style S; change points at Offset are not passed yet.
    void Start(std::int32_t Offset, std::uint8_t S) {
        SStyle = S;
        Idx = FirstAtOrAfter(Offset);
        Refresh();
    }
    // Passes the change points at or before Pos.
    void PassTo(std::int32_t Pos) {
        if (Pos < Next) return;
        while (Idx < Count() && D.Offset(Idx) <= Pos) ++Idx;
        Refresh();
    }
    void Fold(unsigned char Code) {
        SStyle ^= StyleCodeBit(Code);
        UpdateFont();
    }
    Mark Save() const { return {SStyle, Idx}; }
    void Restore(const Mark& K) {
        SStyle = K.SStyle;
        Idx = K.Idx;
        Refresh();
    }

    std::int32_t FirstAtOrAfter(std::int32_t Offset) const { return D.CountBelow(Offset); }

    std::int32_t CharWidth(unsigned char Ch) {
        if (Adv) return Adv[Ch];
        if (!C) return 0;
        const char c = static_cast<char>(Ch);
        return C->TextExtent(&c, 1);
    }
    // The extent of a run in the current font.
    std::int64_t Measure(const char* T, std::int32_t N) {
        if (N <= 0 || !C) return 0;
        if (Adv) {
            std::int64_t w = 0;
            for (std::int32_t i = 0; i < N; ++i) w += Adv[static_cast<unsigned char>(T[i])];
            return w;
        }
        return TextExtentSum(*C, T, N, M.MeasuringChunk);
    }

    std::uint8_t SStyle = 0;
    std::int32_t Idx = 0;          // change points passed
    std::int32_t Next = INT32_MAX;  // offset of the next change point
    const int* Adv = nullptr;

private:
    std::int32_t Count() const { return D.size(); }
    void Refresh() {
        Next = Idx < Count() ? D.Offset(Idx) : INT32_MAX;
        UpdateFont();
    }
    void UpdateFont() {
        const TDynInfo& a = Idx > 0 ? M.Pars.States[D.State(Idx - 1)] : M.Pars.StartAttr(P);
        const std::uint8_t eff = M.EffectiveStyle(SStyle, a);
        const std::int32_t key = eff & ~fsHighlight;  // bit 4 is a colour only
        if (key != St.Selected) {
            St.Selected = key;
            if (C) {
                M.SelectStyleFont(*C, eff);
                MeasureSpace(*C, St.SpaceWidth, St.Overhang);
            }
        }
        Adv = C ? C->Advances() : nullptr;
    }

    TDudiRiriBase& M;
    TCanvas* C;
    TFormatState& St;
    ParInfo& P;
    const TDynView D;
};

}  // namespace tarvex
