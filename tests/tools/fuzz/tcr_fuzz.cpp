// Fuzz target: TCR decompression, from memory and from a stream.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "textstore/stream.h"
#include "tools/tcr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string in(reinterpret_cast<const char*>(Data), Size);
    const std::string text = tarvex::TcrDecompress(std::string_view(in));
    tarvex::TMemoryStream s(in);
    if (tarvex::TcrDecompress(s) != text) std::abort();
    if (text.size() > 255 * in.size()) std::abort();
    return 0;
}
