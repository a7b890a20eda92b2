// Whole-file reads and the program's writes. Every file is written to a temporary file in the
// target's folder and renamed over the target only when complete, so a failed or interrupted
// write never leaves a torn file where a good one was.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kvr {

// The whole file as bytes, or nothing when it cannot be opened or read (a folder included).
std::optional<std::string> ReadWholeFile(const std::string& path);

// How a write ended: reason is the system's word for what went wrong, empty on success.
struct WriteResult {
    bool ok = false;
    std::string reason;
    explicit operator bool() const { return ok; }
};

// Runs write on a fresh temporary file in path's folder (same extension, so writers that choose
// the format by it still work) and renames it over path when write returns true. On any failure
// the temporary file is removed and an existing file at path stays byte for byte as it was.
// The new file gets the mode of the file it replaces, else the usual mode for a new file.
WriteResult ReplaceFile(const std::string& path,
                        const std::function<bool(const std::string& temporaryPath)>& write);

// Removes the temporary file of a write in progress, if any. Async-signal-safe: for the handlers
// of SIGINT and SIGTERM, so that an interrupted program leaves no temporary file behind.
void RemovePendingTemporaryFile() noexcept;

// Writes text exactly as given, through ReplaceFile.
WriteResult WriteWholeFile(const std::string& path, std::string_view text);

// The message the user reads when a file could not be written.
std::string WriteFailureMessage(const std::string& path, const WriteResult& result);

// Removes a file, ignoring every error (a missing file included).
void DeleteFileQuietly(const std::string& path);

inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace kvr
