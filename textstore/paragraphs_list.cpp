#include "textstore/paragraphs_list.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace tarvex {

namespace {
// Start positions relative to a block's base are signed 40-bit values.
constexpr std::int64_t kMaxRel = (std::int64_t(1) << 39) - 1;
}  // namespace

TParagraphsList::TParagraphsList() { Clear(); }

TParagraphsList::~TParagraphsList() {
    FreeAllRecords();
    FreeAllBlocks();
}

ParInfo& TParagraphsList::Par(std::int32_t Index) {
    if (Index < 0) Index = 0;
    if (Index >= FCount) throw ERangeError();
    return At(Index);
}

const ParInfo& TParagraphsList::Par(std::int32_t Index) const {
    if (Index < 0) Index = 0;
    if (Index >= FCount) throw ERangeError();
    return At(Index);
}

// --- blocks

ParInfo* TParagraphsList::AllocBlock(bool& Pooled) {
    if (FPlainInUse < kPlainBlocks) {
        auto* p = static_cast<ParInfo*>(std::malloc(kBlockSize));
        if (!p) throw std::bad_alloc();
        ++FPlainInUse;
        Pooled = false;
        return p;
    }
    ParInfo* p;
    if (!FFreeBlocks.empty()) {
        p = FFreeBlocks.back();
        FFreeBlocks.pop_back();
    } else {
        if (FSlabs.empty() || FSlabUsed == kSlabBlocks) {
            FSlabs.emplace_back(static_cast<std::size_t>(kSlabBlocks) * kBlockSize);
            FSlabUsed = 0;
        }
        p = reinterpret_cast<ParInfo*>(FSlabs.back().Data() + FSlabUsed++ * kBlockSize);
    }
    ++FPooledInUse;
    Pooled = true;
    return p;
}

void TParagraphsList::FreeBlock(ParInfo* B, bool Pooled) {
    if (!Pooled) {
        std::free(B);
        --FPlainInUse;
        return;
    }
    FFreeBlocks.push_back(B);
    if (--FPooledInUse == 0) {
        // Nothing lives in the slabs any more: give them back.
        FFreeBlocks.clear();
        FSlabs.clear();
        FSlabUsed = 0;
    }
}

void TParagraphsList::FreeAllBlocks() {
    for (TBlock& b : FBlocks) FreeBlock(b.Items, b.Pooled);
    FBlocks.clear();
    FStep = 0;
    FStepFirst = FStepLine = 0;
    FStepStart = 0;
}

std::int32_t TParagraphsList::FindBlock(std::int32_t Index) const {
    const auto nb = static_cast<std::int32_t>(FBlocks.size());
    // Walks in order mostly go on to the next block.
    const std::int32_t h = FHint.load(std::memory_order_relaxed) + 1;
    if (h < nb) {
        const std::int32_t f = First(h);
        if (Index >= f && Index < f + FBlocks[static_cast<std::size_t>(h)].Count) {
            FHint.store(h, std::memory_order_relaxed);
            return h;
        }
    }
    std::int32_t lo = 0, hi = nb - 1;  // the last block whose first record is at most Index
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo + 1) / 2;
        if (First(mid) <= Index)
            lo = mid;
        else
            hi = mid - 1;
    }
    FHint.store(lo, std::memory_order_relaxed);
    return lo;
}

void TParagraphsList::MoveStep(std::int32_t B) {
    if (FStepFirst == 0 && FStepStart == 0 && FStepLine == 0) {
        FStep = B;
        return;
    }
    if (B > FStep) {
        for (std::int32_t k = FStep; k < B; ++k) {
            TBlock& b = FBlocks[static_cast<std::size_t>(k)];
            b.First += FStepFirst;
            b.Start += FStepStart;
            b.Line += FStepLine;
        }
    } else {
        for (std::int32_t k = B; k < FStep; ++k) {
            TBlock& b = FBlocks[static_cast<std::size_t>(k)];
            b.First -= FStepFirst;
            b.Start -= FStepStart;
            b.Line -= FStepLine;
        }
    }
    FStep = B;
    if (FStep >= static_cast<std::int32_t>(FBlocks.size())) {
        // No block takes the step: a block appended later must not either.
        FStepFirst = FStepLine = 0;
        FStepStart = 0;
    }
}

