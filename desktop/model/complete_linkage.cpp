#include "model/complete_linkage.h"

#include <algorithm>
#include <cstddef>

namespace kvr {

namespace {

// The linkage of every pair of clusters, one triangle: a merged cluster keeps the slot of one of
// its halves and takes the lower identity of the two to every other cluster.
class LinkageTable {
  public:
    explicit LinkageTable(const IdentityView& percent) {
        const auto n = static_cast<std::size_t>(percent.Size());
        cells_.resize(n * (n - (n > 0)) / 2);
        std::size_t k = 0;
        for (int a = 1; a < percent.Size(); ++a)
            for (int b = 0; b < a; ++b) cells_[k++] = percent.Percent(a, b);
    }
    float& operator()(int a, int b) {
        if (a < b) std::swap(a, b);
        const auto r = static_cast<std::size_t>(a);
        return cells_[r * (r - 1) / 2 + static_cast<std::size_t>(b)];
    }

  private:
    std::vector<float> cells_;
};

}  // namespace

std::vector<int> CompleteLinkageClusters(const IdentityView& percent, const std::vector<int>& rank,
                                         float threshold) {
    const int n = percent.Size();
    LinkageTable linkage(percent);
    std::vector<int> key(rank);
    // The clusters that may still merge: each has a partner at or above the threshold. Linkages
    // only fall as clusters merge, so a cluster without such a partner keeps none and is closed.
    std::vector<int> open(static_cast<std::size_t>(n));
    std::vector<int> openAt(static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s) open[s] = openAt[s] = s;
    const auto close = [&](int s) {
        const int last = open.back();
        open[openAt[s]] = last;
        openAt[last] = openAt[s];
        open.pop_back();
    };
    // The members of the cluster in each slot, as linked lists.
    std::vector<int> next(static_cast<std::size_t>(n), -1), tail(open);

    // The nearest neighbour chain: each cluster's successor is its nearest neighbour (the highest
    // linkage, then the smallest key). The order of pairs is strict and complete linkage is
    // reducible, so a pair of reciprocal nearest neighbours merges here exactly when the greedy
    // method merges it.
    std::vector<int> chain;
    while (!open.empty()) {
        if (chain.empty()) chain.push_back(open.front());
        const int x = chain.back();
        int nearest = -1;
        float best = threshold;
        for (const int y : open) {
            if (y == x) continue;
            const float l = linkage(x, y);
            if (l > best ||
                (l == best && l >= threshold && (nearest < 0 || key[y] < key[nearest]))) {
                best = l;
                nearest = y;
            }
        }
        if (nearest < 0) {
            // Only a chain's first cluster can lack a partner: each later one has its predecessor.
            close(x);
            chain.pop_back();
            continue;
        }
        if (chain.size() < 2 || chain[chain.size() - 2] != nearest) {
            chain.push_back(nearest);
            continue;
        }
        chain.resize(chain.size() - 2);
        const int kept = std::min(x, nearest), gone = std::max(x, nearest);
        close(gone);
        for (const int k : open)
            if (k != kept) linkage(kept, k) = std::min(linkage(kept, k), linkage(gone, k));
        key[kept] = std::min(key[kept], key[gone]);
        next[tail[kept]] = gone;
        tail[kept] = tail[gone];
    }

    // Every slot that was never merged away heads its cluster's list.
    std::vector<int> cluster(static_cast<std::size_t>(n), -1);
    for (int s = 0; s < n; ++s) {
        if (cluster[s] >= 0) continue;
        for (int m = s; m >= 0; m = next[m]) cluster[m] = s;
    }
    return cluster;
}

}  // namespace kvr
