#include "io/text.h"

#include <algorithm>
#include <cctype>

namespace kvr {

std::string TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    if (text.empty()) return std::string(text);
    if (find.empty()) return TrimSpaces(text);

    // Count first so the result is sized once, whatever the replacement's length.
    std::size_t matches = 0;
    for (auto p = text.find(find); p != std::string_view::npos;
         p = text.find(find, p + find.size()))
        ++matches;
    if (matches == 0) return TrimSpaces(text);

    std::string result;
    result.resize(text.size() - matches * find.size() + matches * replacement.size());
    char* out = result.data();
    std::size_t from = 0;
    for (auto p = text.find(find); p != std::string_view::npos; p = text.find(find, from)) {
        out = std::copy(text.begin() + from, text.begin() + p, out);
        out = std::copy(replacement.begin(), replacement.end(), out);
        from = p + find.size();
    }
    std::copy(text.begin() + from, text.end(), out);
    return TrimSpaces(result);
}

std::string RemoveAll(std::string_view text, std::string_view chars) {
    bool drop[256] = {};
    for (unsigned char c : chars) drop[c] = true;
    std::string result;
    result.reserve(text.size());
    for (unsigned char c : text)
        if (!drop[c]) result.push_back(static_cast<char>(c));
    return TrimSpaces(result);
}

std::string CleanName(std::string_view line) {
    std::string name(line);
    for (char& c : name)
        if (c == ' ' || c == ':' || c == '/' || c == '\\' || c == '(' || c == ')') c = '_';
    return name;
}

std::string PrintableText(std::string_view text, std::size_t maxBytes) {
    const bool cut = text.size() > maxBytes;
    if (cut) text = text.substr(0, maxBytes);
    std::string out;
    out.reserve(text.size() + 3);
    constexpr char kHex[] = "0123456789abcdef";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7f) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    if (cut) out += "...";
    return out;
}

bool ContainsText(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool ContainsTextIgnoreCase(std::string_view text, std::string_view part) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace kvr
