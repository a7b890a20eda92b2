#include "pictures/group_outlines.h"

namespace kvr {

SurfaceBox BlockBox(const CellBlock& block, const OutlineGeometry& at) {
    return {at.left + at.cellWidth * block.firstColumn, at.cellHeight * block.firstRow,
            at.left + at.cellWidth * (block.lastColumn + 1), at.cellHeight * (block.lastRow + 1)};
}

void DrawGroupOutlines(DrawingSurface& surface, const std::vector<CellBlock>& blocks,
                       const OutlineGeometry& at, const SurfaceBox& region) {
    // FillRect takes both corners inside: a band of k pixels ends (k - 1) pixels past its start.
    const int reach = (at.band - 1) * at.pixel;
    for (const CellBlock& block : blocks) {
        const SurfaceBox box = BlockBox(block, at);
        if (!box.Overlaps(region)) continue;
        const int right = box.right - at.pixel, bottom = box.bottom - at.pixel;
        surface.FillRect(box.left, box.top, right, box.top + reach, kBlack);
        surface.FillRect(box.left, bottom - reach, right, bottom, kBlack);
        surface.FillRect(box.left, box.top, box.left + reach, bottom, kBlack);
        surface.FillRect(right - reach, box.top, right, bottom, kBlack);
    }
}

}  // namespace kvr
