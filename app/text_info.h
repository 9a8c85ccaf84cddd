#pragma once
// Info text: the counts of the document, of the selection and of the
// clipboard's text, and how far the selection is from the clipboard's text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/text_convert.h"

namespace tarvex {

class TDudiRiri;

// Words are maximal runs of bytes that are not separators.
std::int64_t CountWords(std::string_view Text, const TSeparators& Seps);
// The words of the whole text, read in place.
std::int64_t CountWords(TDudiRiri& M);

// Insertions, deletions and substitutions that turn A into B (each costs 1).
std::int64_t EditDistance(std::string_view A, std::string_view B);
// Blanks and control characters (below 0x21) cut from both ends, and every
// run of them inside turned into one space.
std::string NormalizeBlanks(std::string_view S);
// Only this many characters of each text are compared.
inline constexpr std::size_t kMaxCompared = 8191;
// "0" for texts equal but for case, "(CR,SP,TAB)" for texts that differ only
// in blanks and breaks, else the edit distance of the normalised texts.
std::string DifferenceText(std::string_view Selected, std::string_view Clipboard);

// The message of Info text (UTF-8): Name is the document's, Clipboard the
// clipboard's text in Windows-1251 when it holds text.
std::string InfoTextMessage(TDudiRiri& M, const std::string& Name, const std::optional<std::string>& Clipboard,
                            bool Russian);

}  // namespace tarvex
