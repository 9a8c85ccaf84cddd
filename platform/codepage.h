#pragma once
// Windows-1251, the editor's single-byte code page, to and from Unicode.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// The Unicode character of a Windows-1251 byte. Byte 0x98, unassigned in the
// code page, maps to U+0098 so that every byte survives a round trip.
char16_t Cp1251ToUnicode(unsigned char B);
// The Windows-1251 byte of a Unicode character, or -1 when it has none.
int UnicodeToCp1251(char32_t C);

std::u16string Cp1251ToUtf16(std::string_view Text);
// Characters without a Windows-1251 byte become Replacement.
std::string Utf16ToCp1251(std::u16string_view Text, char Replacement = '?');

std::string Cp1251ToUtf8(std::string_view Text);
// Appends Text as UTF-8 to Out (a table lookup per byte: for long texts).
void AppendCp1251AsUtf8(std::string_view Text, std::string& Out);
// The one UTF-8 decoder: invalid sequences (each byte of them) and characters
// without a Windows-1251 byte become '?'; Unmapped, when given, receives how
// many did. A byte-order mark is a character like any other here.
std::string Utf8ToCp1251(std::string_view Text, std::int64_t* Unmapped = nullptr);

// The upper-case letter of a Windows-1251 byte (Latin and Cyrillic letters;
// every other byte is itself).
unsigned char Cp1251Upper(unsigned char B);
std::string Cp1251UpperCase(std::string_view Text);
// Upper-cases a to z only.
std::string AsciiUpperCase(std::string_view Text);

}  // namespace tarvex
