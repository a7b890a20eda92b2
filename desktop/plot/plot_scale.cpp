#include "plot/plot_scale.h"

#include <cmath>

#include "state/number_text.h"

namespace kvr {

PlotScale PlotScaleOf(const RunState& state) {
    PlotScale scale;
    scale.lo = static_cast<int>(std::floor(state.minIdentity * 100));
    scale.steps = 100 - scale.lo;
    const float maxPercent = static_cast<float>(static_cast<double>(state.maxIdentity) * 100);
    scale.maxPct = static_cast<int>(std::nearbyint(maxPercent));
    return scale;
}

int CurveFirstRow(const RunState& state) {
    return PlotScaleOf(state).lo - 1;
}

float ShareOfMaximum(const RunState& state, int row) {
    if (row < 0 || row >= static_cast<int>(state.BinArray.size())) return 0;
    if (!(state.maxProportion > 0)) return 0;
    return state.BinArray[row][1] / state.maxProportion;
}

std::array<std::string, kVerticalTicks> VerticalLabels(const RunState& state) {
    const float step = state.maxProportion / 20;
    std::array<std::string, kVerticalTicks> labels;
    for (int digits = 2;; ++digits) {
        for (int k = 0; k < kVerticalTicks; ++k)
            labels[k] = FormatDecimals(static_cast<float>(k) * step, digits);
        bool distinct = true;
        for (int k = 1; k < kVerticalTicks; ++k) distinct = distinct && labels[k] != labels[k - 1];
        if (distinct || digits == 6) return labels;
    }
}

}  // namespace kvr
