#pragma once
// UCS-2 (UTF-16 little-endian) bytes to Windows-1251 text, with the clean-up
// that Word text and marker-less files need.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// Units are read little-endian. A leading FEFF, FFFE or 0 unit is dropped.
// Without such a marker, bytes holding no zero byte are taken as 8-bit text
// and left as they are.
//
// Control characters other than TAB, LF and CR (NUL padding among them)
// become blanks; those blanks are dropped at both ends of the text and next
// to other blanks or breaks, so a run of them leaves one blank at most.
// Blanks, tabs and line breaks that the text itself holds all stay.
// Characters without a Windows-1251 byte become '?'; Unmapped, when given,
// receives how many did.
std::string Ucs2ToAnsi(std::string_view Bytes, std::int64_t* Unmapped = nullptr);

}  // namespace tarvex
