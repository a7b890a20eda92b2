#include "model/group_frames.h"

#include <algorithm>

#include "model/identity_view.h"

namespace kvr {

namespace {

struct Run {
    int first;
    int last;
};

}  // namespace

std::vector<CellBlock> GroupBlocks(const std::vector<int>& groupAtPosition) {
    const int n = static_cast<int>(groupAtPosition.size());
    const int groups =
        n == 0 ? 0 : *std::max_element(groupAtPosition.begin(), groupAtPosition.end());
    // Each group's runs of consecutive positions, in display order.
    std::vector<std::vector<Run>> runs(static_cast<std::size_t>(groups) + 1);
    std::vector<int> sizes(static_cast<std::size_t>(groups) + 1, 0);
    for (int d = 0; d < n;) {
        const int group = groupAtPosition[static_cast<std::size_t>(d)];
        int end = d + 1;
        while (end < n && groupAtPosition[static_cast<std::size_t>(end)] == group) ++end;
        runs[static_cast<std::size_t>(group)].push_back({d, end - 1});
        sizes[static_cast<std::size_t>(group)] += end - d;
        d = end;
    }
    std::vector<CellBlock> blocks;
    for (int group = 1; group <= groups; ++group) {
        if (sizes[static_cast<std::size_t>(group)] < 2) continue;  // a group of one is not framed
        const std::vector<Run>& its = runs[static_cast<std::size_t>(group)];
        for (std::size_t column = 0; column < its.size(); ++column)
            for (std::size_t row = column; row < its.size(); ++row)
                blocks.push_back(
                    {its[column].first, its[column].last, its[row].first, its[row].last, group});
    }
    return blocks;
}

std::vector<CellBlock> AnalysisGroupBlocks(const Analysis& analysis,
                                           const std::vector<std::string>& names, float threshold,
                                           Linkage linkage) {
    const int n = analysis.seqCount;
    std::vector<int> rowOf(static_cast<std::size_t>(n));
    for (int d = 0; d < n; ++d) rowOf[static_cast<std::size_t>(analysis.InputIndex(d))] = d;
    const Grouping grouping =
        GroupAtThreshold(IdentityView(analysis.IdentityMatrix, rowOf), names, threshold, linkage);
    std::vector<int> groupAtPosition(static_cast<std::size_t>(n));
    for (int d = 0; d < n; ++d)
        groupAtPosition[static_cast<std::size_t>(d)] =
            grouping.groupOf[static_cast<std::size_t>(analysis.InputIndex(d))];
    return GroupBlocks(groupAtPosition);
}

}  // namespace kvr
