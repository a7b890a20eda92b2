// What tells one version of a file from the next without reading it: the window notes it when it
// reads a file, and hashes the file for a run's record only while it is still the one it read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kvr {

struct FileStamp {
    std::uint64_t device = 0, inode = 0;  // a file saved by renaming a new one over it is another
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path (a symlink's target's); nothing when it cannot be reached.
std::optional<FileStamp> StampOf(const std::string& path);

}  // namespace kvr
