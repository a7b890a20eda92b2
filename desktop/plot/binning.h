// The histogram of identities by whole percent, behind the distribution plot and the plot data.
#pragma once

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

inline constexpr int kBinRows = 101;

// Rebuilds BinArray from the upper triangle of IdentityMatrix: row b counts the pairs whose
// identity in percent rounds (ties to even, on the single-precision value) to b + 1, row 0 also
// those that round to 0; column 1 holds count / pairs. Raises maxProportion to any larger
// proportion (it is never lowered). Shows progress in lblProgress and ProgressBar1.
void BinIdentities(RunState& state, Window& window);

}  // namespace kvr
