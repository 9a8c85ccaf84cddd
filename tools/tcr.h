#pragma once
// TCR e-books: a 256-entry dictionary followed by one-byte codes.

#include <string>
#include <string_view>

#include "textstore/stream.h"

namespace tarvex {

// True when Head starts with the TCR signature "!!8-Bit!!" and a zero byte.
bool IsTcrSignature(std::string_view Head);

// Decodes a whole TCR file (signature included; it is not checked again).
// A truncated dictionary leaves the missing entries empty; codes whose entry
// is empty write nothing.
std::string TcrDecompress(std::string_view File);
// The same over the rest of a stream, read from its current position.
std::string TcrDecompress(TStream& File);

}  // namespace tarvex
