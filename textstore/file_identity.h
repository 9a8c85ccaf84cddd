#pragma once
// What a file on disk is and whether the user may write it: taken when a
// document is loaded or saved, and compared before the next save, so that a
// change made by another program is noticed even when that program put the
// modification time back.

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace tarvex {

struct TFileIdentity {
    bool Exists = false;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;  // modification time, nanoseconds since the epoch
    std::int64_t ChangedNs = 0;   // status change time (no program can set it back)
    std::uint64_t Inode = 0;
    std::uint64_t Device = 0;
    friend bool operator==(const TFileIdentity&, const TFileIdentity&) = default;
};

// The identity of the file Path names (symbolic links followed); Exists is
// false when it cannot be examined.
TFileIdentity FileIdentityOf(const std::string& Path);
// The identity of an open file.
TFileIdentity FileIdentityOf(int Fd);

// True when Path still names the file Taken describes, unchanged: the same
// device and inode, size, modification time and change time. An identity of
// a missing file matches a path that is still missing.
bool FileUnchanged(const TFileIdentity& Taken, const std::string& Path);

// Whether this user may write the existing file Path (links followed). For
// the superuser, whom permissions do not stop, a file without any write
// permission bit counts as read-only. A file that does not exist (or cannot
// be examined) gives true: there is nothing to overwrite.
bool MayWriteFile(const std::string& Path);

}  // namespace tarvex
