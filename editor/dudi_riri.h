#pragma once
// TDudiRiri: the editing control over one text store. Everything it does
// (properties, selection, the editing primitive, undo, layout drivers) is
// plain C++; a window is only a TRiriHost that shows it.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw_surface.h"
#include "editor/host.h"
#include "editor/key_map.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "editor/options.h"
#include "editor/undo_list.h"

namespace tarvex {

class TDudiRiri;
class TRiriParaStrings;
class TRiriLinesStrings;
class TdrFormatThread;
class TdrsCollapseHandler;

// Another component that follows an editor (an exporter, a status display).
class TLinkedObject {
public:
    virtual ~TLinkedObject() = default;
    virtual void LinkNotify(TDudiRiri& Sender, std::uint32_t Code) = 0;
};

class TDudiRiri : public TDudiRiriBase {
public:
    explicit TDudiRiri(TRiriHost* Host = nullptr);
    ~TDudiRiri() override;

    // --- the window
    TRiriHost& Host() { return *FHost; }
    // A window was created for the editor (nullptr: it has none).
    void SetHost(TRiriHost* Host);

    // --- published properties (the constructor gives the defaults)
    static constexpr const char* kVersion = "Quillan";
    std::string Version() const { return kVersion; }
    void SetVersion(std::string_view) {}

    TDudiRiriOptions Options() const { return FOptions; }
    void SetOptions(TDudiRiriOptions V);
    bool HasOption(TDudiRiriOption O) const { return FOptions & O; }

    void SetWordWrap(bool V) override;
    void SetAlignment(TAlignment V) override;
    void SetJustified(bool V) override;
    void SetTabStops(std::int32_t V) override;
    void SetColumnWrap(std::int32_t V) override;
    void SetLeftMargin(std::int32_t V) override;
    void SetRightMargin(std::int32_t V) override;
    void SetFont(const TFontSpec& F) override;
    void SetAltFont(const TFontSpec& F) override;
    void SetStaticFormat(bool V) override;
    void SetClientSize(std::int32_t W, std::int32_t H) override;
    void SetCanvas(TCanvas* C) override;
    void SetSeparators(std::string_view V) override;
    void SetHighlighter(TRiriHighlighter* H) override;

    bool ReadOnly = false;
    bool DisplayOnly = false;
    bool Overwrite = false;
    bool PassOverCodes = true;
    bool HideSelection = true;
    bool ShowEndParSelected = true;
    bool EnableHotKeys = true;
    bool WantTabs = true;
    TBorderStyle BorderStyle = bsSingle;
    TScrollStyle ScrollBars = ssNone;
    std::int32_t CaretWidth = 1;
    std::int32_t MouseWheelFactor = -1;
    std::int32_t ScrollTime = 300;
    std::int32_t RightLinePos = 0;
    std::uint8_t ShowNonPrintChars = 0;
    std::int32_t Color = clWindow;
    std::int32_t HighlightColor = clRed;
    std::int32_t HighlightBackgnd = clWindow;
    std::int32_t SelBackColor = clHighlight;
    std::int32_t SelTextColor = clHighlightText;
    TPen EndOfTextMark{clRed, psSolid, 1};
    TPen RightLinePen{clGray, psDot, 1};
    TPen SpecUnderline{clRed, psSolid, 1};
    std::string BackgroundBmp;  // file of a picture tiled behind the text; empty: none
    char NullReplacement = 0;
    std::uint32_t ProgressInterval = 300;
    TRiriLineBreak LineBreak = pbCRLF;
    TdrsCollapseHandler* CollapseHandler = nullptr;

    // --- events
    std::function<void(TDudiRiri&)> OnChange, OnSelMove, OnStyleChange, OnProgress, OnHScroll, OnVScroll;
    std::function<void(TDudiRiri&, TPos StartOffset, TPos StopOffset)> OnParse;
    std::function<void(TDudiRiri&, std::int32_t Context, TPos StartOffset, TPos StopOffset)> OnContext;
    std::function<void(TDudiRiri&, std::string& Txt)> OnBeforeChange;

