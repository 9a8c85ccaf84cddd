#pragma once
// TParagraphsList: the whole text of one editor as a list of paragraph records
// in 32 KB blocks. Loaded text stays in large shared load buffers until a
// paragraph is edited; an edited paragraph gets a buffer of its own.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textstore/dyn_array.h"
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

class TParagraphsList : public TDynArray2 {
public:
    // The largest paragraph count; more would overflow 32-bit line counters.
    static constexpr std::int32_t kMaxParagraphs = 2'000'000'000;
    // The longest paragraph: its buffer size L + L/64 + 1 must fit in 31 bits.
    static constexpr std::int32_t kMaxParLen = 2'113'664'000;

    TParagraphsList();
    ~TParagraphsList();

    ParInfo& Par(std::int32_t Index) { return *reinterpret_cast<ParInfo*>(ItemPtr(Index)); }
    const ParInfo& Par(std::int32_t Index) const { return *reinterpret_cast<const ParInfo*>(ItemPtr(Index)); }
    // Unchecked; Index must lie in 0..Count-1.
    ParInfo& At(std::int32_t Index) const { return *reinterpret_cast<ParInfo*>(Slot(Index)); }

    std::vector<TLoadBuffer> LoadBuffers;
    bool StaticFormat = false;
    std::uint8_t Changing = 0;
    TPos TotalLen = 0;           // the last paragraph's StartPos + its Len
    std::int32_t LineCount = 0;  // the sum of every paragraph's LineCount()
    std::int32_t DirtyFirstLine = 0, DirtyFirstPar = 0, DirtyLastPar = -1;
    std::int32_t LineDelta = 0;
    std::int32_t KeysThrough = -1;
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

    void ShiftStart(std::int32_t FromPar, TPos Delta);
    void ShiftLines(std::int32_t FromPar, std::int32_t Delta);
    void ShiftBoth(std::int32_t FromPar, TPos PosDelta, std::int32_t LineDelta);

    // The states the change points of this text refer to.
    TDynStates States;

    // A paragraph's change points: how many, where, and the state each sets.
    std::int32_t DynCount(const ParInfo& P) const { return P.DynCount(); }
    std::int32_t DynOffset(const ParInfo& P, std::int32_t I) const { return (*P.Dyn())[static_cast<std::size_t>(I)].Offset; }
    const TDynInfo& DynAttr(const ParInfo& P, std::int32_t I) const {
        return States[(*P.Dyn())[static_cast<std::size_t>(I)].State];
    }
    // The attribute in force behind change point I - 1 (the start attribute for I = 0).
    const TDynInfo& AttrBefore(const ParInfo& P, std::int32_t I) const {
        return I > 0 ? DynAttr(P, I - 1) : *P.StartAttr();
    }
    TDynPoint MakePoint(std::int32_t Offset, const TDynInfo& A) { return {Offset, States.Intern(A)}; }
    // Gives change point I another state.
    void SetDynAttr(ParInfo& P, std::int32_t I, const TDynInfo& A) {
        (*P.Dyn())[static_cast<std::size_t>(I)].State = States.Intern(A);
    }

    // The paragraph holding Pos (the largest one starting at or before it), by binary search.
    std::int32_t ParagraphAt(TPos Pos) const;
    // The paragraph holding display line Line (the largest one whose FirstLine is at most Line).
    std::int32_t ParagraphOfLine(std::int32_t Line) const;

private:
    friend class TParagraphLoader;
    void FreeAllRecords();
    void AdjustFormatRange(std::int32_t First, std::int32_t LastOld, std::int32_t D);
    void ReplaceInParagraph(TReplaceResult& R, std::int32_t P, std::int32_t O1, std::int32_t O2,
                            std::string_view Piece);
    // With InPlace, the pieces between the first and the last lie in a
    // writable buffer the store keeps: those paragraphs point into it.
    void ReplaceAcrossParagraphs(TReplaceResult& R, std::int32_t P1, std::int32_t O1, std::int32_t P2,
                                 std::int32_t O2, std::vector<std::string_view>& Pieces, bool InPlace);
    // Whether Text lies in an own buffer of the paragraphs P1..P2.
    bool InOwnBuffers(std::string_view Text, std::int32_t P1, std::int32_t P2) const;
};

// Replaces [O1, O2) of the paragraph's text by A followed by B, applying the
// buffer policy (grow with 1/64 slack, change in place while the new length
// stays above 8/9 of the buffer, else shrink). A and B must not lie in the
// paragraph's own buffer. Does not change the recorded length.
void EditParText(ParInfo& Par, std::int32_t O1, std::int32_t O2, std::string_view A, std::string_view B = {});

}  // namespace tarvex
