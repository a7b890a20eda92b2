// The labels of the plot's axes, kept apart: no label overprints another or a title. Both plot
// layouts place their candidates, then draw only those kept.
#pragma once

#include <string>
#include <vector>

#include "platform/drawing_surface.h"

namespace kvr {

struct AxisLabel {
    int tick = 0;  // the percentage (horizontal axis) or the tick number k (vertical axis)
    bool vertical = false;
    std::string text;
    int x = 0, y = 0;  // top-left corner
    SurfaceBox box;
    int rank = 0;  // lower ranks are kept first
    bool shown = false;
};

// Marks the labels to draw: by rank, then in the order given, each label whose box meets no
// title and no label kept before it.
void KeepApart(std::vector<AxisLabel>& labels, const std::vector<SurfaceBox>& titles);

// The label of one tick, or nullptr when it has none or it was left out.
const AxisLabel* ShownLabel(const std::vector<AxisLabel>& labels, bool vertical, int tick);

// Ranks of the horizontal axis: the first percentage and the marked maximum before 100, and
// 100 before the other multiples of 5.
int HorizontalRank(int p, int lo, int maxPct);

}  // namespace kvr
