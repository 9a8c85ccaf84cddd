#pragma once
// Letter classes and lower case of Windows-1251 bytes, as the speller and
// the dictionary window see them.

#include <string>
#include <string_view>

namespace tarvex {

// Latin a-z and A-Z.
inline bool IsLatinLetter(unsigned char C) { return (C | 0x20) >= 'a' && (C | 0x20) <= 'z'; }
// Cyrillic letters of every language Windows-1251 serves (Russian, Ukrainian,
// Belarusian, Serbian, Macedonian, Bulgarian).
bool IsCyrillicLetter(unsigned char C);
inline bool IsLetter(unsigned char C) { return IsLatinLetter(C) || IsCyrillicLetter(C); }

// The lower-case letter of a byte (every other byte is itself); the inverse
// of Cp1251Upper.
unsigned char ToLowerCp1251(unsigned char C);
std::string LowerCaseCp1251(std::string_view S);

}  // namespace tarvex