    // --- linked objects (two lists; the second also gets text-changed messages)
    void AddLink(TLinkedObject* L, bool Second = false);
    void RemoveLink(TLinkedObject* L);
    void NotifyLinks(std::uint32_t Code);

    // --- selection and caret
    TPos SelStart() const { return FCaret->Pos(); }
    void SetSelStart(TPos V);
    TPos SelLength() const;
    void SetSelLength(TPos V);
    std::string SelText();
    void SetSelText(std::string_view V);
    std::int32_t SelPar();
    void SetSelPar(std::int32_t V);
    std::int32_t SelLine();
    void SetSelLine(std::int32_t V);
    std::int32_t SelCol();
    void SetSelCol(std::int32_t V);
    void SelectAll();
    void SelectWord(bool ExtendEnd);
    void ClearSelection() { SetSelText({}); }
    void ToggleStyleCode(char Code);
    TRiriNavigator& SelStartNav() { return *FSelStartNav; }
    TRiriNavigator& SelEndNav() { return *FSelEndNav; }
    TRiriNavigator& CaretNav() { return *FCaret; }
    std::int32_t VirtualSpaces = 0;
    bool Modified = false;
    bool NoMerge = false;
    bool BlockSelected = false;
    std::int32_t BlockCol1 = 0, BlockCol2 = 0;  // the column block's character columns
    std::int32_t RememberedX = -1;              // for vertical moves; -1 unset

    // --- text
    void SetTextBuf(std::string_view Txt);
    std::string Text() const { return TDudiRiriBase::Text(); }
    void SetText(std::string_view V) { SetTextBuf(V); }
    void Clear() { SetTextBuf({}); }
    std::int32_t LineCount() const { return Pars.LineCount; }
    std::string Paragraph(std::int32_t I) const { return std::string(Pars.Par(I).View()); }
    void SetParagraph(std::int32_t I, std::string_view S);
    virtual void LoadFromStream(TStream& S);
    virtual void SaveToStream(TStream& S);
    bool FindText(std::string_view Text, bool Forward, bool FromBoundary, bool WholeWord, bool MatchCase);

    // The one editing primitive: replaces the selection by Txt. SuppressTail
    // leaves out the code clean-up, the caret move and the refresh. With
    // Adopt (Txt is then its content) the text store keeps the string instead
    // of copying it: large replacements cost no second copy.
    virtual void SetSelTextBuf(std::string_view Txt) { ReplaceSelection(Txt, false); }
    void ReplaceSelection(std::string_view Txt, bool SuppressTail, std::string* Adopt = nullptr);
    // SetSelTextBuf handing Txt over (it is left empty or unspecified).
    void SetSelTextMoved(std::string&& Txt) { ReplaceSelection(Txt, false, &Txt); }
    // Many replacements as one undo step, for commands that change words all
    // over a large text: the ranges are sorted and do not overlap, and
    // neither a range nor its new text holds a paragraph break, so that only
    // the paragraphs edited are laid out and highlighted again and the undo
    // record keeps only what was replaced. The caret ends behind the last new
    // text, with no selection. Needs CanReplaceRanges().
    void ReplaceRanges(const std::vector<TTextEdit>& Edits);
    // Off with static formatting and trailing-blank removal, whose edits reach
    // beyond the ranges.
    bool CanReplaceRanges() const { return !StaticFormat() && !HasOption(droDiscardTrailingSpaces); }
    // The whole text replaced by NewText's bytes as one undo step, for
    // commands that rewrite gigabytes: OldText, which must be the current
    // text with CR LF breaks, becomes the undo record without a copy, and the
    // old paragraphs are freed before the new ones are made. NewText is
    // loaded as a file is, so it must hold no NUL byte and no CR or LF
    // outside a CR LF pair; it may read from OldText, which is taken over
    // only once NewText is loaded. The caret goes to the start. When loading
    // fails the old text is put back and the error passes on.
    void ReplaceAllFromStream(TStream& NewText, std::string&& OldText);

