#pragma once
// TCustomExtHighlighter: the base of the language highlighters. Its keys carry
// contexts (the context a key gives its text, the context it may match in, a
// scope threshold), its regions nest up to the depth of the attribute's
// context stack, and highlighters chain: a SubHighlighter continues where
// this one finds nothing, its key numbers shifted past this one's (KeyBase).

#include <bitset>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/ext_lists.h"
#include "highlight/word_index.h"
#include "textstore/dyn_info.h"
#include "textstore/highlight_passes.h"
#include "textstore/highlighter.h"
#include "textstore/paragraphs_list.h"

namespace tarvex {

class TDudiRiriBase;
class TParagraphsList;
struct ParInfo;

class TCustomExtHighlighter : public TRiriHighlighter {
public:
    TCustomExtHighlighter();
    ~TCustomExtHighlighter() override;

    TExtKeywordList& Keywords() { return FKeywords; }
    const TExtKeywordList& Keywords() const { return FKeywords; }
    TExtStartStopList& StartStopKeys() { return FStartStopKeys; }
    const TExtStartStopList& StartStopKeys() const { return FStartStopKeys; }

    // The characters that end a word; default tab, space, "," "." ";".
    virtual std::string Separators() const;
    virtual void SetSeparators(std::string_view V);
    bool IsSeparator(unsigned char C) const { return FSeparators[C]; }

    TRiriHighlighter* SubHighlighter() const { return FSubHighlighter; }
    // Raises "Circular highlighting references" (changing nothing) when the
    // chain from H leads back to this highlighter.
    void SetSubHighlighter(TRiriHighlighter* H);

    // False: the own lists are not scanned; the chain still continues.
    bool Active = true;

    using TQueryKeywordEvent = std::function<void(TCustomExtHighlighter& Sender, TRiriNavigator& From,
                                                  TRiriNavigator& To, std::int32_t Keyword, bool& DoHilit)>;
    using TQueryHilitEvent = std::function<void(TCustomExtHighlighter& Sender, std::int16_t Scope, bool& DoHilit)>;
    TQueryKeywordEvent OnQueryKeyword;
    TQueryHilitEvent OnQueryStart, OnQueryStop;

    // KeyBase of the last keyword pass and of the last start-key search.
    std::int32_t KeywordBase() const { return FKeywordBase; }
    std::int32_t StartBase() const { return FStartBase; }

    void ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;
    bool FindStartKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;
    bool FindStopKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;
    void MouseNotify(TDudiRiriBase& Memo, std::uint32_t Flags) override;
    bool AdjustFormatStart(TRiriNavigator& Nav) override;

    // What the keyword list allows at all, for passing over runs under which
    // none of its keys can apply (KeyApplies refuses every one there).
    struct TKeysUnder {
        bool Starts = false;                   // of the start keys
        bool Everywhere = false;               // a key with scope kScopeEverywhere
        std::int32_t MaxScope = INT32_MIN;     // the largest scope threshold of keys valid in context 0
        std::vector<std::int16_t> Contexts;    // the valid contexts of the keys
        bool MayApply(const TCustomExtHighlighter& H, const TDynInfo& A) const;
    };

protected:
    void Notification(TRiriHighlighter* Gone) override;

    // The scope of the innermost open key of A: 0 outside any, 32767 inside a
    // keyword, else the scope threshold of the start-stop entry that opened it
    // when that entry is this highlighter's (numbered from StartBase).
    std::int16_t ScopeOf(const TDynInfo& A, std::int32_t StartBase) const;
    // Whether a key with this valid context and scope threshold applies under A.
    bool KeyApplies(std::int16_t ValidContext, std::int16_t Threshold, const TDynInfo& A, std::int32_t StartBase,
                    bool StartKey) const;
    // Opens a region at Offset of Nav's paragraph with attribute R (offset and
    // length KeyLen of its key): change points inside the key go, one already
    // at Offset is replaced. StopNav ends behind the key.
    void OpenRegion(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t Offset, std::int32_t KeyLen,
                    const TDynInfo& R);
    // Closes the region in force at Nav at [StopAt, StopAt + StopLen): change
    // points inside the stop key go, After takes effect behind it (KeyLen 0),
    // StopNav ends there.
    void CloseRegion(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t StopAt, std::int32_t StopLen,
                     TDynInfo After);
    // The state before the region whose top entry is at depth Depth and that is
    // in force at offset Offset of paragraph P.
    static TDynInfo StateBefore(TDudiRiriBase& M, std::int32_t P, std::int32_t Offset, std::int32_t Depth);

    // Where the region in force at offset Co of Nav's paragraph ends in this
    // paragraph (A: the attribute there, Entry its own entry; InForce: change
    // points up to Co): the offset and length of its stop, false when it runs on.
    bool FindRegionStop(TRiriNavigator& Nav, std::int32_t Co, std::int32_t InForce, std::int32_t Entry,
                        std::int32_t& At, std::int32_t& Len);

