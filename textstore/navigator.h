#pragma once
// TRiriNavigator: a position in the text of one editor. It keeps one absolute
// position and caches, lazily, what derives from it: the paragraph, the offset
// in it, the display line inside the paragraph and the index of the next
// highlighting change point. Navigators register with their editor so that
// edits can shift and invalidate them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "textstore/dyn_info.h"
#include "textstore/lines_list.h"
#include "textstore/par_info.h"
#include "textstore/types.h"

namespace tarvex {

class TComponent;
class TDudiRiriBase;
class TParagraphsList;
struct TReplaceResult;

struct TPoint {
    std::int32_t X = 0;
    std::int64_t Y = 0;
};

class TRiriNavigator {
public:
    // Memo may be nullptr; any other component that is not an editor raises
    // "Internal error: component is not a TDudiRiri".
    explicit TRiriNavigator(TComponent* Memo = nullptr);
    // An editor's navigator (the passes make several per paragraph: no type check needed).
    explicit TRiriNavigator(TDudiRiriBase* Memo);
    explicit TRiriNavigator(std::nullptr_t) {}
    ~TRiriNavigator();
    TRiriNavigator(const TRiriNavigator&) = delete;
    TRiriNavigator& operator=(const TRiriNavigator&) = delete;

    std::function<void(TRiriNavigator*)> OnDestroy;

    TDudiRiriBase* Memo() const { return FMemo; }
    // Moves the registration to another editor (nullptr: free-standing).
    void Bind(TDudiRiriBase* Memo);

    void Assign(const TRiriNavigator& Source);
    // Drops every cached value; Pos stays.
    void Invalidate();
    // Drops the cached display line and change-point index only.
    void ResetLineAndDyn() { FDynNb = FLineNb = -1; }

    // --- setters (Pos always valid; the rest is derived on demand)
    void SetPos(TPos P);
    void SetParNb(std::int32_t I);
    void SetParOffset(std::int32_t O);
    void SetDisplayLine(std::int32_t L);
    void SetVisibleLine(std::int32_t L);
    void SetLineColumn(std::int32_t C);

    // --- getters
    TPos Pos() const { return FPos; }
    ParInfo* Par();
    std::int32_t ParNb();
    std::int32_t ParOffset();
    // Index of the first change point whose offset is not below ParOffset.
    std::int32_t DynNb();
    // The first display line of the paragraph whose Stop is above ParOffset (a
    // position equal to a line's Stop belongs to the next line); the last line
    // when there is none.
    std::int32_t LineNb();
    TLinesList& Lines();
    LineInfo& CurrentLine();
    std::int32_t DisplayLine();  // FirstLine + LineNb with word wrap, else ParNb
    std::int32_t VisibleLine();  // FirstLine + LineNb
    std::int32_t LineColumn();
    std::string LineText();
    // The character at the position: CR at the paragraph end, LF behind it.
    unsigned char CurrentChar();
    // Count characters from Pos with CR LF for every break.
    std::string GetText(TPos Count);
    std::string CurrentWord();
    std::uint8_t StaticStyle();

    // --- highlighting change points
    void SkipEqual();
    const TDynInfo& CurrentAttr();
    void CopyAttr(TDynInfo& Dest) { Dest = CurrentAttr(); }
    void InsertAttr(const TDynInfo& Attr);
    void DeleteAttr();
    bool PrevChangePoint(TPos Bound);
    bool NextChangePoint(TPos Bound);

    // --- word moves (by the editor's separator set)
    void WordLeft();
    void WordRight();
    void WordEnd();
    void WordStart();

    // --- visual columns in this navigator's paragraph (tab width = the editor's TabStops)
    std::int32_t OffsetToColumn(std::int32_t Offset);
    std::int32_t ColumnToOffset(std::int32_t Column);
    std::int32_t ColumnExcess(std::int32_t Column);

    // --- pixels (through the editor's canvas, margins and alignment), in text
    // coordinates: x from the left edge of an unscrolled view, y from the top of
    // the first display line. The view's scroll offsets are not applied.
    // x of the position inside its display line.
    std::int32_t PosToX();
    // Moves to the character boundary nearest to X on the current display line.
    void XToPos(std::int32_t X);
    // y of the top of the position's display line.
    std::int64_t PixelY();
    void PixelToPos(std::int32_t X, std::int64_t Y);
    TPoint PosToPixel();
    // Width of the character at the position in its font (0 at a paragraph end).
    std::int32_t CharWidth();

    // --- used by the store and the editor
    // Sets a resolved position directly (display line and change point recomputed on demand).
    void SetResolved(std::int32_t ParNb, std::int32_t Offset, TPos Pos);
    // Follows an edit made elsewhere: positions behind the replaced range move
    // by its length change, those inside it move to its start.
    void AdjustAfterReplace(const TReplaceResult& R);

private:
    TParagraphsList& List() const;
    void Resolve();
    bool IsSeparator(unsigned char C) const;
    void Step(TPos D) { SetPos(FPos + D); }

    TDudiRiriBase* FMemo = nullptr;
    TPos FPos = 0;
    ParInfo* FPar = nullptr;
    std::int32_t FParNb = -1;
    std::int32_t FParOffset = -1;
    std::int32_t FDynNb = -1;
    std::int32_t FLineNb = -1;
    std::unique_ptr<TLinesList> FLines;
};

// Visual columns of a paragraph's text: a tab moves to the next multiple of
// Tab (by one column when Tab <= 0); with StaticFormat the style characters
// take no column; every other character takes one.
std::int32_t ColumnAdvance(unsigned char C, std::int32_t Column, std::int32_t Tab, bool StaticFormat);
std::int32_t OffsetToColumn(std::string_view Text, std::int32_t Offset, std::int32_t Tab, bool StaticFormat);
// The offset reached walking while the column stays at most Column (a tab that
// would jump past it is not passed).
std::int32_t ColumnToOffset(std::string_view Text, std::int32_t Column, std::int32_t Tab, bool StaticFormat);
// The columns beyond the text or inside a tab at Column.
std::int32_t ColumnExcess(std::string_view Text, std::int32_t Column, std::int32_t Tab, bool StaticFormat);

}  // namespace tarvex
