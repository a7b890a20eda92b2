// The frames that outline the groups on the matrix pictures (kvr --outline-groups): a black band
// just inside the edges of each block of a group's cells (model/group_frames.h), drawn over the
// cells on any DrawingSurface.
#pragma once

#include <vector>

#include "model/group_frames.h"
#include "platform/drawing_surface.h"

namespace kvr {

// Where the cells are on a surface: cell (column i, row j) spans left + width * i to
// left + width * (i + 1) across and height * j to height * (j + 1) down. A band is `band` of the
// surface's pixels of `pixel` units each (the units FillRect fills at least).
struct OutlineGeometry {
    int left = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int pixel = 1;
    int band = 1;
};

// The box a block's frame runs along, its right and bottom edges where the next cells begin.
SurfaceBox BlockBox(const CellBlock& block, const OutlineGeometry& at);

// Frames every block whose box meets the region, four filled bands each (top, bottom, left,
// right).
void DrawGroupOutlines(DrawingSurface& surface, const std::vector<CellBlock>& blocks,
                       const OutlineGeometry& at, const SurfaceBox& region);

}  // namespace kvr