void TParagraphsList::AddFrom(std::int32_t B, std::int32_t DFirst, TPos DStart, std::int32_t DLine) {
    if (B >= static_cast<std::int32_t>(FBlocks.size()) || (DFirst == 0 && DStart == 0 && DLine == 0)) return;
    MoveStep(B);
    FStepFirst += DFirst;
    FStepStart += DStart;
    FStepLine += DLine;
}

void TParagraphsList::SetStartPos(std::int32_t Index, TPos Pos) {
    const std::int32_t b = BlockOf(Index);
    const TPos rel = Pos - BlockStart(b);
    if (rel > kMaxRel || rel < -kMaxRel) throw ERiriError(kTextTooLong);
    FBlocks[static_cast<std::size_t>(b)].Items[Index - First(b)].SetStartRel(rel);
}

void TParagraphsList::SetFirstLine(std::int32_t Index, std::int32_t Line) {
    const std::int32_t b = BlockOf(Index);
    FBlocks[static_cast<std::size_t>(b)].Items[Index - First(b)].FLineRel =
        static_cast<std::int32_t>(static_cast<std::int64_t>(Line) - BlockLine(b));
}

std::int32_t TParagraphsList::Add(const ParInfo& Record, TPos StartPos, std::int32_t FirstLine) {
    if (FBlocks.empty() || FBlocks.back().Count == FPerBlock) {
        SettleStep();
        TBlock b;
        b.Items = AllocBlock(b.Pooled);
        b.Start = StartPos;
        b.Line = FirstLine;
        b.First = FCount;
        FBlocks.push_back(b);
        FStep = static_cast<std::int32_t>(FBlocks.size());
    }
    const auto last = static_cast<std::int32_t>(FBlocks.size()) - 1;
    TBlock& b = FBlocks.back();
    ParInfo& r = b.Items[b.Count];
    r = Record;
    const TPos rel = StartPos - BlockStart(last);
    if (rel > kMaxRel || rel < -kMaxRel) throw ERiriError(kTextTooLong);
    r.SetStartRel(rel);
    r.FLineRel = static_cast<std::int32_t>(static_cast<std::int64_t>(FirstLine) - BlockLine(last));
    ++b.Count;
    return FCount++;
}

void TParagraphsList::SetRecordsPerBlock(std::int32_t N) {
    Clear();
    FPerBlock = std::clamp(N, 1, kRecordsPerBlock);
}

void TParagraphsList::CheckBlocks() const {
    const auto nb = static_cast<std::int32_t>(FBlocks.size());
    if (FStep < 0 || FStep > nb) throw ERiriError("Block step out of range");
    std::int32_t running = 0;
    bool open = FOpen == nullptr;
    for (std::int32_t b = 0; b < nb; ++b) {
        const TBlock& k = FBlocks[static_cast<std::size_t>(b)];
        if (First(b) != running) throw ERiriError("Block " + std::to_string(b) + " does not start at its first record");
        if (k.Count > FPerBlock || (k.Count == 0 && FCount > 0)) throw ERiriError("Block " + std::to_string(b) + " holds a wrong number of records");
        if (FOpen >= k.Items && FOpen < k.Items + k.Count) open = true;
        running += k.Count;
    }
    if (running != FCount) throw ERiriError("The blocks do not hold every record");
    if (!open) throw ERiriError("The paragraph open for writing is not a record");
}

// --- inserting and deleting records

