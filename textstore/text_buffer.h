#pragma once
// Own text buffers of edited paragraphs. The buffer's size is stored with it
// (in a header before the text), so a paragraph knows how much room it has.

#include <cstdint>

namespace tarvex {

// A buffer with room for Size bytes (the text and its NUL); throws std::bad_alloc.
char* AllocTextBuffer(std::int64_t Size);
std::int64_t TextBufferSize(const char* Text);
void FreeTextBuffer(char* Text);

// The size the buffer policy gives a paragraph of length L: L + L/64 + 1.
constexpr std::int64_t GrownSize(std::int64_t L) { return L + L / 64 + 1; }

}  // namespace tarvex
