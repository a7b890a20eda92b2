// Complete-linkage clustering cut at an identity threshold: the clusters that the standard
// agglomerative method has formed when the next merge would join two clusters with a pair below
// the threshold, so every pair within a cluster is at or above it.
#pragma once

#include <vector>

#include "model/identity_view.h"

namespace kvr {

// The cluster of each sequence (a label shared by its members: the slot of one of them). Merges go
// by the highest linkage (the lowest identity between two clusters); equal linkages by the pair of
// the clusters' keys, where a cluster's key is the smallest rank among its members: the smaller
// key of the two first, then the larger. rank holds every value from 0 to n - 1 once, so the order
// of merges is strict and the clusters do not depend on the order of the input, only on the ranks.
// Time O(n^2), memory one float a pair (the nearest-neighbour chain).
std::vector<int> CompleteLinkageClusters(const IdentityView& percent, const std::vector<int>& rank,
                                         float threshold);

}  // namespace kvr
