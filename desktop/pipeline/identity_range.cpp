#include "pipeline/identity_range.h"

#include <cmath>

namespace kvr {

bool FindIdentityRange(RunState& state, Progress& progress, const IdentityTable& matrix, int n) {
    IdentityRange range;
    // Row by row along the stored triangle: every pair once, in the order of memory.
    for (int a = 1; a < n; ++a)
        for (int b = 0; b < a; ++b) range.Add(matrix(a, b));
    return ApplyIdentityRange(state, progress, range);
}

bool ApplyIdentityRange(RunState& state, Progress& progress, const IdentityRange& range) {
    // Zeros never count as the smallest identity, unless no other pair is below 100 % (every
    // pair 0, or 0 and 100 only): then 0 is the range's bottom, and the set is anything but
    // 100 % similar.
    const bool allZero = range.largest == 0.0f && range.pairs > 0;
    const double smallest = range.zeros > 0 && range.smallest == 1.0 ? 0.0 : range.smallest;
    state.maxIdentity = range.largest;
    state.minIdentity = smallest;

    if (static_cast<float>(smallest * 100.0) > state.cutoff2) {
        state.cutoff2 = static_cast<float>(std::nearbyint(smallest * 100.0));
        if (state.cutoff1 < state.cutoff2) state.cutoff1 = state.cutoff2;
    }
    if (allZero) {
        progress.Message(kNothingSharedMessage);
        progress.End("Failed");
        return false;
    }
    if (smallest == 1.0) {
        progress.Message("All sequences are 100% similar, the analysis connot be perfomed");
        progress.End("Failed");
        return false;
    }
    return true;
}

}  // namespace kvr
