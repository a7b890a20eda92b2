// The session line of the pairs aligned in a bounded band (model/bounded_pairs.h):
// "#bounded-pairs<TAB>N: i-j i-j ...", the pairs by their places in the session (from 1, i < j,
// sorted) and N the number of sequences they are places among. A program that does not know the
// line keeps it as it is through an append, which adds sequences and may reorder them: the count
// no longer fits then, and the line is passed over rather than marking the wrong cells.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/bounded_pairs.h"

namespace kvr {

inline constexpr std::string_view kBoundedPairsKey = "bounded-pairs";

// The line's value for pairs (from 0) among n sequences.
std::string FormatBoundedPairs(int n, const std::vector<IndexPair>& pairs);

enum class BoundedPairsRead {
    Read,        // pairs holds the pairs, from 0, sorted
    OtherCount,  // sound, but of another number of sequences: not these sequences' marks
    Damaged,     // not a line this program writes
};
BoundedPairsRead ParseBoundedPairs(std::string_view value, int n, std::vector<IndexPair>& pairs);

}  // namespace kvr
