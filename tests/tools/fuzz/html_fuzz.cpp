// Fuzz target: HTML and XML to text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tools/htm2txt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view in(reinterpret_cast<const char*>(Data), Size);
    for (const bool xml : {false, true}) {
        const std::string out = tarvex::THtm2Txt::Convert(in, xml);
        if (out.empty() != in.empty()) std::abort();  // empty only for an empty source
    }
    return 0;
}
