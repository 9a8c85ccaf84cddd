#pragma once
// TParagraphsList: the whole text of one editor as a list of paragraph records
// in 32 KB blocks. Loaded text stays in large shared load buffers until a
// paragraph is edited; an edited paragraph gets a buffer of its own.
//
// Blocks are filled up to RecordsPerBlock records; inserting or deleting
// paragraphs moves records only inside one block (a full block is split), so
// an edit costs the same at any size. A record keeps its start position and
// first display line relative to its block; each block keeps its first
// record's index and the bases of both, and a change that shifts everything
// behind a block is recorded once, as a step applied lazily to every later
// block (moving the step costs the number of blocks it passes).

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "textstore/dyn_store.h"
#include "textstore/large_alloc.h"
#include "textstore/par_info.h"
#include "textstore/stream.h"
#include "textstore/types.h"

namespace tarvex {

class TRiriNavigator;
class TParagraphsList;

using TProgressEvent = std::function<void(TParagraphsList&)>;

// A load buffer: loaded paragraphs point into it until they are edited. A
// text handed over by an edit is kept the same way, in its own string.
struct TLoadBuffer {
    TLargeBuffer Buf;
    std::string Adopted;
    std::int64_t Used = 0;  // bytes holding paragraph text (breaks included)

    const char* Begin() const { return Buf.Data() ? Buf.Data() : Adopted.data(); }
    std::size_t Size() const { return Buf.Data() ? Buf.Size() : Adopted.size(); }
};

// What a replace did, for the caller that keeps other positions up to date.
struct TReplaceResult {
    bool AttrsRemoved = false;  // highlighting entries lay inside the replaced range
    std::int32_t LinesAdded = 0;
    TPos Delta = 0;  // change of the total length
    TPos OldFrom = 0, OldTo = 0;  // the replaced range before the edit
    TPos NewFrom = 0;             // its start after trailing blanks before it were cut (<= OldFrom)
    TPos NewEnd = 0;              // just behind the inserted text
    std::int32_t FirstPar = 0;    // paragraph of the start
    std::int32_t LastOldPar = 0;  // paragraph of the end before the edit
    std::int32_t LastNewPar = 0;  // paragraph of the end after the edit
    bool Structural = false;      // paragraphs were joined or split: cached record pointers are stale
};

// A replacement inside one paragraph: Length characters at Offset give way to
// Text, which holds no line break.
struct TParEdit {
    std::int32_t Par = 0;
    std::int32_t Offset = 0;
    std::int32_t Length = 0;
    std::string_view Text;
};

class TParagraphsList {
public:
    // The largest paragraph count; more would overflow 32-bit line counters.
    static constexpr std::int32_t kMaxParagraphs = 2'000'000'000;
    // The longest paragraph: its buffer size L + L/64 + 1 must fit in 31 bits.
    static constexpr std::int32_t kMaxParLen = 2'113'664'000;
    static constexpr int kBlockSize = 32768;
    static constexpr std::int32_t kRecordsPerBlock = kBlockSize / static_cast<std::int32_t>(sizeof(ParInfo));

    TParagraphsList();
    ~TParagraphsList();
    TParagraphsList(const TParagraphsList&) = delete;
    TParagraphsList& operator=(const TParagraphsList&) = delete;

    std::int32_t Count() const { return FCount; }
    // Record Index. A negative Index means record 0; Index >= Count raises
    // "List index out of bounds".
    ParInfo& Par(std::int32_t Index);
    const ParInfo& Par(std::int32_t Index) const;
    // Unchecked; Index must lie in 0..Count-1.
    ParInfo& At(std::int32_t Index) const {
        const std::int32_t b = BlockOf(Index);
        return FBlocks[static_cast<std::size_t>(b)].Items[Index - First(b)];
    }

    // The absolute position of paragraph Index's first character.
    TPos StartPos(std::int32_t Index) const {
        const std::int32_t b = BlockOf(Index);
        return BlockStart(b) + FBlocks[static_cast<std::size_t>(b)].Items[Index - First(b)].StartRel();
    }
    // The index of paragraph Index's first display line.
    std::int32_t FirstLine(std::int32_t Index) const {
        const std::int32_t b = BlockOf(Index);
        return BlockLine(b) + FBlocks[static_cast<std::size_t>(b)].Items[Index - First(b)].FLineRel;
    }
    void SetFirstLine(std::int32_t Index, std::int32_t Line);
    // Appends a record; returns its index.
    std::int32_t Add(const ParInfo& Record, TPos StartPos, std::int32_t FirstLine);