void TParagraphsList::InsertRecords(std::int32_t Index, std::int32_t N) {
    CommitDyn();  // the open record may move
    if (N <= 0) return;
    if (FBlocks.empty()) {
        TBlock nb;
        nb.Items = AllocBlock(nb.Pooled);
        FBlocks.push_back(nb);
        FStep = 1;
    }
    std::int32_t b, slot;
    if (Index >= FCount) {
        b = static_cast<std::int32_t>(FBlocks.size()) - 1;
        slot = FBlocks.back().Count;
    } else {
        b = BlockOf(Index);
        slot = Index - First(b);
    }
    TBlock& B = FBlocks[static_cast<std::size_t>(b)];
    if (B.Count + N <= FPerBlock) {
        std::memmove(B.Items + slot + N, B.Items + slot, static_cast<std::size_t>(B.Count - slot) * sizeof(ParInfo));
        B.Count += N;
        FCount += N;
        AddFrom(b + 1, N, 0, 0);
        return;
    }
    // A split: the records from Index on, with the new ones before them, are
    // spread evenly over this block and new ones after it. The new blocks
    // take this block's bases, so the moved records keep their values as they are.
    SettleStep();
    const std::int64_t total = static_cast<std::int64_t>(B.Count) + N;
    const std::int32_t room = std::max(1, FPerBlock - FPerBlock / 8);  // a split leaves room for the next inserts
    const auto k = static_cast<std::int32_t>((total + room - 1) / room);
    auto sizeOf = [&](std::int32_t j) { return static_cast<std::int32_t>(total / k + (j < total % k ? 1 : 0)); };
    const std::int32_t keep = std::min(slot, sizeOf(0));
    std::vector<ParInfo> moved(B.Items + keep, B.Items + B.Count);
    const TBlock proto = B;
    std::vector<TBlock> added(static_cast<std::size_t>(k - 1));
    try {
        for (TBlock& a : added) a.Items = AllocBlock(a.Pooled);
    } catch (...) {
        for (TBlock& a : added)
            if (a.Items) FreeBlock(a.Items, a.Pooled);
        throw;
    }
    std::int32_t first = proto.First;
    std::int64_t pos = keep;  // position in the new sequence
    for (std::int32_t j = 0; j < k; ++j) {
        TBlock& t = j == 0 ? FBlocks[static_cast<std::size_t>(b)] : added[static_cast<std::size_t>(j - 1)];
        t.Start = proto.Start;
        t.Line = proto.Line;
        t.First = first;
        const std::int32_t size = sizeOf(j);
        for (std::int32_t s = j == 0 ? keep : 0; s < size; ++s, ++pos) {
            if (pos < slot)
                t.Items[s] = moved[static_cast<std::size_t>(pos - keep)];
            else if (pos >= slot + N)
                t.Items[s] = moved[static_cast<std::size_t>(pos - N - keep)];
        }
        t.Count = size;
        first += size;
    }
    FBlocks.insert(FBlocks.begin() + b + 1, added.begin(), added.end());
    FCount += N;
    FStep = static_cast<std::int32_t>(FBlocks.size());
    AddFrom(b + k, N, 0, 0);
}

void TParagraphsList::DeleteRecords(std::int32_t Index, std::int32_t N) {
    CommitDyn();
    if (N <= 0) return;
    SettleStep();
    const std::int32_t b1 = BlockOf(Index);
    const std::int32_t b2 = BlockOf(Index + N - 1);
    TBlock& B1 = FBlocks[static_cast<std::size_t>(b1)];
    const std::int32_t s1 = Index - B1.First;
    if (b1 == b2) {
        std::memmove(B1.Items + s1, B1.Items + s1 + N, static_cast<std::size_t>(B1.Count - s1 - N) * sizeof(ParInfo));
        B1.Count -= N;
    } else {
        TBlock& B2 = FBlocks[static_cast<std::size_t>(b2)];
        const std::int32_t cut = Index + N - B2.First;  // records of B2 that go
        std::memmove(B2.Items, B2.Items + cut, static_cast<std::size_t>(B2.Count - cut) * sizeof(ParInfo));
        B2.Count -= cut;
        B2.First = Index;
        B1.Count = s1;
        for (std::int32_t k = b1 + 1; k < b2; ++k) FBlocks[static_cast<std::size_t>(k)].Count = 0;
    }
    FCount -= N;
    for (std::size_t k = static_cast<std::size_t>(b2) + 1; k < FBlocks.size(); ++k) FBlocks[k].First -= N;
    // Empty blocks go (an empty list keeps one), and two small neighbours become one.
    std::int32_t w = b1;
    for (std::int32_t k = b1; k <= b2; ++k) {
        TBlock& x = FBlocks[static_cast<std::size_t>(k)];
        if (x.Count == 0)
            FreeBlock(x.Items, x.Pooled);
        else
            FBlocks[static_cast<std::size_t>(w++)] = x;
    }
    FBlocks.erase(FBlocks.begin() + w, FBlocks.begin() + b2 + 1);
    if (FBlocks.empty()) {
        TBlock e;
        e.Items = AllocBlock(e.Pooled);
        FBlocks.push_back(e);
    }
    const std::int32_t at = std::min(b1, static_cast<std::int32_t>(FBlocks.size()) - 1);
    for (std::int32_t m = std::max(0, at - 1); m <= at && m + 1 < static_cast<std::int32_t>(FBlocks.size()); ++m) {
        TBlock& x = FBlocks[static_cast<std::size_t>(m)];
        TBlock& y = FBlocks[static_cast<std::size_t>(m + 1)];
        if (x.Count + y.Count > FPerBlock / 2) continue;
        // Records moving to another block keep their values: their offsets change by the difference of the bases.
        const TPos dStart = y.Start - x.Start;
        const std::int64_t dLine = static_cast<std::int64_t>(y.Line) - x.Line;
        for (std::int32_t s = 0; s < y.Count; ++s) {
            ParInfo& r = x.Items[x.Count + s];
            r = y.Items[s];
            r.SetStartRel(r.StartRel() + dStart);
            r.FLineRel = static_cast<std::int32_t>(r.FLineRel + dLine);
        }
        x.Count += y.Count;
        FreeBlock(y.Items, y.Pooled);
        FBlocks.erase(FBlocks.begin() + m + 1);
        break;
    }
    FStep = static_cast<std::int32_t>(FBlocks.size());
}

