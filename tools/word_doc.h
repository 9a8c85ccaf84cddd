#pragma once
// Word documents in the compound-file format: recognising them and taking
// their raw text bytes out without Word.

#include "textstore/stream.h"

namespace tarvex {

enum TWordKind {
    wkNone = 0,    // not a Word document we know
    wkWord6 = 1,   // identifier 0xA5DC: Word 6 / 95, 8-bit text
    wkWord97 = 2,  // identifier 0xA5EC: Word 97 and later, 8- or 16-bit text
};

// Classifies File and leaves it at position 0. With Out, also writes the document's text bytes (as they
// stand in the file) to Out and leaves both streams at position 0. Offsets
// that point outside the file give wkNone or a shorter text, never a read
// outside the file. Read errors of File propagate.
TWordKind WordDocProbe(TStream& File, TStream* Out);

}  // namespace tarvex
