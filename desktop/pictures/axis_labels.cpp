#include "pictures/axis_labels.h"

#include <algorithm>
#include <numeric>

namespace kvr {

void KeepApart(std::vector<AxisLabel>& labels, const std::vector<SurfaceBox>& titles) {
    std::vector<std::size_t> order(labels.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return labels[a].rank < labels[b].rank; });
    std::vector<SurfaceBox> taken = titles;
    for (const std::size_t k : order) {
        AxisLabel& label = labels[k];
        label.shown = std::none_of(taken.begin(), taken.end(),
                                   [&](const SurfaceBox& box) { return box.Overlaps(label.box); });
        if (label.shown) taken.push_back(label.box);
    }
}

const AxisLabel* ShownLabel(const std::vector<AxisLabel>& labels, bool vertical, int tick) {
    for (const AxisLabel& label : labels)
        if (label.vertical == vertical && label.tick == tick) return label.shown ? &label : nullptr;
    return nullptr;
}

int HorizontalRank(int p, int lo, int maxPct) {
    if (p == lo || p == maxPct) return 0;
    return p == 100 ? 1 : 2;
}

}  // namespace kvr
