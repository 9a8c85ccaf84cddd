#include "textstore/text_buffer.h"

#include <cstdlib>
#include <new>

namespace tarvex {

namespace {
constexpr std::int64_t kHeader = 16;  // keeps the text 16-byte aligned
}

char* AllocTextBuffer(std::int64_t Size) {
    if (Size < 1) Size = 1;
    auto* raw = static_cast<char*>(std::malloc(static_cast<std::size_t>(Size + kHeader)));
    if (!raw) throw std::bad_alloc();
    *reinterpret_cast<std::int64_t*>(raw) = Size;
    return raw + kHeader;
}

std::int64_t TextBufferSize(const char* Text) {
    return *reinterpret_cast<const std::int64_t*>(Text - kHeader);
}

void FreeTextBuffer(char* Text) {
    if (Text) std::free(Text - kHeader);
}

}  // namespace tarvex
