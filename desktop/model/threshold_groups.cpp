#include "model/threshold_groups.h"

#include <algorithm>
#include <numeric>

#include "model/complete_linkage.h"

namespace kvr {

namespace {

// Each sequence's place among the names sorted by bytes, equal names by their order in the set.
std::vector<int> NameRanks(const std::vector<std::string>& names) {
    std::vector<int> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&names](int a, int b) { return names[a] < names[b]; });
    std::vector<int> rank(names.size());
    for (std::size_t r = 0; r < order.size(); ++r) rank[order[r]] = static_cast<int>(r);
    return rank;
}

int Root(std::vector<int>& parent, int s) {
    while (parent[s] != s) s = parent[s] = parent[parent[s]];
    return s;
}

}  // namespace

std::optional<Linkage> LinkageNamed(std::string_view name) {
    if (name == "complete") return Linkage::Complete;
    if (name == "single") return Linkage::Single;
    return std::nullopt;
}

std::vector<int> SingleLinkageClusters(const IdentityView& percent, float threshold) {
    const int n = percent.Size();
    std::vector<int> parent(static_cast<std::size_t>(n));
    std::iota(parent.begin(), parent.end(), 0);
    for (int a = 1; a < n; ++a)
        for (int b = 0; b < a; ++b)
            if (percent.Percent(a, b) >= threshold) {
                const int ra = Root(parent, a), rb = Root(parent, b);
                if (ra != rb) parent[std::max(ra, rb)] = std::min(ra, rb);
            }
    std::vector<int> cluster(static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s) cluster[s] = Root(parent, s);
    return cluster;
}

Grouping GroupAtThreshold(const IdentityView& percent, const std::vector<std::string>& names,
                          float threshold, Linkage linkage) {
    const int n = percent.Size();
    const std::vector<int> cluster =
        linkage == Linkage::Complete ? CompleteLinkageClusters(percent, NameRanks(names), threshold)
                                     : SingleLinkageClusters(percent, threshold);

    // Numbers in the order of each group's first member; the members of each in the set's order.
    Grouping grouping;
    grouping.groupOf.assign(static_cast<std::size_t>(n), 0);
    std::vector<int> numberOf(static_cast<std::size_t>(n), 0);
    std::vector<std::vector<int>> members;
    for (int s = 0; s < n; ++s) {
        int& number = numberOf[cluster[s]];
        if (number == 0) {
            members.emplace_back();
            number = static_cast<int>(members.size());
        }
        grouping.groupOf[s] = number;
        members[number - 1].push_back(s);
    }

    // The highest mean is the highest sum: the sums of one group have the same count.
    for (const std::vector<int>& group : members) {
        grouping.sizes.push_back(static_cast<int>(group.size()));
        int representative = group.front();
        double bestSum = -1;
        for (const int a : group) {
            double sum = 0;
            for (const int b : group)
                if (b != a) sum += percent.Percent(a, b);
            if (sum > bestSum) {
                bestSum = sum;
                representative = a;
            }
        }
        grouping.representatives.push_back(representative);
    }
    return grouping;
}

}  // namespace kvr
