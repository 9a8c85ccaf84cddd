#pragma once
// TDynInfo: the highlighting state that takes effect at a change point of a
// paragraph (style, colours, context stack).

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarvex {

// Flags bits beyond the six style bits.
inline constexpr std::uint8_t dfKeyed = 0x40;  // with dfOwn: the record carries a context stack
inline constexpr std::uint8_t dfOwn = 0x80;    // the record's style and colours apply

inline constexpr std::int32_t clNone = -1;
inline constexpr std::int32_t clNoneAlt = 0x1FFFFFFF;

struct TDynInfo {
    // Offset in the paragraph where the attribute starts (0 in a stored state).
    std::int32_t Offset = 0;
    std::uint8_t Flags = 0;
    std::int8_t Depth = 0;  // index of the innermost open key in Contexts; -1 when none
    std::uint8_t Nesting = 0;
    std::uint8_t Extra = 0;
    std::int32_t Color = 0;
    std::int32_t BkColor = 0;
    std::int32_t Context = 0;
    std::int16_t Cursor = 0;
    std::int16_t Contexts[16] = {};
    std::uint16_t KeyLen = 0;
    std::uint16_t StopLen = 0;
};

// A change point as a paragraph keeps it: where it is, and which state of
// its text's TDynStates takes effect there. Dense highlighting repeats a few
// states millions of times; a point costs 8 bytes instead of a whole record.
struct TDynPoint {
    std::int32_t Offset;
    std::uint32_t State;
};
using TDynInfoArray = std::vector<TDynPoint>;

// Makes room for N points at At (their values are left to the caller). The
// array grows by half, not double. A paragraph mostly holds a few dozen
// points: a short tail is shifted point by point, which costs less than a
// library block move for so few (measured in the window, about a fifth of
// highlighting time went to such moves).
inline void DynOpenGap(TDynInfoArray& D, std::size_t At, std::size_t N) {
    const std::size_t n = D.size();
    if (n + N > D.capacity()) D.reserve(std::max(n + N, n + n / 2 + 1));
    D.resize(n + N);
    if (n - At > 64) {
        std::copy_backward(D.begin() + static_cast<std::ptrdiff_t>(At), D.begin() + static_cast<std::ptrdiff_t>(n), D.end());
        return;
    }
    for (std::size_t k = n; k-- > At;) D[k + N] = D[k];
}

// Inserts a change point; the array grows by half, not double: highlighted
// texts hold millions of these arrays, most of them short.
inline TDynInfoArray::iterator DynInsert(TDynInfoArray& D, std::size_t At, TDynPoint X) {
    DynOpenGap(D, At, 1);
    D[At] = X;
    return D.begin() + static_cast<std::ptrdiff_t>(At);
}

// The distinct states of one text's change points, each stored once. A state
// is a whole TDynInfo but for Offset (0 in every stored state). Stored states
// never move or change, so references to them stay valid until Clear.
// Invariant: state 0 is the default attribute.
class TDynStates {
public:
    TDynStates();
    TDynStates(const TDynStates&) = delete;
    TDynStates& operator=(const TDynStates&) = delete;

    // The number of A's state (A.Offset is ignored), stored on first sight.
    std::uint32_t Intern(const TDynInfo& A);
    const TDynInfo& operator[](std::uint32_t Id) const { return FChunks[Id >> kChunkBits][Id & (kChunkSize - 1)]; }
    std::uint32_t Count() const { return FCount; }
    // Differs between any two tables and after every Clear: what a caller
    // remembers about state numbers holds while this stays the same.
    std::uint64_t Generation() const { return FGeneration; }
    // Forgets every state but the default: only when no change point refers to one.
    void Clear();
    // Memory held by the table, in bytes.
    std::size_t Bytes() const;

private:
    static constexpr std::uint32_t kChunkBits = 10;
    static constexpr std::uint32_t kChunkSize = 1u << kChunkBits;
    static std::uint64_t Hash(const TDynInfo& A);
    void Grow();

    std::vector<std::unique_ptr<TDynInfo[]>> FChunks;
    std::uint32_t FCount = 0;
    std::uint64_t FGeneration = 0;
    // Open addressing: the hash's high half << 32 | state number + 1; 0 = free.
    // The hash half decides most probes without touching the state.
    std::vector<std::uint64_t> FSlots;
};

// Every field but Offset agrees.
bool SameRecord(const TDynInfo& A, const TDynInfo& B);

// The one process-wide default attribute: all zero except Color = BkColor = -1.
// It is never changed or freed.
TDynInfo* DefaultAttr();

// Two attributes are the same highlighting state when bits 6 and 7 of Flags
// agree and, with bit 7 set, Depth, Context and Contexts[0..Depth] agree.
bool SameState(const TDynInfo& A, const TDynInfo& B);

}  // namespace tarvex
