#pragma once
// TWordIndex: whole-word keys by their text, looked up straight from the
// paragraph's bytes (folded on the fly when the index holds folded words).
// A word start is the most frequent question of the keyword pass: most words
// are rejected by their length or first byte before any hashing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class TWordIndex {
public:
    void Clear();
    bool Empty() const { return FWords.empty(); }
    // Key is one more key whose searched text is Word (Word not empty).
    void Add(std::string_view Word, std::int32_t Key);
    // The keys whose text is the N bytes at P (each byte mapped through Up
    // first, when Up is given), in the order they were added; nullptr when none.
    const std::vector<std::int32_t>* Find(const char* P, std::size_t N, const unsigned char* Up) const;

private:
    static constexpr std::size_t kMaxLen = 64;  // longer words are kept in the table, not in the length filter
    static std::uint64_t HashBytes(const char* P, std::size_t N, const unsigned char* Up);
    void Rehash();

    struct TEntry {
        std::string Word;
        std::uint64_t Hash = 0;
        std::vector<std::int32_t> Keys;
    };
    std::vector<TEntry> FWords;
    std::vector<std::uint32_t> FSlots;  // open addressing: entry + 1, 0 = free
    std::uint64_t FLengths = 0;         // bit L - 1: a word of L bytes (L < 64); bit 63: a longer one
    bool FFirst[256] = {};              // first bytes of the words
};

}  // namespace tarvex
