#pragma once
// Writing an editor's text: Windows-1251 with the document's line breaks,
// or UTF-8 (with or without a byte-order mark). The text goes from the
// paragraph store to the output in 1 MB pieces, converted on the way, so
// that saving needs no memory beyond the store's own at any size.

#include <cstdint>
#include <functional>
#include <string>

#include "textstore/stream.h"

namespace tarvex {

class TDudiRiri;

enum TTextEncoding { teAnsi, teUtf8, teUtf8Bom };

// Percent is bytes of the text written so far * 100 / CharCount.
using TWriteProgress = std::function<void(int Percent)>;

// Writes the text to Out. Progress is called about every IntervalMs (the
// editor's ProgressInterval when 0); what it throws ends the writing.
void WriteText(TDudiRiri& M, TStream& Out, TTextEncoding E, const TWriteProgress& Progress = {},
               std::uint32_t IntervalMs = 0);
// Writes the text to Path through a temporary file renamed over it (see
// SaveFileAtomically): on failure the old file stays and EStreamError says why.
// WhileFlushing is called every few milliseconds while the bytes reach the disk.
void SaveText(TDudiRiri& M, const std::string& Path, TTextEncoding E, const TWriteProgress& Progress = {},
              std::uint32_t IntervalMs = 0, const std::function<void()>& WhileFlushing = {});

}  // namespace tarvex
