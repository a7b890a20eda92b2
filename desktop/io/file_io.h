// Whole-file reads and the program's writes. A regular file (or an absent one) is written to a
// temporary file in its folder, flushed to disk and renamed over it only when complete, so a
// failed or interrupted write never leaves a torn file where a good one was. A symbolic link's
// target is what gets replaced; devices, FIFOs and open descriptors are written through.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "model/result.h"

namespace kvr {

// The whole file as bytes, or nothing when it cannot be opened or read (a folder included).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Runs write on a fresh temporary file (same extension, so writers that choose the format by it
// still work) and puts the result in place when write returns true:
// - a regular or absent file (a link's final target included) is replaced by renaming the
//   temporary file, made in its folder, over it once its bytes are on disk; the folder is then
//   synced too, so the new file survives a power loss once this returns;
// - a device, FIFO, socket or open descriptor ("/dev/stdout", "/dev/fd/3") receives the bytes of
//   a temporary file made in the scratch folder ($TMPDIR, else /tmp) and is never replaced.
// On any failure, and when StopWrites was called, the temporary file is removed and an existing
// file at path stays byte for byte as it was. A new file gets the mode the umask gives, a
// replaced one keeps its mode.
// A failed write's problem is the system's word for what went wrong ("No such file or directory").
Result<void> ReplaceFile(const std::string& path,
                         const std::function<bool(const std::string& temporaryPath)>& write);

// What keeps path from being written, if anything does: a folder, a missing folder, a folder that
// cannot be written (for a file that is replaced), a loop of links.
Result<void> CheckOutput(const std::string& path);

// The file a write to path replaces (a link's final target, made absolute), or "" when path is
// written through or cannot be written: two outputs naming the same file have the same one.
std::string ReplacedFile(const std::string& path);

// A write to output would replace the existing file input (the same file once links are
// followed): a regular input only, as devices and pipes are written through, never replaced.
bool ReplacesFile(const std::string& output, const std::string& input);

// Async-signal-safe, for the handlers of SIGINT, SIGTERM and SIGHUP: removes the temporary file
// of the write in progress, which then fails instead of replacing its target, as does every
// later write. ResumeWrites undoes it (for tests).
void StopWrites() noexcept;
void ResumeWrites() noexcept;
bool WritesStopped() noexcept;

// Removes the temporary file of a write in progress, if any. Async-signal-safe.
void RemovePendingTemporaryFile() noexcept;

// For programs without a stop handler of their own (KVRv1, TOLVEN_Inference): SIGINT, SIGTERM
// and SIGHUP end the program as they always do, once the temporary file of the write in
// progress is removed.
void RemoveTemporaryFileOnStopSignals();

// Writes text exactly as given, through ReplaceFile.
Result<void> WriteWholeFile(const std::string& path, std::string_view text);

// Writes what write puts into the stream as it is formatted, through ReplaceFile, so that a large
// table is never held whole. write returns false to give up; the old file then stays. A scratch
// file (in a run's own folder, as WriteScratchFile) is not flushed to disk.
Result<void> WriteStreamedFile(const std::string& path,
                               const std::function<bool(std::ostream& out)>& write,
                               bool scratch = false);

// The same for a file that only this program reads back, in a run's own folder (an aligner's pair
// file, the tree program's input): replaced whole, but not flushed to disk, which would cost a
// sync for every pair and keep nothing worth keeping after a power loss.
Result<void> WriteScratchFile(const std::string& path, std::string_view text);

// The message the user reads when a file could not be written, from the write's problem.
std::string WriteFailureMessage(const std::string& path, const Problem& problem);

// Removes a file, ignoring every error (a missing file included).
void DeleteFileQuietly(const std::string& path);

inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace kvr
