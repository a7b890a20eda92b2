// What an output path names once its symbolic links are followed: a regular file (or none yet),
// replaced by rename; a device, FIFO, socket or open descriptor, written through; or a folder.
#pragma once

#include <string>

namespace kvr {

struct OutputTarget {
    enum class Kind {
        File,     // a regular file or none yet: written beside it and renamed over it
        Through,  // a device, FIFO, socket or descriptor: written into, never replaced
        Folder,   // cannot be written
        Broken,   // a loop of links, or a link that cannot be read: problem says which
    };
    Kind kind = Kind::File;
    std::string path;     // File: the file that is replaced (a link's final target)
    int descriptor = -1;  // Through: an open descriptor of this process ("/dev/stdout"), else -1
    std::string problem;  // Broken: the system's reason
};

// Follows path's links (relative ones from the link's own folder) to what a write must change.
OutputTarget ResolveOutputTarget(const std::string& path);

}  // namespace kvr
