// Whole-file reads and the program's text writes (8-bit, CR LF line ends).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvr {

// The whole file as bytes, or nothing when it cannot be opened or read (a folder included).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes text exactly as given, replacing any file of that name. False when it cannot.
bool WriteWholeFile(const std::string& path, std::string_view text);

// Removes a file, ignoring every error (a missing file included).
void DeleteFileQuietly(const std::string& path);

inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace kvr
