#pragma once
// Writing a file so that it is never half-written: the bytes go to a
// temporary file in the target's folder, are flushed to disk and renamed over
// the target, which keeps its permission bits (and its owner when the
// process may set it). Through a symbolic link, the file it points to is
// replaced and the link stays.

#include <cstdint>
#include <functional>
#include <string>

#include "textstore/stream.h"

namespace tarvex {

// Calls Write with a stream on the temporary file, then puts it in place.
// On any failure (Write throwing included) the temporary is removed, the
// target is untouched and EStreamError says what went wrong.
void SaveFileAtomically(const std::string& Path, const std::function<void(TStream&)>& Write);

// The same for writers that can only write to a file by name (a PDF
// printer): Write gets the temporary's path and fills that file.
void SaveFileAtomicallyByName(const std::string& Path, const std::function<void(const std::string& TempPath)>& Write);

// The file a path finally names once symbolic links are followed (the path
// itself when it is no link or does not exist).
std::string FollowLinks(const std::string& Path);

// Modification time in nanoseconds since the epoch; 0 when the file cannot be read.
std::int64_t FileModifiedNs(const std::string& Path);
bool FileExists(const std::string& Path);
bool IsDirectory(const std::string& Path);

}  // namespace tarvex