    // Replaces the whole text by what Convert makes of the old one, as one
    // undo step, holding no more than the old and the new text at once: the
    // store lets go of the old text before Convert runs and keeps the new
    // string as it is (texts of WholeTextMinSize bytes or more; smaller ones
    // go through the editing primitive). Convert returns false to keep the
    // text (nothing recorded). The caret goes to the start. Returns whether
    // the text was replaced.
    bool TransformWholeText(const std::function<bool(const std::string& Old, std::string& New)>& Convert);
    std::int64_t WholeTextMinSize = std::int64_t(1) << 20;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    std::int32_t UpdateCount() const { return FUpdateCount; }
    // The first visible display line.
    std::int32_t TopLine();
    void SetTopLine(std::int32_t L);
    // 100 * laid-out paragraphs / paragraphs; 99 while any is left.
    std::int32_t FormatProgress() const;
    void ReApplyKeywords();
    // Raises "Error N ..." + Version when the bookkeeping does not hold.
    void CheckConsistency() const;
    virtual void Change();

    // --- undo and redo
    void Undo();
    void Redo();
    bool CanUndo() const { return FUndo.Position >= (FUndoing ? 2 : 1); }
    bool CanRedo() const { return FUndoing ? FUndo.Count() >= FUndo.Position : FUndo.Count() > FUndo.Position; }
    void ClearUndo() { FUndo.Clear(); }
    std::int32_t UndoMaxLevel() const { return FUndoMaxLevel; }
    void SetUndoMaxLevel(std::int32_t V);
    std::int64_t UndoMaxSpace() const { return FUndoMaxSpace; }
    void SetUndoMaxSpace(std::int64_t V);
    TUndoList& UndoList() { return FUndo; }
    // Marks the last record as one step with the one before (a drag move).
    void GroupLastUndo(bool Grouped);

    // --- views
    TRiriParaStrings& Paragraphs() { return *FParagraphs; }
    TRiriLinesStrings& Lines() { return *FLines; }

    // --- layout
    TdrUpdateMode UpdateMode() const { return FUpdateMode; }
    void SetUpdateMode(TdrUpdateMode M);
    // One background slice of at most 25 ms (the answer to the layout thread).
    void FormatSlice();
    // Lays out paragraph P when it is not yet (keys applied first).
    void FormatThrough(std::int32_t P);
    // Lays out what is pending among the Lines paragraphs above P and P itself.
    void FormatAbove(std::int32_t P, std::int32_t Lines);
    // False while paragraphs before the caret's wait for layout: SelLine is
    // then an estimate that grows as the layout goes on.
    bool SelLineIsFinal() const;
    // Lays out everything still pending at once.
    void FormatPending();
    bool FormatThreadRunning() const;

    // The rest of the control's machinery (display update, caret) that the
    // primitive and the background call.
    virtual void RefreshAfterChange();
    virtual void UpdateScrollRange();
    virtual void UpdateCaretPos();

    // --- painting (client coordinates)
    void Paint(TDrawSurface& S, const TRect& Clip);
    // The caret's rectangle (Width 0: no caret to show).
    TRect CaretRect();
    std::int32_t Baseline();
    std::int32_t AverageWidth();
    std::int32_t VisibleLines();

    // --- scrolling
    // The view's offsets in pixels: text x of the client area's left edge, and
    // text y of its top edge (line i occupies [i, i + 1) x line height).
    std::int32_t HorzOffset = 0;
    std::int64_t VertOffset = 0;
    std::int64_t VertUnit();
    std::int32_t HorzUnit();
    // Moves the view; animated by ScrollTime unless Animate is false.
    void SetViewOffsets(std::int32_t H, std::int64_t V, bool Animate = true);
    enum TScrollRequest : std::uint8_t { sbLineUp, sbLineDown, sbPageUp, sbPageDown, sbThumbTrack, sbThumbPosition, sbEnd };
    void VScroll(TScrollRequest R, std::int32_t ThumbPos = 0);
    void HScroll(TScrollRequest R, std::int32_t ThumbPos = 0);
    void KeepCaretInView();

