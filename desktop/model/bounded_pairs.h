// The pairs of an analysis whose identity the built-in aligner computed in the widest band its
// memory budget allows rather than exactly (Analysis::boundedPairs): looked up by a cell on
// display, listed in display order for a session, and told in one sentence after a run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/analysis.h"

namespace kvr {

using IndexPair = std::pair<int, int>;

// The pair of the cell at display row and column (either way round) was aligned in a bounded band.
bool IsBoundedPair(const Analysis& analysis, int row, int column);

// The bounded pairs by their display positions (i < j), sorted: a session's own order, and the
// input order of the pairs an append keeps.
std::vector<IndexPair> BoundedPairsInDisplayOrder(const Analysis& analysis);

// "2 of 3 pairs were aligned in a bounded band: see docs/builtin_aligner.md" (no line end).
std::string BoundedPairsNote(long long bounded, long long pairs);

// The short mark of a bounded pair beside its identity.
inline constexpr const char* kBoundedPairMark = "bounded band: see docs/builtin_aligner.md";

}  // namespace kvr