    // Records a block holds at most; tests lower it to reach block boundaries
    // with little text. Changing it empties the list.
    std::int32_t RecordsPerBlock() const { return FPerBlock; }
    void SetRecordsPerBlock(std::int32_t N);
    std::int32_t BlockCount() const { return static_cast<std::int32_t>(FBlocks.size()); }
    // Throws ERiriError when the blocks' bookkeeping is not consistent: the
    // first indexes are the running counts, every block but an empty list's
    // holds records, the pending step lies within the blocks.
    void CheckBlocks() const;

    std::vector<TLoadBuffer> LoadBuffers;
    bool StaticFormat = false;
    std::uint8_t Changing = 0;
    TPos TotalLen = 0;           // the last paragraph's StartPos + its Len
    std::int32_t LineCount = 0;  // the sum of every paragraph's LineCount()
    std::int32_t DirtyFirstLine = 0, DirtyFirstPar = 0, DirtyLastPar = -1;
    std::int32_t LineDelta = 0;
    std::int32_t KeysThrough = -1;
    // Start-stop keys are applied to every paragraph in (KeysThrough,
    // KeysAhead] but to some at or before KeysHole: an edit lowers
    // KeysThrough, yet the paragraphs behind what it and its ripple reached
    // keep their keys, and the walk to a later paragraph jumps over them.
    // Both -1 when nothing is known ahead.
    std::int32_t KeysAhead = -1, KeysHole = -1;
    void ResetKeys() { KeysThrough = KeysAhead = KeysHole = -1; }
    // Before paragraphs P1..P2 are replaced by P1..NewLast (or, with NewLast
    // == P2, edited in place): what is known ahead moves with them, and the
    // edited paragraphs become holes.
    void NoteKeysEdit(std::int32_t P1, std::int32_t P2, std::int32_t NewLast);
    std::int32_t FormatNext = 0;
    std::int32_t FormatLast = -1;
    bool LinesAdjusted = false;
    std::int32_t AdjustedEnd = 0;  // with LinesAdjusted: where the edited text ends in its paragraph
    // Limits (lowered by tests to reach the refusals without gigabytes of text).
    std::int32_t MaxCount = kMaxParagraphs;
    std::int32_t MaxParLen = kMaxParLen;
    // Handed-over texts below this size are copied like any other (lowered by
    // tests; a string below 32 bytes may keep its text inside the object).
    std::size_t AdoptMinSize = 1 << 20;

    // Replaces the content by the text of Stream from its position on.
    // FoundBreak receives the last break kind seen and is left as it was when
    // the text holds no break. A NUL byte ends the text unless NullReplace is
    // not 0, in which case every NUL becomes NullReplace.
    void LoadFromStream(TStream& Stream, char NullReplace, std::uint32_t ProgressInterval,
                        const TProgressEvent& OnProgress, TRiriLineBreak& FoundBreak, bool TrimTrailing);
    void SaveToStream(TStream& Stream, bool CleanCodes, std::uint32_t ProgressInterval,
                      const TProgressEvent& OnProgress, TRiriLineBreak LineBreak, bool TrimTrailing);
    void Clear();

    // Replaces the text between the two navigators by NewText. NewText is split
    // into paragraphs at CR (CR LF is one break; a lone LF is an ordinary
    // character). FromNav stays at the start, ToNav ends just behind the new
    // text. Other navigators are the caller's to adjust (see TReplaceResult).
    // Raises "Text too long" (changing nothing) when a paragraph would exceed MaxParLen.
    // With Adopt (NewText is then its content) of AdoptMinSize bytes or
    // more, the store takes the string over: whole new paragraphs point into
    // it instead of being copied, and load buffers no paragraph uses any more
    // are freed.
    TReplaceResult ReplaceText(std::string_view NewText, TRiriNavigator& FromNav, TRiriNavigator& ToNav,
                               bool BalanceCodes, bool TrimTrailing, std::string* Adopt = nullptr);
    // Frees the load buffers that no paragraph points into.
    void ReleaseUnusedLoadBuffers();
    // Applies replacements inside paragraphs (sorted by paragraph and offset,
    // not overlapping) without joining or splitting any: each edited
    // paragraph gets its new text as one display line, not laid out, its
    // change points inside replaced text removed and the others moved; the
    // start positions behind follow in one pass. Raises "Text too long"
    // (changing nothing) when a paragraph would exceed MaxParLen. Returns the
    // edited paragraphs, ascending; AttrsRemoved receives, for each, whether
    // change points went.
    std::vector<std::int32_t> EditInPlace(const std::vector<TParEdit>& Edits, std::vector<bool>& AttrsRemoved);

    // Replaces the content by Text, split into paragraphs as ReplaceText
    // splits (at CR; CR LF is one break), keeping the string itself as the
    // paragraphs' load buffer: no copy of the text is made. Raises "Text too
    // long" or "Too many paragraphs" with the store left empty.
    void AdoptText(std::string&& Text, bool TrimTrailing);
    // The reverse of AdoptText while nothing has been edited since: the
    // adopted string with its breaks back in place, the store left empty.
    // False (nothing changed) when the paragraphs no longer lie in it as adopted.
    bool ReleaseAdoptedText(std::string& Text);

