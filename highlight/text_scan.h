#pragma once
// Byte-level helpers of the highlighters' scans: case folding by table and
// key searches that fold on the fly instead of copying the text.

#include <cstdint>
#include <string_view>

namespace tarvex {

// The editor's upper-casing of a Windows-1251 byte.
unsigned char FoldByte(unsigned char C);
// The whole table of FoldByte, for loops that fold many bytes.
const unsigned char* FoldTable();
// True when some other byte folds to C (a key byte C then needs folded comparison).
bool IsFoldTarget(unsigned char C);

// Key (already folded unless CaseSensitive) equals Text at At (At + Key.size() <= Text.size()).
bool KeyAt(std::string_view Text, std::size_t At, std::string_view Key, bool CaseSensitive);
// The first offset in [From, To) at which Key begins and ends by To; npos when none.
std::size_t FindKey(std::string_view Text, std::size_t From, std::size_t To, std::string_view Key, bool CaseSensitive);

}  // namespace tarvex
