#include "textstore/scan.h"

#include "textstore/static_format.h"

namespace tarvex {

TByteClass MakeBreakClass(bool StaticFormat) {
    TByteClass c{};
    c[0] = c[10] = c[13] = true;
    if (StaticFormat)
        for (int b = 0; b < 256; ++b)
            if (IsStyleCode(static_cast<unsigned char>(b))) c[b] = true;
    return c;
}

}  // namespace tarvex
