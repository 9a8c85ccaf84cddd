#include "tools/collation.h"

#include <unicode/ucol.h>
#include <unicode/uiter.h>

#include <stdexcept>

#include "platform/codepage.h"

namespace tarvex {

namespace {

// Converts into a reused buffer: sorting converts millions of short lines.
void ToUtf16(std::string_view Text, std::u16string& Out) {
    Out.resize(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) Out[i] = Cp1251ToUnicode(static_cast<unsigned char>(Text[i]));
}

thread_local std::u16string tBuf;

// A character iterator over Windows-1251 bytes: comparisons convert only as
// far as they read, so comparing a short text with a long one stays cheap.
int32_t IterIndex(UCharIterator* I, UCharIteratorOrigin Origin) {
    switch (Origin) {
        case UITER_ZERO:
        case UITER_START: return 0;
        case UITER_CURRENT: return I->index;
        case UITER_LIMIT:
        case UITER_LENGTH: return I->length;
    }
    return -1;
}

int32_t IterMove(UCharIterator* I, int32_t Delta, UCharIteratorOrigin Origin) {
    int64_t p = IterIndex(I, Origin) + static_cast<int64_t>(Delta);
    p = p < 0 ? 0 : (p > I->length ? I->length : p);
    I->index = static_cast<int32_t>(p);
    return I->index;
}

UBool IterHasNext(UCharIterator* I) { return I->index < I->length; }
UBool IterHasPrevious(UCharIterator* I) { return I->index > 0; }

UChar32 CharAt(UCharIterator* I, int32_t At) {
    return Cp1251ToUnicode(static_cast<const unsigned char*>(I->context)[At]);
}

UChar32 IterCurrent(UCharIterator* I) { return I->index < I->length ? CharAt(I, I->index) : U_SENTINEL; }
UChar32 IterNext(UCharIterator* I) { return I->index < I->length ? CharAt(I, I->index++) : U_SENTINEL; }
UChar32 IterPrevious(UCharIterator* I) { return I->index > 0 ? CharAt(I, --I->index) : U_SENTINEL; }
uint32_t IterGetState(const UCharIterator* I) { return static_cast<uint32_t>(I->index); }

void IterSetState(UCharIterator* I, uint32_t State, UErrorCode* Error) {
    if (U_FAILURE(*Error)) return;
    if (State > static_cast<uint32_t>(I->length))
        *Error = U_INDEX_OUTOFBOUNDS_ERROR;
    else
        I->index = static_cast<int32_t>(State);
}

UCharIterator Cp1251Iterator(std::string_view Text) {
    UCharIterator it{};
    it.context = Text.data();
    it.length = static_cast<int32_t>(Text.size());
    it.start = 0;
    it.index = 0;
    it.limit = it.length;
    it.getIndex = IterIndex;
    it.move = IterMove;
    it.hasNext = IterHasNext;
    it.hasPrevious = IterHasPrevious;
    it.current = IterCurrent;
    it.next = IterNext;
    it.previous = IterPrevious;
    it.getState = IterGetState;
    it.setState = IterSetState;
    return it;
}

}  // namespace

TCollation::TCollation(bool Russian) : FRussian(Russian) {
    UErrorCode status = U_ZERO_ERROR;
    FCollator = ucol_open(Russian ? "ru" : "en", &status);
    if (U_FAILURE(status) || FCollator == nullptr)
        throw std::runtime_error(std::string("Cannot open the collation rules: ") + u_errorName(status));
    // Windows-1251 holds no combining marks, so every text is already in the
    // form that normalisation would give: it can stay off without changing
    // the order, and keys come faster.
    ucol_setAttribute(FCollator, UCOL_NORMALIZATION_MODE, UCOL_OFF, &status);
    ucol_setAttribute(FCollator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(FCollator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(FCollator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(FCollator);
        throw std::runtime_error(std::string("Cannot set up the collation rules: ") + u_errorName(status));
    }
}

TCollation::~TCollation() { ucol_close(FCollator); }

void TCollation::AppendSortKey(std::string_view Text, std::string& Out) const {
    ToUtf16(Text, tBuf);
    const auto* src = reinterpret_cast<const UChar*>(tBuf.data());
    const auto len = static_cast<int32_t>(tBuf.size());
    const std::size_t at = Out.size();
    // Most keys are shorter than twice the text plus a little; one retry otherwise.
    std::size_t room = Text.size() * 3 + 16;
    Out.resize(at + room);
    int32_t n = ucol_getSortKey(FCollator, src, len, reinterpret_cast<uint8_t*>(Out.data() + at),
                                static_cast<int32_t>(room));
    if (static_cast<std::size_t>(n) > room) {
        room = static_cast<std::size_t>(n);
        Out.resize(at + room);
        n = ucol_getSortKey(FCollator, src, len, reinterpret_cast<uint8_t*>(Out.data() + at),
                            static_cast<int32_t>(room));
    }
    // The count includes the terminating 0, which the key keeps.
    Out.resize(at + static_cast<std::size_t>(n));
}

std::string TCollation::SortKey(std::string_view Text) const {
    std::string k;
    AppendSortKey(Text, k);
    return k;
}

int TCollation::Compare(std::string_view A, std::string_view B) const {
    UCharIterator a = Cp1251Iterator(A), b = Cp1251Iterator(B);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollIter(FCollator, &a, &b, &status);
    if (U_FAILURE(status)) throw std::runtime_error(std::string("Cannot compare texts: ") + u_errorName(status));
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

}  // namespace tarvex
