#include "output_file.h"

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "io/file_io.h"

namespace tolven {
namespace {

// Writes the rows to file and closes it; false, with errno telling why, when a write or the close
// failed.
bool WriteRows(std::FILE* file, std::span<const float> outputs, std::size_t rows) {
    constexpr std::size_t kFlushSize = 1 << 16;
    std::string text;
    text.reserve(kFlushSize + 256);
    bool written = true;
    for (std::size_t r = 0; r < rows && written; ++r) {
        for (std::size_t k = 0; k < kOutputsPerRow; ++k) {
            if (k > 0) text += ',';
            AppendFixed8(text, outputs[r * kOutputsPerRow + k]);
        }
        text += '\n';
        if (text.size() >= kFlushSize || r + 1 == rows) {
            written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
            text.clear();
        }
    }
    // Closing flushes the last bytes: a full disk may only show here.
    const int writeError = errno;
    if (std::fclose(file) != 0) return false;
    if (!written) errno = writeError;
    return written;
}

}  // namespace

void AppendFixed8(std::string& text, float value) {
    char digits[64];  // the largest float in fixed point takes 39 digits and a sign
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 8);
    text.append(digits, end.ptr);
}

std::string WriteOutputFile(const std::string& path, std::span<const float> outputs,
                            std::size_t rows) {
    // Written whole beside the target and renamed over it (a device or pipe is written through):
    // a full disk or a kill leaves the old output, never a partial one.
    bool opened = false;
    const kvr::Result<void> result = kvr::ReplaceFile(path, [&](const std::string& temporary) {
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        if (file == nullptr) return false;
        opened = true;
        return WriteRows(file, outputs, rows);
    });
    if (result) return {};
    if (!opened) return "cannot open output file: " + path;
    return "cannot write output file: " + path + " (" + result.problem().message + ")";
}

}  // namespace tolven
