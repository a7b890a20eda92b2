// Groups of sequences at an identity threshold in percent, by complete linkage (every pair of a
// group at or above the threshold) or single linkage (the sequences linked by a chain of such
// pairs), with each group's representative and numbers that follow the order of the set.
//
// A pair is at the threshold when its identity in percent, the single-precision IdentityPercent
// that the table's percent column shows, is at least the threshold as a single-precision number.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/identity_view.h"

namespace kvr {

enum class Linkage { Complete, Single };

// "complete" or "single"; nothing for any other text.
std::optional<Linkage> LinkageNamed(std::string_view name);

struct Grouping {
    std::vector<int> groupOf;          // per sequence, its group's number from 1
    std::vector<int> sizes;            // per group (number - 1), its member count
    std::vector<int> representatives;  // per group (number - 1), the representative sequence
    int Count() const { return static_cast<int>(sizes.size()); }
};

// The groups of the sequences of percent at threshold. names (one per sequence) decide between
// equal linkages in complete linkage: see CompleteLinkageClusters, with the ranks of the names in
// byte order, equal names by their order in the set. Groups are numbered 1, 2, ... in the order
// of their first members. The representative of a group is the member with the highest mean
// identity to the other members, the first of equals; a group of one is its own.
Grouping GroupAtThreshold(const IdentityView& percent, const std::vector<std::string>& names,
                          float threshold, Linkage linkage);

// The clusters of single linkage: one label per sequence shared by the sequences that a chain of
// pairs at or above the threshold links.
std::vector<int> SingleLinkageClusters(const IdentityView& percent, float threshold);

}  // namespace kvr