    // --- keyboard (Windows virtual-key codes; Shift state bits)
    enum : std::uint32_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
    enum : std::uint16_t {
        VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18, VK_ESCAPE = 27,
        VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
        VK_INSERT = 45, VK_DELETE = 46, VK_APPS = 93
    };
    // Returns true when the key was consumed.
    bool KeyDown(std::uint16_t Key, std::uint32_t Shift);
    // A typed character (a Windows-1251 byte, or a control character).
    void KeyPress(unsigned char Ch);
    void KeyUp(std::uint16_t Key, std::uint32_t Shift);
    std::function<void(TDudiRiri&, std::uint16_t& Key, std::uint32_t Shift)> OnKeyDown;
    // The keys the control handles and the commands they reach.
    TKeyMap& KeyMap() { return FKeyMap; }
    // Runs one editor command (a TEditorCommand, movement ones with ecExtend
    // for a selecting move) as its key would; false when it is not one.
    bool ExecuteCommand(std::uint16_t Command);
    std::function<void(TDudiRiri&, unsigned char& Ch)> OnKeyPress;

    // --- mouse (client coordinates)
    enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
    void MouseDown(TMouseButton Button, std::uint32_t Shift, std::int32_t X, std::int32_t Y);
    void MouseMove(std::uint32_t Shift, std::int32_t X, std::int32_t Y);
    void MouseUp(TMouseButton Button, std::uint32_t Shift, std::int32_t X, std::int32_t Y);
    void DblClick();
    void MouseWheel(std::int32_t Delta, std::uint32_t Shift);
    // Autoscroll while selecting outside the window: the wait before the next
    // step at the current level (ms; 0: none), and one step.
    std::int32_t AutoScrollDelay() const;
    void AutoScrollStep();
    bool Dragging() const { return FDragging; }
    // The text position of the last click on a context run, or of the last double click.
    TPos MouseClickPos() const { return FMouseClickPos; }
    std::function<void(TDudiRiri&, TMouseButton, std::uint32_t, std::int32_t, std::int32_t)> OnAfterMouseDown;
    std::function<void(TDudiRiri&)> OnDblClick;

    // --- clipboard
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool CanCut() const { return !ReadOnly && !DisplayOnly && SelLength() != 0; }
    bool CanCopy() const { return !DisplayOnly && SelLength() != 0; }
    bool CanPaste() const { return !ReadOnly && !DisplayOnly; }
    bool CanSelectAll() const { return !DisplayOnly && CharCount() > 0; }
    // The built-in context menu, in English or Russian.
    bool RussianInterface = false;
    std::vector<TMenuItem> ContextMenuItems();
    void ContextMenuAction(std::int32_t Index);
    void ShowContextMenu(std::int32_t X, std::int32_t Y);

    // --- focus
    void FocusChanged(bool Focused);

protected:
    void StartFormatThreadIfNeeded();
    // Lays out From..To and drops the display lines navigators there cached.
    void FormatLaidOut(std::int32_t From, std::int32_t To);
    void StopFormatThread();
    // Lays out pending paragraphs until Deadline; returns true when none is left.
    bool FormatRun(std::chrono::steady_clock::time_point Deadline);
    void LayoutPropertyChanged();
    void ReloadKeepingModified();
    void RecordUndo(std::string Removed, TPos Start, bool& Merged);
    // Puts record Index's text back in place of the text it was recorded for.
    void ReplayRecord(std::int32_t Index);
    void ReplayRecordText(std::int32_t Index);
    // Adds a record at the undo position (replacing the one there while undoing).
    void StoreUndo(UndoRecord&& Rec);
    // The whole text out of the store, which is left empty: its own string
    // back when it can give it, else a copy.
    std::string TakeWholeText();
    // What a whole-text replacement leaves: navigators at the start, layout
    // pending, the view refreshed.
    void WholeTextReplaced();
    // Replays record Index by swapping texts with the store when it replaced
    // a large whole text; false when it is not such a record.
    bool SwapWholeText(std::int32_t Index);
    void CleanStyleCodes(std::int32_t First, std::int32_t Last, std::int32_t Record);
    TParagraphsList& L() { return Pars; }
    // The two selection ends, lower first.
    TPos SelLow() const;
    TPos SelHigh() const;

