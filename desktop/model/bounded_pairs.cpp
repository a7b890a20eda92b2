#include "model/bounded_pairs.h"

#include <algorithm>

namespace kvr {

bool IsBoundedPair(const Analysis& analysis, int row, int column) {
    if (analysis.boundedPairs.empty() || row == column) return false;
    const int a = analysis.InputIndex(row), b = analysis.InputIndex(column);
    return std::binary_search(analysis.boundedPairs.begin(), analysis.boundedPairs.end(),
                              IndexPair{std::min(a, b), std::max(a, b)});
}

std::vector<IndexPair> BoundedPairsInDisplayOrder(const Analysis& analysis) {
    if (analysis.boundedPairs.empty()) return {};
    // The rows on display: while an append is loaded, the analysis it extends.
    const int n = static_cast<int>(analysis.SequenceList.size());
    // The display row of each input index.
    std::vector<int> shownAt(static_cast<std::size_t>(n), -1);
    for (int d = 0; d < n; ++d) {
        const int k = analysis.InputIndex(d);
        if (k >= 0 && k < n) shownAt[static_cast<std::size_t>(k)] = d;
    }
    std::vector<IndexPair> shown;
    shown.reserve(analysis.boundedPairs.size());
    for (const auto& [i, j] : analysis.boundedPairs) {
        if (i < 0 || j < 0 || i >= n || j >= n) continue;
        const int a = shownAt[static_cast<std::size_t>(i)],
                  b = shownAt[static_cast<std::size_t>(j)];
        if (a >= 0 && b >= 0 && a != b) shown.emplace_back(std::min(a, b), std::max(a, b));
    }
    std::sort(shown.begin(), shown.end());
    return shown;
}

std::string BoundedPairsNote(long long bounded, long long pairs) {
    return std::to_string(bounded) + " of " + std::to_string(pairs) +
           (pairs == 1 ? " pair" : " pairs") + (bounded == 1 ? " was" : " were") +
           " aligned in a bounded band: see docs/builtin_aligner.md";
}

}  // namespace kvr
