#pragma once
// The paper a printout goes on when nobody chose one: the locale's (LC_PAPER,
// as glibc reports it; US Letter in the United States, A4 nearly everywhere
// else), A4 when the locale says nothing.

namespace tarvex {

struct TPaperSize {
    int WidthMm = 210;
    int HeightMm = 297;
};

TPaperSize LocalePaper();

}  // namespace tarvex
