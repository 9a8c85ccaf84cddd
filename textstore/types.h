#pragma once
// Basic types of the text store.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/font_style.h"

namespace tarvex {

// An absolute position in the whole text. Every paragraph break counts as two
// characters (CR then LF), whatever break the file uses. 64-bit so that texts
// beyond 2 GiB can be opened; offsets inside one paragraph stay 32-bit.
using TPos = std::int64_t;

// Line-break kinds a text can be loaded with and saved with.
enum TRiriLineBreak : std::uint8_t { pbCRLF, pbLFCR, pbCR, pbLF };

// Paragraph alignment.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// Failures inside the text store carry short fixed messages.
class ERiriError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Thrown by a load's progress handler to stop reading: the paragraphs read by
// then stay, a complete text, and the load ends as if the stream had.
class ELoadStopped : public ERiriError {
public:
    ELoadStopped() : ERiriError("Loading was stopped") {}
};

// Item access beyond the end of a list.
class ERangeError : public ERiriError {
public:
    ERangeError() : ERiriError("List index out of bounds") {}
};

inline constexpr const char* kTextTooLong = "Text too long";
inline constexpr const char* kVOdorError = "Internal VOdor error";
inline constexpr const char* kNotADudiRiri = "Internal error: component is not a TDudiRiri";

// Style-byte bits beyond the four font styles: the highlight colours and the alternative font.
inline constexpr std::uint8_t fsHighlight = 0x10;
inline constexpr std::uint8_t fsAltFont = 0x20;

}  // namespace tarvex
