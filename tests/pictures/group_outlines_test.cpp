// The groups outlined on the matrix pictures, drawn on the recording surface: each block's frame
// is four black bands just inside its cells, over the drawing made without outlines, which stays
// as it was.
#include "pictures/group_outlines.h"

#include <gtest/gtest.h>

#include "fakes/recording_surface.h"
#include "model/palette.h"
#include "pictures/matrix_canvas.h"
#include "pictures/matrix_picture.h"
#include "support/analysis_state.h"

namespace kvr {
namespace {

using Kind = DrawOp::Kind;

// Two families, A (input 0, 1, 2) and B (3, 4), and a loner (5), in a display order that splits
// both families: A's rows 0, 1 and 3, B's rows 2 and 4.
const std::vector<int> kDisplay = {0, 1, 3, 2, 4, 5};

RunState SplitFamilies() {
    const std::vector<int> family = {0, 0, 0, 1, 1, 2};
    RunState state = testing::MakeAnalysis(
        6, [&](int d, int e) { return family[kDisplay[d]] == family[kDisplay[e]] ? 0.96f : 0.5f; },
        [](int d) { return ">s" + std::to_string(kDisplay[d]); });
    state.treeOrder = kDisplay;
    return state;
}

std::vector<CellBlock> Blocks(const RunState& state) {
    return AnalysisGroupBlocks(state, {"s0", "s1", "s2", "s3", "s4", "s5"}, 95, Linkage::Complete);
}

// The frames drawn: the operations the outlines add to the drawing without them, which must be
// the drawing's own, unchanged and in order; each frame read back as the box its bands run along.
std::vector<SurfaceBox> AddedFrames(const RecordingSurface& plain, const RecordingSurface& framed,
                                    int pixel, int band) {
    std::vector<SurfaceBox> frames;
    std::size_t p = 0;
    for (std::size_t f = 0; f < framed.ops.size();) {
        const DrawOp& op = framed.ops[f];
        if (p < plain.ops.size() && op.kind == plain.ops[p].kind && op.x1 == plain.ops[p].x1 &&
            op.y1 == plain.ops[p].y1 && op.x2 == plain.ops[p].x2 && op.y2 == plain.ops[p].y2 &&
            op.colour == plain.ops[p].colour && op.text == plain.ops[p].text) {
            ++p;
            ++f;
            continue;
        }
        if (f + 4 > framed.ops.size()) break;
        const DrawOp &top = framed.ops[f], &bottom = framed.ops[f + 1], &left = framed.ops[f + 2],
                     &right = framed.ops[f + 3];
        for (const DrawOp* bandOp : {&top, &bottom, &left, &right}) {
            EXPECT_EQ(bandOp->kind, Kind::FillRect);
            EXPECT_EQ(bandOp->colour, kBlack);
        }
        // Bands of `band` pixels, both corners inside.
        EXPECT_EQ(top.y2 - top.y1, (band - 1) * pixel);
        EXPECT_EQ(right.x2 - right.x1, (band - 1) * pixel);
        EXPECT_EQ(bottom.x1, top.x1);
        EXPECT_EQ(left.y2, bottom.y2);
        frames.push_back({top.x1, top.y1, right.x2 + pixel, bottom.y2 + pixel});
        f += 4;
    }
    EXPECT_EQ(p, plain.ops.size()) << "the drawing without outlines is kept whole";
    return frames;
}

// The boxes of the blocks of both families on cells of width A and height B from left.
std::vector<SurfaceBox> Expected(int left, int A, int B) {
    const auto box = [&](int c0, int c1, int r0, int r1) {
        return SurfaceBox{left + A * c0, B * r0, left + A * (c1 + 1), B * (r1 + 1)};
    };
    return {box(0, 1, 0, 1), box(0, 1, 3, 3), box(3, 3, 3, 3),
            box(2, 2, 2, 2), box(2, 2, 4, 4), box(4, 4, 4, 4)};
}

TEST(GroupOutlines, FrameTheBlocksOfASplitGroupOnTheScreenDrawing) {
    const RunState state = SplitFamilies();
    RecordingSurface plain, framed;
    DrawMatrixCanvas(state, plain, {});
    DrawMatrixCanvas(state, framed, {}, Blocks(state));
    const CellGrid grid = MatrixDrawing(state, plain, {}).Cells();
    ASSERT_EQ(grid.cellWidth, 400);  // six sequences: cells of 400 x 380 twips, bands of 2 pixels
    EXPECT_EQ(AddedFrames(plain, framed, 15, 2),
              Expected(static_cast<int>(grid.left), grid.cellWidth, grid.cellHeight));
    EXPECT_EQ(framed.Width(), plain.Width());
    EXPECT_EQ(framed.Height(), plain.Height());

    // A view drawing a region draws the frames that meet it: here the rows of B's lower run.
    RecordingSurface part, partFramed;
    const SurfaceBox region{0, 4 * grid.cellHeight + 30, plain.Width(), 5 * grid.cellHeight - 30};
    MatrixDrawing(state, part, {}).Draw(part, region);
    MatrixDrawing(state, partFramed, {}, {}, Blocks(state)).Draw(partFramed, region);
    const std::vector<SurfaceBox> all =
        Expected(static_cast<int>(grid.left), grid.cellWidth, grid.cellHeight);
    EXPECT_EQ(AddedFrames(part, partFramed, 15, 2), (std::vector<SurfaceBox>{all[4], all[5]}));
}

TEST(GroupOutlines, FrameTheBlocksOnTheMetafilePicture) {
    const RunState state = SplitFamilies();
    RecordingSurface plain(16, 16), framed(16, 16);  // the EMF's fonts
    DrawMatrixPicture(state, plain);
    DrawMatrixPicture(state, framed, Blocks(state));
    // The triangle starts right of the names: the first cell's box.
    const auto boxes = plain.OpsOf(Kind::Box);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(AddedFrames(plain, framed, 1, 3), Expected(boxes.front().x1, 22, 20));
}

TEST(GroupOutlines, SmallCellsTakeOnePixelBands) {
    // 1,000 sequences: cells under eight pixels.
    RunState state = testing::MakeAnalysis(1000, testing::Gradient(1000, 0.5f));
    const std::vector<CellBlock> blocks = {{0, 0, 2, 2, 1}};
    RecordingSurface plain, framed;
    DrawMatrixCanvas(state, plain, {});
    DrawMatrixCanvas(state, framed, {}, blocks);
    const CellGrid grid = MatrixDrawing(state, plain, {}).Cells();
    ASSERT_LT(grid.cellWidth, 8 * 15);
    const int left = static_cast<int>(grid.left);
    EXPECT_EQ(AddedFrames(plain, framed, 15, 1),
              (std::vector<SurfaceBox>{
                  {left, 2 * grid.cellHeight, left + grid.cellWidth, 3 * grid.cellHeight}}));
}

}  // namespace
}  // namespace kvr
