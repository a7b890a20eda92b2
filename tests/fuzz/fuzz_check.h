// The contract checks of the fuzz targets: a broken contract is reported and ends the process, so
// that libFuzzer keeps the input and the corpus replay in the normal build fails.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: contract broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

namespace kvr::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at its first "\n\n\n" (or in the middle when there is none): two inputs from one.
inline std::pair<std::string_view, std::string_view> SplitInput(std::string_view text) {
    const auto cut = text.find("\n\n\n");
    if (cut == std::string_view::npos)
        return {text.substr(0, text.size() / 2), text.substr(text.size() / 2)};
    return {text.substr(0, cut), text.substr(cut + 3)};
}

// No byte a terminal would act on: control characters other than line feeds and tabs.
inline bool Printable(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7f) return false;
    }
    return true;
}

}  // namespace kvr::fuzz