    TDynInfo KeywordAttr(const TDynInfo& A, std::int32_t Index, std::int32_t KeyBase, std::int32_t Len) const;

    TKeysUnder KeysUnder() const;
    TKeysUnder StartKeysUnder() const;

    // What a kind of key run's record is made of besides the state it lies
    // over (style, colours, context, length, key number).
    struct TRunSig {
        std::int32_t V[7] = {};
        bool operator==(const TRunSig&) const = default;
    };
    // The state of a run of kind Kind over state From in L's table, as
    // KeyRunRecord(States[From], Make()) interned. A pass asks this millions
    // of times and gets a few distinct answers, so answers are remembered per
    // kind while the kind's Sig and the table stay the same.
    template <class F>
    std::uint32_t RunState(TParagraphsList& L, std::uint32_t Kind, const TRunSig& Sig, std::uint32_t From, F&& Make);

    // The default token style (published by descendants).
    bool FAltFont = false;
    std::int16_t FContextNum = 0;
    std::int32_t FBackground = clNone;
    std::int32_t FForeground = clNone;
    std::uint8_t FStyle = 0;
    std::int32_t FPriority = 0;
    std::int32_t FScope = 0;

private:
    void IndexKeys();

    TExtKeywordList FKeywords;
    TExtStartStopList FStartStopKeys;
    std::bitset<256> FSepSet;
    bool FSeparators[256] = {};
    TRiriHighlighter* FSubHighlighter = nullptr;
    std::int32_t FKeywordBase = 0, FStartBase = 0;
    // Keys by the byte they may begin with (keywords: plain and folded forms).
    std::uint32_t FIndexedVersion = 0xFFFFFFFF;
    std::vector<std::int32_t> FKeysByFirst[256];  // keys not found by their whole word
    // Whole-word keys without a separator inside, by their text (as searched):
    // at a word start one look-up finds them.
    TWordIndex FWordKeysPlain, FWordKeysFolded;
    std::vector<std::int32_t> FStartsByFirst[256];
    bool FStartsIndexed = false;
    // Kept with the indexes: their lists' valid contexts and scopes change only with them.
    TKeysUnder FKeysUnder, FStartsUnder;
    bool FAllCaseSensitive = true;
    struct TRunKind {
        TRunSig Sig;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> Runs;  // state in force, state of the run
    };
    std::vector<TRunKind> FRunKinds;
    std::uint64_t FRunGeneration = 0;  // of the state table FRunKinds refers to
    std::uint32_t RememberedRun(TParagraphsList& L, std::uint32_t Kind, const TRunSig& Sig, std::uint32_t From);
    void RememberRun(std::uint32_t Kind, std::uint32_t From, std::uint32_t State);
    // Scratch reused from one paragraph to the next.
    std::string FFolded;
    std::vector<std::pair<std::int32_t, std::int32_t>> FCandidates;
    struct TMatch {
        std::int32_t Key, Offset, Len;
    };
    std::vector<TMatch> FBatch;
};

// The record of a key run with attribute Attr over A: the nesting counter
// carries on from an own attribute, the run's own flag is set.
TDynInfo KeyRunRecord(const TDynInfo& A, const TDynInfo& Attr);

// ApplyAttribute over [A, B) with Set; a key-made change point left at A's
// offset just before the new run's (so never in force) is dropped.
void ApplyRun(TDudiRiriBase& M, TRiriNavigator& A, TRiriNavigator& B, const TDynInfo& Attr);
// The same for a span [Offset, Offset + Len) of paragraph P that holds no change
// point inside, A being the attribute in force at Offset: no navigators, one
// change of the point array.
void PutKeyRun(TDudiRiriBase& M, std::int32_t P, std::int32_t Offset, std::int32_t Len, const TDynInfo& A,
               const TDynInfo& Attr);
// The same with the run's state already interned (KeyRunRecord of the attribute in force and the key's).
void PutKeyRunState(TDudiRiriBase& M, std::int32_t P, std::int32_t Offset, std::int32_t Len, std::uint32_t Run);

// The number of the state in force at Offset of P (change points at Offset included).
std::uint32_t StateAtOffset(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset);

// The context number of text under A (0 for text without an own attribute).
inline std::int32_t ContextOf(const TDynInfo& A) { return (A.Flags & dfOwn) ? A.Context : 0; }

template <class F>
std::uint32_t TCustomExtHighlighter::RunState(TParagraphsList& L, std::uint32_t Kind, const TRunSig& Sig,
                                              std::uint32_t From, F&& Make) {
    std::uint32_t s = RememberedRun(L, Kind, Sig, From);
    if (s == UINT32_MAX) {
        s = L.States.Intern(KeyRunRecord(L.States[From], Make()));
        RememberRun(Kind, From, s);
    }
    return s;
}

}  // namespace tarvex
