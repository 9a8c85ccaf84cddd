#include "output/paper.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdint>

namespace tarvex {

TPaperSize LocalePaper() {
    TPaperSize p;
    // A locale object of our own: the process's global locale stays as it is.
    const locale_t loc = ::newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return p;
    // glibc answers these two with an integer in place of the string pointer.
    const auto h = static_cast<int>(reinterpret_cast<std::intptr_t>(::nl_langinfo_l(_NL_PAPER_HEIGHT, loc)));
    const auto w = static_cast<int>(reinterpret_cast<std::intptr_t>(::nl_langinfo_l(_NL_PAPER_WIDTH, loc)));
    ::freelocale(loc);
    if (w > 0 && h > 0 && w < 2000 && h < 2000) {
        p.WidthMm = w;
        p.HeightMm = h;
    }
    return p;
}

}  // namespace tarvex
