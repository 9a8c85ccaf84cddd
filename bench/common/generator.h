#pragma once
// Reproducible test files for the benchmarks. The bytes depend only on the
// kind and the size: the generator uses its own PRNG with fixed seeds and no
// library distribution, whose results differ between standard libraries.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace tarvex::bench {

// Bump whenever the output changes, so that cached data files made by an older
// generator are not reused (data.sh puts it in the file names).
inline constexpr int kGeneratorVersion = 1;

enum class DataKind {
    Prose,      // Cyrillic and Latin prose in Windows-1251, CR LF breaks
    Log,        // log lines of 60-200 bytes with LF breaks
    LongLines,  // a few lines of several MB each, LF breaks
};

std::optional<DataKind> ParseDataKind(std::string_view Name);
const char* DataKindName(DataKind Kind);

// Sink receives the file in order, in pieces of up to a few MB.
using DataSink = std::function<void(const char* Data, std::size_t Len)>;

// Produces exactly Size bytes of the kind.
void GenerateData(DataKind Kind, std::uint64_t Size, const DataSink& Sink);

}  // namespace tarvex::bench
