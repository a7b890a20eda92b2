// Texts from the input (paths, fields) as messages may show them: control characters as "\xNN",
// and cut after maxBytes with "...", so that no message acts on the terminal or floods it.
#pragma once

#include <string>
#include <string_view>

namespace tolven {

inline std::string PrintableText(std::string_view text,
                                 std::size_t maxBytes = std::string_view::npos) {
    const bool cut = text.size() > maxBytes;
    if (cut) text = text.substr(0, maxBytes);
    std::string shown;
    shown.reserve(text.size() + 3);
    constexpr char kHex[] = "0123456789abcdef";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n') || byte == 0x7f) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else {
            shown += c;
        }
    }
    return cut ? shown + "..." : shown;
}

}  // namespace tolven