// --- the list

void TParagraphsList::FreeAllRecords() {
    CommitDyn();
    for (const TBlock& b : FBlocks)
        for (std::int32_t i = 0; i < b.Count; ++i) b.Items[i].FreeData();
}

void TParagraphsList::Clear() {
    FreeAllRecords();
    FreeAllBlocks();
    FDyn.Clear();
    FOpen = nullptr;
    FOpenPoints = {};
    FOpenStart = 0;
    FCount = 0;
    TBlock e;
    e.Items = AllocBlock(e.Pooled);
    FBlocks.push_back(e);
    FStep = 1;
    FHint.store(0, std::memory_order_relaxed);
    TotalLen = 0;
    LineCount = 0;
    LoadBuffers.clear();
    States.Clear();
    FormatLast = -1;
    DirtyLastPar = -1;
    ResetKeys();
}

void TParagraphsList::NoteKeysEdit(std::int32_t P1, std::int32_t P2, std::int32_t NewLast) {
    const std::int32_t known = std::max(KeysThrough, KeysAhead);
    if (P1 > known) return;  // beyond what has keys: the walk reaches it anyway
    const std::int32_t delta = NewLast - P2;
    const auto moved = [&](std::int32_t X) { return X > P2 ? X + delta : X >= P1 ? NewLast : X; };
    // Holes count only while something is known ahead of them.
    const std::int32_t holes = KeysAhead >= 0 ? moved(KeysHole) : -1;
    KeysAhead = known > P2 ? known + delta : -1;
    KeysHole = std::max(holes, NewLast);
    if (KeysAhead <= KeysHole) KeysAhead = KeysHole = -1;
}

void TParagraphsList::MarkDirty(std::int32_t P, std::int32_t L, std::int32_t Last) {
    if (DirtyLastPar == -1) {
        DirtyFirstPar = Count();
        DirtyFirstLine = Count() > 0 ? FirstLine(Count() - 1) + At(Count() - 1).LineCount() : 0;
    }
    if (P <= DirtyFirstPar) {
        DirtyFirstPar = P;
        if (P >= 0 && P < Count()) DirtyFirstLine = std::min(DirtyFirstLine, FirstLine(P) + L);
    }
    if (Last > DirtyLastPar) DirtyLastPar = Last;
    if (P <= KeysThrough) KeysThrough = P - 1;
    LinesAdjusted = false;
}

void TParagraphsList::InvalidateLayout() {
    for (const TBlock& b : FBlocks)
        for (std::int32_t i = 0; i < b.Count; ++i) b.Items[i].Flags &= static_cast<std::uint8_t>(~pfFormatted);
    FormatNext = 0;
    FormatLast = Count() - 1;
}

