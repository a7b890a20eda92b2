#include "io/session_marks.h"

#include <algorithm>
#include <charconv>

namespace kvr {

namespace {

// A whole number from 1 at the front of text, which it leaves behind; false when there is none.
bool TakePlace(std::string_view& text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() || value < 1) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool TakeText(std::string_view& text, std::string_view expected) {
    if (!text.starts_with(expected)) return false;
    text.remove_prefix(expected.size());
    return true;
}

}  // namespace

std::string FormatBoundedPairs(int n, const std::vector<IndexPair>& pairs) {
    std::string text = std::to_string(n) + ":";
    for (const auto& [i, j] : pairs)
        text.append(" ").append(std::to_string(i + 1)).append("-").append(std::to_string(j + 1));
    return text;
}

BoundedPairsRead ParseBoundedPairs(std::string_view value, int n, std::vector<IndexPair>& pairs) {
    pairs.clear();
    int count = 0;
    if (!TakePlace(value, count) || !TakeText(value, ":")) return BoundedPairsRead::Damaged;
    std::vector<IndexPair> read;
    while (!value.empty()) {
        int i = 0, j = 0;
        if (!TakeText(value, " ") || !TakePlace(value, i) || !TakeText(value, "-") ||
            !TakePlace(value, j) || i >= j || j > count)
            return BoundedPairsRead::Damaged;
        read.emplace_back(i - 1, j - 1);
    }
    if (count != n) return BoundedPairsRead::OtherCount;
    std::sort(read.begin(), read.end());
    read.erase(std::unique(read.begin(), read.end()), read.end());
    pairs = std::move(read);
    return BoundedPairsRead::Read;
}

}  // namespace kvr
