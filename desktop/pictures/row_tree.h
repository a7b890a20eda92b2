// The neighbour-joining tree drawn beside the matrix's names, its leaves at the rows' middles:
// lines only, so that every surface draws it alike, its branch lengths to scale in a fixed width.
#pragma once

#include <memory>

#include "io/tree_shape.h"
#include "model/run_state.h"
#include "platform/drawing_surface.h"

namespace kvr {

// Where the tree goes: its root at x, its deepest leaf at x + width, row r from top + r x
// rowHeight (all in the surface's units).
struct RowTreeBox {
    int x = 0;
    int width = 0;
    int top = 0;
    int rowHeight = 0;
};

// Draws the branches that lie in region (the whole tree when region is empty).
void DrawRowTree(DrawingSurface& surface, const TreeShape& tree, const RowTreeBox& box,
                 const SurfaceBox& region = {});

// The tree the window shows beside the names: the analysis's when the View menu's toggle is on.
std::shared_ptr<const TreeShape> ShownTree(const RunState& state);

}  // namespace kvr