void TParagraphsList::ForgetHighlighting(std::int32_t KeepFrom) {
    constexpr std::uint8_t kDone = pfKeysApplied | pfKeywordsApplied | pfFormatted;
    for (const TBlock& b : FBlocks)
        for (std::int32_t i = 0; i < b.Count; ++i) {
            ParInfo& p = b.Items[i];
            if (!(p.Flags & kDone) && p.FPoints == 0 && &p != FOpen) continue;
            if (p.Len() >= KeepFrom) continue;
            p.Flags &= static_cast<std::uint8_t>(~kDone);
            ClearDyn(p);
        }
    ResetKeys();
}

void TParagraphsList::ShiftBoth(std::int32_t FromPar, TPos PosDelta, std::int32_t LineDelta_) {
    if (FromPar < 0) FromPar = 0;
    if (FromPar >= FCount || (PosDelta == 0 && LineDelta_ == 0)) return;
    const std::int32_t b = BlockOf(FromPar);
    const std::int32_t slot = FromPar - First(b);
    if (slot == 0) {
        AddFrom(b, 0, PosDelta, LineDelta_);
        return;
    }
    // The rest of the block one by one, the blocks behind it through the step.
    TBlock& k = FBlocks[static_cast<std::size_t>(b)];
    for (std::int32_t s = slot; s < k.Count; ++s) {
        ParInfo& r = k.Items[s];
        if (PosDelta != 0) r.SetStartRel(r.StartRel() + PosDelta);
        r.FLineRel += LineDelta_;
    }
    AddFrom(b + 1, 0, PosDelta, LineDelta_);
}

std::pair<TPos, std::int32_t> TParagraphsList::ShiftBehind(
    const std::vector<std::int32_t>& Pars, const std::function<std::pair<TPos, std::int32_t>(std::int32_t)>& Visit) {
    if (Pars.empty()) return {0, 0};
    SettleStep();
    TPos pos = 0;
    std::int32_t lines = 0;
    std::size_t k = 0;
    for (auto b = static_cast<std::size_t>(BlockOf(Pars.front())); b < FBlocks.size(); ++b) {
        TBlock& B = FBlocks[b];
        B.Start += pos;
        B.Line += lines;
        if (k >= Pars.size() || Pars[k] >= B.First + B.Count) continue;
        TPos inPos = 0;
        std::int32_t inLines = 0;
        for (std::int32_t s = 0; s < B.Count; ++s) {
            ParInfo& r = B.Items[s];
            if (inPos != 0) {
                const TPos rel = r.StartRel() + inPos;
                if (rel > kMaxRel || rel < -kMaxRel) throw ERiriError(kTextTooLong);
                r.SetStartRel(rel);
            }
            r.FLineRel += inLines;
            if (k < Pars.size() && Pars[k] == B.First + s) {
                const auto [dp, dl] = Visit(Pars[k]);
                inPos += dp;
                inLines += dl;
                ++k;
            }
        }
        pos += inPos;
        lines += inLines;
    }
    return {pos, lines};
}

std::int32_t TParagraphsList::ParagraphAt(TPos Pos) const {
    if (FCount == 0) return 0;
    std::int32_t lo = 0, hi = static_cast<std::int32_t>(FBlocks.size()) - 1;  // the block, in [lo, hi]
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo + 1) / 2;
        if (BlockStart(mid) + FBlocks[static_cast<std::size_t>(mid)].Items[0].StartRel() <= Pos)
            lo = mid;
        else
            hi = mid - 1;
    }
    const TBlock& k = FBlocks[static_cast<std::size_t>(lo)];
    const TPos base = BlockStart(lo);
    std::int32_t a = 0, z = k.Count - 1;
    while (a < z) {
        const std::int32_t mid = a + (z - a + 1) / 2;
        if (base + k.Items[mid].StartRel() <= Pos)
            a = mid;
        else
            z = mid - 1;
    }
    return First(lo) + a;
}

std::int32_t TParagraphsList::ParagraphOfLine(std::int32_t Line) const {
    if (FCount == 0) return 0;
    std::int32_t lo = 0, hi = static_cast<std::int32_t>(FBlocks.size()) - 1;
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo + 1) / 2;
        if (BlockLine(mid) + FBlocks[static_cast<std::size_t>(mid)].Items[0].FLineRel <= Line)
            lo = mid;
        else
            hi = mid - 1;
    }
    const TBlock& k = FBlocks[static_cast<std::size_t>(lo)];
    const std::int32_t base = BlockLine(lo);
    std::int32_t a = 0, z = k.Count - 1;
    while (a < z) {
        const std::int32_t mid = a + (z - a + 1) / 2;
        if (base + k.Items[mid].FLineRel <= Line)
            a = mid;
        else
            z = mid - 1;
    }
    return First(lo) + a;
}

