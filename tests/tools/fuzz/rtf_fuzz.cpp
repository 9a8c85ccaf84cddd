// Fuzz target: RTF to text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tools/rtf_to_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view in(reinterpret_cast<const char*>(Data), Size);
    const std::string out = tarvex::RtfToText(in);
    // Every construct yields at most as many bytes as it takes.
    if (out.size() > in.size()) std::abort();
    return 0;
}