    TRiriHost* FHost;
    TNullHost FNullHost;
    TDudiRiriOptions FOptions = kDefaultOptions;
    // FSelStartNav is never behind FSelEndNav. FCaret is one of them, or
    // FPersistentCaret when droPersistentBlocks let the caret leave a selection.
    // FTopNav stands in the display line at the top of the view (VertOffset
    // div line height): it follows the text through edits and layout.
    std::unique_ptr<TRiriNavigator> FSelStartNav, FSelEndNav, FTopNav, FPersistentCaret;
    TRiriNavigator* FCaret;
    std::int32_t FUpdateCount = 0;
    bool FPendingChange = false;  // an edit happened inside an update batch
    TUndoList FUndo;
    bool FUndoing = false;
    std::int32_t FUndoMaxLevel = 1024;
    std::int64_t FUndoMaxSpace = 65536;
    std::unique_ptr<TRiriParaStrings> FParagraphs;
    std::unique_ptr<TRiriLinesStrings> FLines;
    TdrUpdateMode FUpdateMode = umBackground;
    std::shared_ptr<TdrFormatThread> FThread;
    std::vector<TLinkedObject*> FLinks[2];
    std::chrono::steady_clock::time_point FLastProgress{};
    // Input state.
    bool FInKey = false;
    bool FSuppressChar = false;
    bool FLeftDown = false;
    bool FDoubleClicked = false;
    bool FOverSelection = false;
    bool FDragging = false;
    bool FDragCancelled = false;
    bool FDragCopy = false;
    std::int32_t FMarginLine = -1;
    std::int32_t FDownX = 0, FDownY = 0;
    std::int32_t FAutoDir = 0, FAutoLevel = 0;
    std::int32_t FLastMouseX = 0, FLastMouseY = 0;
    std::int32_t FWheelAccum = 0;
    TPos FMouseClickPos = 0;
    std::int16_t FCursor = crIBeam;
    std::chrono::steady_clock::time_point FLastAnimEnd{};
    // Helpers of the input handlers.
    TKeyMap FKeyMap;
    bool DragKey(std::uint16_t Key);
    bool DisplayOnlyKey(std::uint16_t Key, bool Ctrl);
    void MoveCommand(std::uint16_t Command);
    bool HorizontalTarget(TEditorCommand Cmd, TRiriNavigator& Target);
    bool VerticalTarget(TEditorCommand Cmd, bool Extend, TRiriNavigator& Target);
    void PlaceVertically(TRiriNavigator& Target, std::int32_t Line, bool Extend);
    void TypeCharacter(char Ch);
    void CutOrDeleteBack();
    void DeleteToLineEnd();
    // The mouse extends the selection without scrolling: the autoscroll does that.
    void MoveCaretTo(TRiriNavigator& Target, bool Shift, bool KeepInView = true);
    void DeleteKey(bool Ctrl);
    void BackspaceKey(bool Ctrl);
    void EnterKey();
    std::string SmartTabFill();
    void SetBlockAside(bool Aside);
    void SelectTo(TPos P);
    TPos FWordLow = 0, FWordHigh = 0;  // the word a double click selected
    TPos PosAtPoint(std::int32_t X, std::int32_t Y, std::int32_t* XOut = nullptr);
    bool InSelection(TPos P) const;
    void InvalidateLinesOf(TPos A, TPos B);
    void SetMouseCursor(std::int16_t C);
    // Pastes the lines of Text as a column at Col, from paragraph FirstPar down.
    void ColumnPaste(const std::string& Text, std::int32_t FirstPar, std::int32_t Col);
    std::unique_ptr<TRiriNavigator> FAsideA, FAsideB;
    std::int32_t FAsideCol1 = 0, FAsideCol2 = 0;
    bool FAsideBlock = false;
    std::int32_t FAsideDepth = 0;
    TPos FLastSelStart = -1;
    std::int32_t FLastVirtual = -1;
    std::int32_t FLastStyle = -1;
};

// A component without behaviour of its own; no class here collapses paragraphs.
class TdrsCollapseHandler : public TComponent {};

}  // namespace tarvex