    void MarkDirty(std::int32_t ParIndex, std::int32_t LineInPar, std::int32_t LastPar);
    void InvalidateLayout();
    // Every paragraph shorter than KeepFrom loses its layout, its keys and its
    // change points (a highlighter is set or lists change); one walk over the
    // blocks, which a text of a hundred million paragraphs needs.
    void ForgetHighlighting(std::int32_t KeepFrom);

    // Add a delta to the start position, the first line or both of every
    // paragraph from FromPar to the end: the rest of FromPar's block one by
    // one, the blocks behind through the step.
    void ShiftStart(std::int32_t FromPar, TPos Delta) { ShiftBoth(FromPar, Delta, 0); }
    void ShiftLines(std::int32_t FromPar, std::int32_t Delta) { ShiftBoth(FromPar, 0, Delta); }
    void ShiftBoth(std::int32_t FromPar, TPos PosDelta, std::int32_t LineDelta);
    // Visits the paragraphs Pars (ascending, distinct) in order: Visit(i) is
    // called when paragraph i's start position and first line are up to date,
    // and returns the change of position and of first line of every paragraph
    // behind it. One pass: record by record in the blocks holding visited
    // paragraphs, through the block bases elsewhere. Returns the sums.
    std::pair<TPos, std::int32_t> ShiftBehind(const std::vector<std::int32_t>& Pars,
                                              const std::function<std::pair<TPos, std::int32_t>(std::int32_t)>& Visit);

    // The states the change points of this text refer to.
    TDynStates States;

    // --- change points
    // A paragraph's points, sorted by offset. The view is valid until that
    // paragraph's points change (DynForWrite of it, or of another paragraph
    // while this one is the one open for writing).
    TDynView Dyn(const ParInfo& P) const {
        if (&P == FOpen) return TDynView(FOpenPoints.data(), static_cast<std::int32_t>(FOpenPoints.size()), 8);
        std::uint32_t start;
        return FDyn.View(P.FPoints, start);
    }
    std::int32_t DynCount(const ParInfo& P) const {
        return &P == FOpen ? static_cast<std::int32_t>(FOpenPoints.size()) : FDyn.Count(P.FPoints);
    }
    std::int32_t DynOffset(const ParInfo& P, std::int32_t I) const { return Dyn(P).Offset(I); }
    const TDynInfo& DynAttr(const ParInfo& P, std::int32_t I) const { return States[Dyn(P).State(I)]; }
    // The attribute in force behind change point I - 1 (the start attribute for I = 0).
    const TDynInfo& AttrBefore(const ParInfo& P, std::int32_t I) const {
        return I > 0 ? DynAttr(P, I - 1) : StartAttr(P);
    }
    TDynPoint MakePoint(std::int32_t Offset, const TDynInfo& A) { return {Offset, States.Intern(A)}; }
    // Gives change point I another state.
    void SetDynAttr(ParInfo& P, std::int32_t I, const TDynInfo& A);
    // The paragraph's points for changing: P becomes the paragraph open for
    // writing (the one open before is stored away first). The reference stays
    // valid until another paragraph is opened or records move.
    std::vector<TDynPoint>& DynForWrite(ParInfo& P) {
        if (&P != FOpen) Open(P);
        return FOpenPoints;
    }
    // The highlighting state in force at the paragraph's start (the default
    // attribute unless it starts inside a highlighted span).
    const TDynInfo& StartAttr(const ParInfo& P) const {
        const std::uint32_t s = StartState(P);
        return s == 0 ? *DefaultAttr() : States[s];
    }
    std::uint32_t StartState(const ParInfo& P) const { return &P == FOpen ? FOpenStart : FDyn.StartState(P.FPoints); }
    // A state without an own attribute is stored as the default one.
    void SetStartAttr(ParInfo& P, const TDynInfo& A);
    void SetStartState(ParInfo& P, std::uint32_t State);
    // Removes the paragraph's points and resets its start state.
    void ClearDyn(ParInfo& P);
    // Stores the paragraph open for writing away.
    void CommitDyn();
    // Memory the change points take, in bytes.
    std::size_t DynBytes() const { return FDyn.Bytes() + FOpenPoints.capacity() * sizeof(TDynPoint); }
    // Frees the record's text, long form and change points.
    void FreeRecord(ParInfo& P);

