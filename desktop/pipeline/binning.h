// The histogram of identities by whole percent, behind the distribution plot and the plot data.
#pragma once

#include <vector>

#include "model/run_state.h"
#include "platform/progress.h"

namespace kvr {

inline constexpr int kBinRows = 101;

// Rebuilds BinArray from the upper triangle of IdentityMatrix: row b counts the pairs whose
// identity in percent rounds (ties to even, on the single-precision value) to b + 1, row 0 also
// those that round to 0; column 1 holds count / pairs. Raises maxProportion to any larger
// proportion of this pass, with its steps and percent told to the progress.
void BinIdentities(RunState& state, Progress& progress);

// The row of BinArray that an identity counts in.
int IdentityBin(float identity);

// BinArray from the number of pairs in each of its kBinRows rows, for identities that are never
// in a table: the counts, the proportions and maxProportion as BinIdentities sets them.
void SetBins(RunState& state, Progress& progress, const std::vector<long long>& counts);

}  // namespace kvr
