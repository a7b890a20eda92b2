// The tree beside the names, on the screen drawing (and so SVG, PDF and PNG) and on the EMF
// picture: its leaves at the rows' middles, the names and cells moved right to make room for it,
// branch lengths to scale in a fixed width.
#include "pictures/row_tree.h"

#include <gtest/gtest.h>

#include "fakes/recording_surface.h"
#include "model/palette.h"
#include "pictures/matrix_canvas.h"
#include "pictures/matrix_picture.h"
#include "platform/emf/emf_surface.h"
#include "support/analysis_state.h"

namespace kvr {
namespace {

using Kind = DrawOp::Kind;

// Four sequences ordered by a tree with one negative branch: seq_3 sits at its parent's depth.
RunState TreeAnalysis() {
    RunState state = testing::MakeAnalysis(4, testing::Gradient(4, 0.6f));
    state.provenance.tree = "((seq_1:0.1,seq_2:0.3):0.2,(seq_3:-0.05,seq_4:0.1):0.1);";
    return state;
}

std::shared_ptr<const TreeShape> TreeOf(const RunState& state) {
    return std::make_shared<const TreeShape>(*AnalysisTree(state));
}

// The level lines at the rows' middles within the tree's width: each leaf's branch, by row.
std::vector<DrawOp> LeafBranches(const RecordingSurface& drawn, int x0, int width, int rowHeight) {
    std::vector<DrawOp> branches(4);
    for (const DrawOp& line : drawn.OpsOf(Kind::Line))
        if (line.y1 == line.y2 && line.x1 >= x0 && line.x2 <= x0 + width &&
            (line.y1 - rowHeight / 2) % rowHeight == 0 && line.y1 / rowHeight < 4)
            branches[static_cast<std::size_t>(line.y1 / rowHeight)] = line;
    return branches;
}

TEST(RowTree, TheScreenDrawingHasTheTreeLeftOfTheNames) {
    const RunState state = TreeAnalysis();
    RecordingSurface plain, treed;
    DrawMatrixCanvas(state, plain, Size{});
    DrawMatrixCanvas(state, treed, Size{}, {}, TreeOf(state));

    // 150 pixels of tree, a pixel from the edge, and the names' margin of 10 after it.
    constexpr int kShift = 15 + 2250 + 150;
    EXPECT_EQ(treed.OpsOf(Kind::Text).front().x1, plain.OpsOf(Kind::Text).front().x1 + kShift);
    EXPECT_EQ(treed.OpsOf(Kind::FillRect).front().x1,
              plain.OpsOf(Kind::FillRect).front().x1 + kShift);
    EXPECT_EQ(treed.Width(), plain.Width() + kShift);

    // Cells of 380 twips: each leaf's branch ends at its row's middle, its depth to scale
    // (0.5, the deepest, is 2250 twips from the root; seq_3's -0.05 counts as none).
    const std::vector<DrawOp> leaves = LeafBranches(treed, 15, 2250, 380);
    const int expectedStart[] = {15 + 900, 15 + 900, 15 + 450, 15 + 450};
    const int expectedEnd[] = {15 + 1350, 15 + 2250, 15 + 450, 15 + 900};
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(leaves[r].y1, static_cast<int>(380 * r + 190)) << r;
        EXPECT_EQ(leaves[r].x1, expectedStart[r]) << r;
        EXPECT_EQ(leaves[r].x2, expectedEnd[r]) << r;
    }
    // The joins: seq_1 and seq_2 at depth 0.2, from row middle 0 to 1; the root's from the
    // middle of the first pair to the middle of the second.
    std::vector<DrawOp> joins;
    for (const DrawOp& line : treed.OpsOf(Kind::Line))
        if (line.x1 == line.x2 && line.y1 != line.y2 && line.x1 < kShift) joins.push_back(line);
    ASSERT_EQ(joins.size(), 3u);
    EXPECT_EQ(joins[0].x1, 15);
    EXPECT_EQ(joins[0].y1, 380);   // between rows 0 and 1 ...
    EXPECT_EQ(joins[0].y2, 1140);  // ... and rows 2 and 3
    EXPECT_EQ(joins[1].x1, 15 + 900);
    EXPECT_EQ(joins[1].y1, 190);
    EXPECT_EQ(joins[1].y2, 570);

    // A region below the rows draws none of it.
    RecordingSurface strip;
    const MatrixDrawing drawing(state, strip, Size{}, {}, {}, TreeOf(state));
    drawing.Draw(strip, {0, 1600, 2400, 3000});
    for (const DrawOp& line : strip.OpsOf(Kind::Line)) EXPECT_GE(line.x1, kShift);
}

TEST(RowTree, TheEmfPictureHasTheTreeLeftOfTheNames) {
    const RunState state = TreeAnalysis();
    RecordingSurface plain(EmfSurface::kTextCell, EmfSurface::kTextCell);
    RecordingSurface treed(EmfSurface::kTextCell, EmfSurface::kTextCell);
    DrawMatrixPicture(state, plain);
    const TreeShape tree = *AnalysisTree(state);
    DrawMatrixPicture(state, treed, {}, &tree);

    constexpr int kShift = 2 + 150 + 10;
    EXPECT_EQ(treed.OpsOf(Kind::Text).front().x1, plain.OpsOf(Kind::Text).front().x1 + kShift);
    EXPECT_EQ(treed.OpsOf(Kind::Box).front().x1, plain.OpsOf(Kind::Box).front().x1 + kShift);
    EXPECT_NEAR(MatrixPictureFrame(state, true).width - MatrixPictureFrame(state).width,
                EmfSurface::PixelsToFrame(kShift), 2)
        << "the frame holds it";
    const std::vector<DrawOp> leaves = LeafBranches(treed, 2, 150, 20);
    const int expectedEnd[] = {2 + 90, 2 + 150, 2 + 30, 2 + 60};
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(leaves[r].y1, static_cast<int>(20 * r + 10)) << r;
        EXPECT_EQ(leaves[r].x2, expectedEnd[r]) << r;
    }
}

}  // namespace
}  // namespace kvr
