#include "pictures/row_tree.h"

#include <algorithm>
#include <cmath>

namespace kvr {

void DrawRowTree(DrawingSurface& s, const TreeShape& tree, const RowTreeBox& box,
                 const SurfaceBox& region) {
    const bool whole = region.right <= region.left;
    const double scale = tree.height > 0 ? box.width / tree.height : 0;
    const auto X = [&](double depth) {
        return box.x + static_cast<int>(std::lround(depth * scale));
    };
    const auto Y = [&](double rows) {
        return box.top + static_cast<int>(std::lround(rows * box.rowHeight));
    };
    // Lines wholly above or below the region are left out: a tall tree is drawn a strip at a time.
    const auto inRows = [&](int y0, int y1) {
        return whole || (y1 >= region.top && y0 <= region.bottom);
    };
    for (const TreeShape::Node& node : tree.nodes) {
        if (node.parent >= 0) {
            const int y = Y(node.y);
            if (inRows(y, y))
                s.Line(X(tree.nodes[static_cast<std::size_t>(node.parent)].depth), y, X(node.depth),
                       y, kBlack);
        }
        if (!node.leaf) {
            const int y0 = Y(node.firstY), y1 = Y(node.lastY);
            if (inRows(y0, y1)) s.Line(X(node.depth), y0, X(node.depth), y1, kBlack);
        }
    }
}

std::shared_ptr<const TreeShape> ShownTree(const RunState& state) {
    if (!state.choices.showTree) return nullptr;
    std::optional<TreeShape> tree = AnalysisTree(state);
    if (!tree) return nullptr;
    return std::make_shared<const TreeShape>(std::move(*tree));
}

}  // namespace kvr
