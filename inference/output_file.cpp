#include "output_file.h"

#include <charconv>
#include <cstdio>
#include <memory>

namespace tolven {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void AppendFixed8(std::string& text, float value) {
    char digits[64];  // the largest float in fixed point takes 39 digits and a sign
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 8);
    text.append(digits, end.ptr);
}

std::string WriteOutputFile(const std::string& path, std::span<const float> outputs,
                            std::size_t rows) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return "cannot open output file: " + path;

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
            written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
            text.clear();
        }
    }
    // Closing flushes the last bytes: a full disk may only show here.
    if (std::fclose(file.release()) != 0) written = false;
    return written ? std::string() : "cannot write output file: " + path;
}

}  // namespace tolven
