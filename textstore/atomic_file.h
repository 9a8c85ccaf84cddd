#pragma once
// Writing a file so that it is never half-written. Normally the bytes go to a
// temporary file in the target's folder, which takes the target's owner,
// permission bits, ACLs and extended attributes, is flushed to disk and
// renamed over the target. Where that rename would lose something (another
// owner that cannot be given back, attributes that cannot be copied, other
// hard links to the file), the file is written in place instead: the old
// bytes go to a flushed backup beside it first, then the file is overwritten
// and flushed, then the backup is removed, so that a crash leaves one good
// copy. A target that exists and is not a regular file (a device, a FIFO) is
// written into directly, never replaced. Through a symbolic link, the file it
// points to is what gets written; the link stays.

#include <cstdint>
#include <functional>
#include <string>

#include "textstore/file_identity.h"
#include "textstore/stream.h"

namespace tarvex {

enum TSaveMethod { smRenamed, smInPlace, smDirect };

struct TSaveResult {
    TSaveMethod Method = smRenamed;
    TFileIdentity Identity;  // of the file written, taken after the save
};

// Calls Write with a stream on the file to be written, then completes the
// save. On any failure (Write throwing included) EStreamError says what went
// wrong and the target holds its old bytes: a temporary is removed; an
// in-place write is undone from the backup (when even that fails, the
// message names the backup, which is kept).
// WhileFlushing, when given, is called every few milliseconds while the
// written bytes go to the disk (a window answers its user meanwhile).
TSaveResult SaveFileAtomically(const std::string& Path, const std::function<void(TStream&)>& Write,
                               const std::function<void()>& WhileFlushing = {});

// The same for writers that can only write to a file by name (a PDF
// printer): Write gets the path of a temporary file and fills that file.
// Where the target is written in place or into directly, the temporary's
// bytes are copied there once Write is done.
TSaveResult SaveFileAtomicallyByName(const std::string& Path, const std::function<void(const std::string& TempPath)>& Write);

// Removes the temporary files that interrupted saves of Path left beside it
// (".NAME.tarvex-XXXXXX", owned by this user) and that no running save holds.
// Returns how many were removed; errors only mean that a file stays.
int RemoveStaleTemporaries(const std::string& Path);

// The backup an interrupted in-place save of Path left beside it (the old
// content, whole), or "" when there is none.
std::string InterruptedSaveBackup(const std::string& Path);

// The file a path finally names once symbolic links are followed (the path
// itself when it is no link or does not exist).
std::string FollowLinks(const std::string& Path);

// Modification time in nanoseconds since the epoch; 0 when the file cannot be read.
std::int64_t FileModifiedNs(const std::string& Path);
bool FileExists(const std::string& Path);
bool IsDirectory(const std::string& Path);

}  // namespace tarvex