void TParagraphsList::AdjustFormatRange(std::int32_t First_, std::int32_t LastOld, std::int32_t D) {
    if (FormatNext > First_) {
        if (FormatNext <= LastOld)
            FormatNext = First_;
        else
            FormatNext += D;
    }
    if (FormatLast > LastOld)
        FormatLast += D;
    else
        FormatLast = LastOld + D;
}

// --- change points

void TParagraphsList::Open(ParInfo& P) {
    CommitDyn();
    std::uint32_t start;
    const TDynView v = FDyn.View(P.FPoints, start);
    FOpenPoints.resize(static_cast<std::size_t>(v.size()));
    for (std::int32_t i = 0; i < v.size(); ++i) FOpenPoints[static_cast<std::size_t>(i)] = v[i];
    FOpenStart = start;
    FDyn.Free(P.FPoints);
    P.FPoints = 0;
    FOpen = &P;
}

void TParagraphsList::CommitDyn() {
    if (!FOpen) return;
    FOpen->FPoints = FDyn.Write(FOpenPoints.data(), static_cast<std::int32_t>(FOpenPoints.size()), FOpenStart);
    FOpen = nullptr;
    FOpenPoints.clear();
    // One very long paragraph's points do not stay allocated.
    if (FOpenPoints.capacity() > 65536) FOpenPoints.shrink_to_fit();
    FOpenStart = 0;
}

void TParagraphsList::SetDynAttr(ParInfo& P, std::int32_t I, const TDynInfo& A) {
    const std::uint32_t id = States.Intern(A);
    if (&P == FOpen) {
        FOpenPoints[static_cast<std::size_t>(I)].State = id;
        return;
    }
    if (FDyn.SetState(P.FPoints, I, id)) return;
    // The state does not fit the entry's width: the entry is written anew
    // (the paragraph open for writing stays open).
    std::uint32_t start;
    const TDynView v = FDyn.View(P.FPoints, start);
    std::vector<TDynPoint> pts(static_cast<std::size_t>(v.size()));
    for (std::int32_t i = 0; i < v.size(); ++i) pts[static_cast<std::size_t>(i)] = v[i];
    pts[static_cast<std::size_t>(I)].State = id;
    const std::uint32_t h = FDyn.Write(pts.data(), static_cast<std::int32_t>(pts.size()), start);
    FDyn.Free(P.FPoints);
    P.FPoints = h;
}

void TParagraphsList::SetStartState(ParInfo& P, std::uint32_t State) {
    if (&P == FOpen) {
        FOpenStart = State;
        return;
    }
    std::uint32_t start;
    const TDynView v = FDyn.View(P.FPoints, start);
    if (start == State) return;
    std::vector<TDynPoint> pts(static_cast<std::size_t>(v.size()));
    for (std::int32_t i = 0; i < v.size(); ++i) pts[static_cast<std::size_t>(i)] = v[i];
    const std::uint32_t h = FDyn.Write(pts.data(), static_cast<std::int32_t>(pts.size()), State);
    FDyn.Free(P.FPoints);
    P.FPoints = h;
}

void TParagraphsList::SetStartAttr(ParInfo& P, const TDynInfo& A) {
    SetStartState(P, (A.Flags & dfOwn) ? States.Intern(A) : 0);
}

void TParagraphsList::ClearDyn(ParInfo& P) {
    if (&P == FOpen) {
        FOpenPoints.clear();
        FOpenStart = 0;
        return;
    }
    FDyn.Free(P.FPoints);
    P.FPoints = 0;
}

void TParagraphsList::FreeRecord(ParInfo& P) {
    P.FreeData();
    if (&P == FOpen) {
        FOpen = nullptr;
        FOpenPoints.clear();
        FOpenStart = 0;
    } else {
        FDyn.Free(P.FPoints);
    }
    P.FPoints = 0;
}

}  // namespace tarvex
