#pragma once
// UCS-2 (UTF-16 little-endian) bytes to Windows-1251 text, with the clean-up
// that Word text and marker-less files need.

#include <string>
#include <string_view>

namespace tarvex {

// Units are read little-endian. A leading FEFF, FFFE or 0 unit is dropped.
// Without such a marker, bytes holding no zero byte are taken as 8-bit text
// and only trimmed.
std::string Ucs2ToAnsi(std::string_view Bytes);

}  // namespace tarvex
