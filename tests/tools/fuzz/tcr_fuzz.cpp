// Fuzz target: TCR decompression, from memory and decoded while read, with
// the sizes measured before expanding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "textstore/stream.h"
#include "tools/tcr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string in(reinterpret_cast<const char*>(Data), Size);
    const std::string text = tarvex::TcrDecompress(std::string_view(in));
    if (text.size() > 255 * in.size()) std::abort();
    tarvex::TMemoryStream file(in);
    tarvex::TTcrStream s(file);
    if (s.Size() != static_cast<std::int64_t>(text.size())) std::abort();
    std::int64_t longest = 0, beforeNul = -1, run = 0;
    for (const char c : text) {
        if (c == '\0' && beforeNul < 0) beforeNul = longest;
        run = (c == '\r' || c == '\n') ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    if (beforeNul < 0) beforeNul = longest;
    if (s.LongestLine(false) != longest) std::abort();
    if (s.LongestLine(true) != beforeNul) std::abort();
    // Read in uneven pieces.
    std::string got;
    char buf[1000];
    for (std::int64_t k = 1; (k = s.Read(buf, 1 + static_cast<std::int64_t>(got.size() % 997))) > 0;)
        got.append(buf, static_cast<std::size_t>(k));
    if (got != text) std::abort();
    return 0;
}
