// Fuzz target: the Word probe and extraction, and the importer's built-in paths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tools/doc_import.h"
#include "textstore/stream.h"
#include "tools/ucs2.h"
#include "tools/word_doc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string in(reinterpret_cast<const char*>(Data), Size);
    tarvex::TMemoryStream file(in), out;
    const tarvex::TWordKind kind = tarvex::WordDocProbe(file, nullptr);
    if (tarvex::WordDocProbe(file, &out) != kind) std::abort();
    if (out.Size() > static_cast<std::int64_t>(in.size())) std::abort();
    if (kind == tarvex::wkNone && out.Size() != 0) std::abort();
    if (file.Position() != 0 || out.Position() != 0) std::abort();

    tarvex::TTextImportTarget target;
    tarvex::ImportDocument("fuzz.doc", file, false, target, {});
    if (target.NullReplacement() != 0) std::abort();
    (void)tarvex::Ucs2ToAnsi(in);
    return 0;
}
