#include "tools/collation.h"

#include <unicode/ucol.h>

#include <stdexcept>
#include <vector>

#include "platform/codepage.h"

namespace tarvex {

namespace {

// Converts into a reused buffer: sorting converts millions of short lines.
void ToUtf16(std::string_view Text, std::u16string& Out) {
    Out.resize(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) Out[i] = Cp1251ToUnicode(static_cast<unsigned char>(Text[i]));
}

thread_local std::u16string tBufA, tBufB;

}  // namespace

TCollation::TCollation(bool Russian) : FRussian(Russian) {
    UErrorCode status = U_ZERO_ERROR;
    FCollator = ucol_open(Russian ? "ru" : "en", &status);
    if (U_FAILURE(status) || FCollator == nullptr)
        throw std::runtime_error(std::string("Cannot open the collation rules: ") + u_errorName(status));
    ucol_setAttribute(FCollator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
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
    ToUtf16(Text, tBufA);
    const auto* src = reinterpret_cast<const UChar*>(tBufA.data());
    const auto len = static_cast<int32_t>(tBufA.size());
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
    ToUtf16(A, tBufA);
    ToUtf16(B, tBufB);
    return ucol_strcoll(FCollator, reinterpret_cast<const UChar*>(tBufA.data()), static_cast<int32_t>(tBufA.size()),
                        reinterpret_cast<const UChar*>(tBufB.data()), static_cast<int32_t>(tBufB.size()));
}

}  // namespace tarvex
