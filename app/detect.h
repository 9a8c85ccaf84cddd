#pragma once
// Probes that tell what a file's bytes are before it is shown: UTF-8 or
// UTF-16, DOS (cp866) or KOI8-R Cyrillic, or already Windows-1251. Probes on
// streams read from position 0 and leave the stream where they found it;
// read errors make a probe answer "no".

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "textstore/stream.h"

namespace tarvex {

enum TUnicodeKind : int { ukNone = 0, ukUtf8 = 1, ukUtf16LE = 2, ukUtf16BE = 3 };

// Looks at up to 4,096 bytes from the stream's position: a UTF-8 byte-order
// mark, or a well-formed first non-ASCII UTF-8 sequence followed by at least
// two more bytes; else a UTF-16 byte-order mark at position 0; else the
// statistical UTF-16 test. Continuation bytes 0xA8 and 0xB8 (Windows-1251 Ё
// and ё) do not count, so Cyrillic Windows text is not taken for UTF-8.
TUnicodeKind DetectUnicodeKind(TStream& S);

// True when Buf looks like UTF-16 little-endian text without a byte-order
// mark: an even number of bytes, nearly every unit Latin-1, Cyrillic,
// general punctuation or box drawing, no NUL units and few control characters.
bool LooksLikeUtf16(std::string_view Buf);

// True when the first 5,000 bytes have more DOS letters than Windows letters,
// or enough box drawing dominated by one character.
bool LooksLikeDos(TStream& S);

// True when the first 5,001 bytes, read as Windows-1251, are mostly Cyrillic
// but full of letter combinations Russian does not have, or show the case
// pattern of KOI8-R text: taken as KOI8-R.
bool LooksLikeKoi(TStream& S);
bool LooksLikeKoi(std::string_view Text);

// True when Text holds a byte of 0x80 or more and everything from the first
// such byte to the end is well-formed UTF-8.
bool IsUtf8Text(std::string_view Text);

// The same test over a text given in pieces (the pieces of one text in order).
class TUtf8TextCheck {
public:
    // False once the answer is known to be no; further pieces change nothing.
    bool Feed(std::string_view Piece);
    // The answer for everything fed so far.
    bool Result() const { return FOk && FSeen && FNeed == 0; }

private:
    bool FOk = true;
    bool FSeen = false;    // a byte of 0x80 or more was met
    int FNeed = 0;         // continuation bytes still due
    unsigned char FLo = 0x80, FHi = 0xBF;  // range of the next continuation byte
};

// Integer percentage or per-mille rounded to the nearest, ties to even.
std::int64_t RoundRatio(std::int64_t Num, std::int64_t Den);

}  // namespace tarvex