    // The paragraph holding Pos (the largest one starting at or before it), by binary search.
    std::int32_t ParagraphAt(TPos Pos) const;
    // The paragraph holding display line Line (the largest one whose FirstLine is at most Line).
    std::int32_t ParagraphOfLine(std::int32_t Line) const;

private:
    friend class TParagraphLoader;
    struct TBlock {
        ParInfo* Items = nullptr;
        TPos Start = 0;          // base of its records' start positions (before the step)
        std::int32_t First = 0;  // index of its first record (before the step)
        std::int32_t Line = 0;   // base of its records' first lines (before the step)
        std::int32_t Count = 0;
        bool Pooled = false;     // allocated from a slab
    };

    // Blocks from FStep on get the step's deltas on top of their own values.
    std::int32_t First(std::int32_t B) const {
        return FBlocks[static_cast<std::size_t>(B)].First + (B >= FStep ? FStepFirst : 0);
    }
    TPos BlockStart(std::int32_t B) const {
        return FBlocks[static_cast<std::size_t>(B)].Start + (B >= FStep ? FStepStart : 0);
    }
    std::int32_t BlockLine(std::int32_t B) const {
        return FBlocks[static_cast<std::size_t>(B)].Line + (B >= FStep ? FStepLine : 0);
    }
    // The block holding record Index (0 <= Index < Count).
    std::int32_t BlockOf(std::int32_t Index) const {
        const std::int32_t h = FHint.load(std::memory_order_relaxed);
        if (h < static_cast<std::int32_t>(FBlocks.size())) {
            const std::int32_t f = First(h);
            if (Index >= f && Index < f + FBlocks[static_cast<std::size_t>(h)].Count) return h;
        }
        return FindBlock(Index);
    }
    std::int32_t FindBlock(std::int32_t Index) const;
    // Adds the deltas to every block from B on (through the step).
    void AddFrom(std::int32_t B, std::int32_t DFirst, TPos DStart, std::int32_t DLine);
    // Moves the step to start at block B.
    void MoveStep(std::int32_t B);
    // Applies the step to every block: no step is pending afterwards.
    void SettleStep() { MoveStep(static_cast<std::int32_t>(FBlocks.size())); }
    void SetStartPos(std::int32_t Index, TPos Pos);
    // Opens N record slots at Index (later records move up) / removes N
    // records at Index (their data already freed). Positions and first lines
    // of the records that stay keep their values.
    void InsertRecords(std::int32_t Index, std::int32_t N);
    void DeleteRecords(std::int32_t Index, std::int32_t N);
    ParInfo* AllocBlock(bool& Pooled);
    void FreeBlock(ParInfo* B, bool Pooled);
    void FreeAllRecords();
    void FreeAllBlocks();
    void Open(ParInfo& P);

    void AdjustFormatRange(std::int32_t First, std::int32_t LastOld, std::int32_t D);
    void ReplaceInParagraph(TReplaceResult& R, std::int32_t P, std::int32_t O1, std::int32_t O2,
                            std::string_view Piece);
    // With InPlace, the pieces between the first and the last lie in a
    // writable buffer the store keeps: those paragraphs point into it.
    void ReplaceAcrossParagraphs(TReplaceResult& R, std::int32_t P1, std::int32_t O1, std::int32_t P2,
                                 std::int32_t O2, std::vector<std::string_view>& Pieces, bool InPlace);
    // Whether Text lies in an own buffer of the paragraphs P1..P2.
    bool InOwnBuffers(std::string_view Text, std::int32_t P1, std::int32_t P2) const;
                                 
    std::vector<TBlock> FBlocks;
    std::int32_t FCount = 0;
    std::int32_t FPerBlock = kRecordsPerBlock;
    std::int32_t FStep = 0;  // the first block the step applies to; FBlocks.size() when none
    std::int32_t FStepFirst = 0;
    TPos FStepStart = 0;
    std::int32_t FStepLine = 0;
    mutable std::atomic<std::int32_t> FHint{0};  // the block found last

    // Blocks of large lists come from huge-page slabs; the first few are
    // ordinary allocations so that small lists stay small.
    static constexpr int kSlabBlocks = 64;
    static constexpr int kPlainBlocks = 16;
    std::vector<TLargeBuffer> FSlabs;
    std::vector<ParInfo*> FFreeBlocks;  // slab blocks not in use
    std::size_t FSlabUsed = 0;
    std::size_t FPooledInUse = 0;
    std::size_t FPlainInUse = 0;

    TDynStore FDyn;
    ParInfo* FOpen = nullptr;  // the paragraph whose points are in FOpenPoints
    std::vector<TDynPoint> FOpenPoints;
    std::uint32_t FOpenStart = 0;
};

// Replaces [O1, O2) of the paragraph's text by A followed by B, applying the
// buffer policy (grow with 1/64 slack, change in place while the new length
// stays above 8/9 of the buffer, else shrink). A and B must not lie in the
// paragraph's own buffer. Does not change the recorded length.
void EditParText(ParInfo& Par, std::int32_t O1, std::int32_t O2, std::string_view A, std::string_view B = {});

}  // namespace tarvex
