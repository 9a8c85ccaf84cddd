#include "highlight/word_index.h"

#include <algorithm>
#include <cstring>

namespace tarvex {

namespace {
std::uint64_t LengthBit(std::size_t N) { return std::uint64_t(1) << (std::min<std::size_t>(N, 64) - 1); }
}  // namespace

void TWordIndex::Clear() {
    FWords.clear();
    FSlots.clear();
    FLengths = 0;
    std::fill(std::begin(FFirst), std::end(FFirst), false);
}

std::uint64_t TWordIndex::HashBytes(const char* P, std::size_t N, const unsigned char* Up) {
    std::uint64_t h = 1469598103934665603ull;
    if (Up) {
        for (std::size_t i = 0; i < N; ++i) h = (h ^ Up[static_cast<unsigned char>(P[i])]) * 1099511628211ull;
    } else {
        for (std::size_t i = 0; i < N; ++i) h = (h ^ static_cast<unsigned char>(P[i])) * 1099511628211ull;
    }
    return h ^ (h >> 32);
}

void TWordIndex::Add(std::string_view Word, std::int32_t Key) {
    if (Word.empty()) return;
    const std::uint64_t h = HashBytes(Word.data(), Word.size(), nullptr);
    if (!FSlots.empty()) {
        const std::size_t mask = FSlots.size() - 1;
        for (std::size_t i = h & mask; FSlots[i]; i = (i + 1) & mask) {
            TEntry& e = FWords[FSlots[i] - 1];
            if (e.Hash == h && e.Word == Word) {
                e.Keys.push_back(Key);
                return;
            }
        }
    }
    FWords.push_back({std::string(Word), h, {Key}});
    FLengths |= LengthBit(Word.size());
    FFirst[static_cast<unsigned char>(Word[0])] = true;
    if (FWords.size() * 2 > FSlots.size()) {
        Rehash();
    } else {
        const std::size_t mask = FSlots.size() - 1;
        std::size_t i = h & mask;
        while (FSlots[i]) i = (i + 1) & mask;
        FSlots[i] = static_cast<std::uint32_t>(FWords.size());
    }
}

void TWordIndex::Rehash() {
    std::size_t n = 16;
    while (n < FWords.size() * 4) n *= 2;
    FSlots.assign(n, 0);
    const std::size_t mask = n - 1;
    for (std::size_t w = 0; w < FWords.size(); ++w) {
        std::size_t i = FWords[w].Hash & mask;
        while (FSlots[i]) i = (i + 1) & mask;
        FSlots[i] = static_cast<std::uint32_t>(w + 1);
    }
}

const std::vector<std::int32_t>* TWordIndex::Find(const char* P, std::size_t N, const unsigned char* Up) const {
    if (N == 0 || !(FLengths & LengthBit(N))) return nullptr;
    const auto c0 = static_cast<unsigned char>(P[0]);
    if (!FFirst[Up ? Up[c0] : c0]) return nullptr;
    const std::uint64_t h = HashBytes(P, N, Up);
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t i = h & mask; FSlots[i]; i = (i + 1) & mask) {
        const TEntry& e = FWords[FSlots[i] - 1];
        if (e.Hash != h || e.Word.size() != N) continue;
        bool same = true;
        if (Up) {
            for (std::size_t j = 0; j < N && same; ++j) same = Up[static_cast<unsigned char>(P[j])] == static_cast<unsigned char>(e.Word[j]);
        } else {
            same = std::memcmp(P, e.Word.data(), N) == 0;
        }
        if (same) return &e.Keys;
    }
    return nullptr;
}

}  // namespace tarvex
