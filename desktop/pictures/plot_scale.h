// What both plot layouts derive from the identity range and the histogram: the percentages on the
// horizontal axis, the marked maximum, the bar heights and the labels of the vertical axis.
#pragma once

#include <array>
#include <string>

#include "model/run_state.h"
#include "platform/drawing_surface.h"

namespace kvr {

// The marks of both layouts: the points under the curve and the ticks of the vertical axis.
inline constexpr Rgb kPlotGreen{0, 255, 0};

struct PlotScale {
    int lo = 0;      // first percentage on the axis: floor(minIdentity x 100); the axis ends at 100
    int steps = 0;   // 100 - lo
    int maxPct = 0;  // maxIdentity x 100 rounded half to even, marked like the first tick
};
PlotScale PlotScaleOf(const RunState& state);

// The curve's first point: row lo - 1, the pairs at lo percent (the bin of the smallest identity
// when it rounds down), at the first tick. Row b then sits at the tick of b + 1 percent, the
// percentage it counts, so every row from the smallest identity's on is drawn.
int CurveFirstRow(const RunState& state);

// The vertical axis: tick k of 0 to 20 stands for k x step, step the least of 1, 2 or 5 times a
// power of ten whose 20 steps reach maxProportion, so that every tick is a round number.
inline constexpr int kVerticalTicks = 21;
double VerticalStep(const RunState& state);

// Row b's proportion as a share of the axis's top (20 steps); 0 when there is no histogram or no
// scale.
float ShareOfAxis(const RunState& state, int row);

// The labels of the vertical axis, ticks k = 0 to 20: k x step, as text with the decimals the
// step needs (at least two).
std::array<std::string, kVerticalTicks> VerticalLabels(const RunState& state);

}  // namespace kvr
