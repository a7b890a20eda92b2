#include "pipeline/binning.h"

#include <algorithm>
#include <cmath>

#include "io/progress_meter.h"

namespace kvr {

int IdentityBin(float identity) {
    const double percent = static_cast<double>(identity) * 100;
    const double row = std::nearbyint(percent) - 1;  // ties to even
    // Identities are fractions 0..1; anything else is kept inside the table.
    return row > 0 ? static_cast<int>(std::min(row, double{kBinRows - 1})) : 0;
}

void BinIdentities(RunState& state, Progress& progress) {
    progress.Step("Creating bins ...");
    // Whole counts: a single-precision counter stops growing at 2^24 pairs in one row.
    std::vector<long long> counts(kBinRows, 0);

    const int n = state.seqCount;
    const float nf = static_cast<float>(n);
    const float totalPairs = (nf * nf - nf) / 2;
    double done = 0;
    ProgressMeter meter(progress);
    // Row by row along the stored triangle: every pair once, in the order of memory (the counts
    // and the progress do not depend on the order).
    for (int i = 1; i < n; ++i) {
        for (int j = 0; j < i; ++j) {
            ++counts[IdentityBin(state.IdentityMatrix(i, j))];

            // The bar is set before the counter moves: 0 for the first pair, never 100 here.
            meter.Show(done++, totalPairs);
        }
    }
    SetBins(state, progress, counts);
}

void SetBins(RunState& state, Progress& progress, const std::vector<long long>& counts) {
    state.BinArray.assign(kBinRows, {0.0f, 0.0f});
    // The plot's scale belongs to this histogram alone, never to an earlier analysis.
    state.maxProportion = 0.0f;
    for (int b = 0; b < kBinRows && b < static_cast<int>(counts.size()); ++b)
        state.BinArray[b][0] = static_cast<float>(counts[b]);
    const float nf = static_cast<float>(state.seqCount);
    const float totalPairs = (nf * nf - nf) / 2;

    progress.Percent(0);
    progress.Step("Calculating proportions ...");
    for (int b = 0; b < kBinRows - 1; ++b) {
        // Fewer than two sequences have no pairs, and no proportions.
        if (totalPairs <= 0) break;
        const float proportion = static_cast<float>(static_cast<double>(state.BinArray[b][0]) /
                                                    static_cast<double>(totalPairs));
        state.BinArray[b][1] = proportion;
        if (proportion > state.maxProportion) state.maxProportion = proportion;
    }
    progress.End("Done");
}

}  // namespace kvr
