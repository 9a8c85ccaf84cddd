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

#include "host.h"
#include "memo_base.h"
#include "navigator.h"
#include "options.h"
#include "undo_list.h"

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
    // leaves out the code clean-up, the caret move and the refresh.
    virtual void SetSelTextBuf(std::string_view Txt) { ReplaceSelection(Txt, false); }
    void ReplaceSelection(std::string_view Txt, bool SuppressTail);

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
    // Lays out every paragraph up to and including P (keys applied first).
    void FormatThrough(std::int32_t P);
    // Lays out everything still pending at once.
    void FormatPending();
    bool FormatThreadRunning() const;

    // The rest of the control's machinery (display update, caret) that the
    // primitive and the background call; painting hosts fill these in.
    virtual void RefreshAfterChange();
    virtual void UpdateScrollRange();
    virtual void UpdateCaretPos();

protected:
    void StartFormatThreadIfNeeded();
    void StopFormatThread();
    // Lays out pending paragraphs until Deadline; returns true when none is left.
    bool FormatRun(std::chrono::steady_clock::time_point Deadline);
    void LayoutPropertyChanged();
    void ReloadKeepingModified();
    void RecordUndo(std::string Removed, TPos Start, bool& Merged);
    void CleanStyleCodes(std::int32_t First, std::int32_t Last, std::int32_t Record);
    TParagraphsList& L() { return Pars; }
    // The two selection ends, lower first.
    TPos SelLow() const;
    TPos SelHigh() const;

    TRiriHost* FHost;
    TNullHost FNullHost;
    TDudiRiriOptions FOptions = kDefaultOptions;
    std::unique_ptr<TRiriNavigator> FSelStartNav, FSelEndNav, FTopNav;
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
    TPos FLastSelStart = -1;
    std::int32_t FLastVirtual = -1;
    std::int32_t FLastStyle = -1;
};

// A component without behaviour of its own; no class here collapses paragraphs.
class TdrsCollapseHandler : public TComponent {};

}  // namespace tarvex
