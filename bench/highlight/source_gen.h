#pragma once
// Reproducible source texts for the highlighter benchmarks: Pascal, HTML,
// C++ and an SQL dump, written in pieces to a file of exactly Size bytes.

#include <cstdint>
#include <string>

namespace tarvex::bench {

// Kind: "pas", "htm", "cpp" or "sqldump". False for an unknown kind.
bool GenerateSource(const std::string& Kind, const std::string& File, std::uint64_t Size);

}  // namespace tarvex::bench
