#include "pictures/plot_scale.h"

#include <algorithm>
#include <cmath>

#include "io/number_text.h"

namespace kvr {

PlotScale PlotScaleOf(const RunState& state) {
    PlotScale scale;
    scale.lo = static_cast<int>(std::floor(state.minIdentity * 100));
    scale.steps = 100 - scale.lo;
    const float maxPercent = static_cast<float>(state.maxIdentity * 100);
    scale.maxPct = static_cast<int>(std::nearbyint(maxPercent));
    return scale;
}

int CurveFirstRow(const RunState& state) {
    return PlotScaleOf(state).lo - 1;
}

double VerticalStep(const RunState& state) {
    if (!(state.maxProportion > 0)) return 0.05;  // an empty histogram: 0 to 1
    // A hair under the twentieth, so that a maximum on a round top keeps that top.
    const double least = static_cast<double>(state.maxProportion) / 20 * (1 - 1e-6);
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= least) return factor * power;
    return 10 * power;
}

float ShareOfAxis(const RunState& state, int row) {
    if (row < 0 || row >= static_cast<int>(state.BinArray.size())) return 0;
    if (!(state.maxProportion > 0)) return 0;
    return static_cast<float>(state.BinArray[row][1] / (20 * VerticalStep(state)));
}

std::array<std::string, kVerticalTicks> VerticalLabels(const RunState& state) {
    const double step = VerticalStep(state);
    const int digits = std::max(2, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
    std::array<std::string, kVerticalTicks> labels;
    for (int k = 0; k < kVerticalTicks; ++k) labels[k] = FormatDecimals(k * step, digits);
    return labels;
}

}  // namespace kvr
