#include "matrix/matrix_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "matrix/palette.h"
#include "platform/fakes/recording_surface.h"
#include "support/analysis_state.h"

namespace kvr {
namespace {

using Kind = DrawOp::Kind;
using testing::Gradient;
using testing::MakeAnalysis;

RunState CanvasAnalysis(int n) {
    RunState state = MakeAnalysis(n, Gradient(n, 0.6f));
    BuildPalette(state);
    return state;
}

RecordingSurface Draw(const RunState& state, Size viewport = {}) {
    RecordingSurface canvas;
    DrawMatrixCanvas(state, canvas, viewport);
    return canvas;
}

TEST(MatrixCanvas, CellSizesAndCanvasSizeFollowTheNumberOfSequences) {
    struct Case {
        int n, cellWidth, cellHeight;
    };
    for (const Case c : {Case{10, 400, 380}, Case{11, 370, 350}, Case{20, 370, 350},
                         Case{21, 320, 300}, Case{30, 320, 300}, Case{31, 220, 200}}) {
        const RunState state = CanvasAnalysis(c.n);  // names ">seq_1".. ">seq_NN": L = 6 or 7 x 90
        const int L = state.maxNameLen * 90;
        const RecordingSurface canvas = Draw(state);
        const auto boxes = canvas.OpsOf(Kind::FillRect);
        // The first fill is the top-left cell: row 0, column 0.
        EXPECT_EQ(boxes.front().x1, L + 150) << c.n;
        EXPECT_EQ(boxes.front().x2 - boxes.front().x1, c.cellWidth) << c.n;
        EXPECT_EQ(boxes.front().y2 - boxes.front().y1, c.cellHeight) << c.n;
        // R + 1275, R = nA + L + 150 the right edge of the triangle, and n B + L + 150; below
        // 20 sequences the key beside the triangle's middle may need more: its title starts at R,
        // its 22 boxes of 108 at n B / 2 + 300, and it ends 60 twips inside.
        const int R = c.n * c.cellWidth + L + 150;
        int width = std::max(R + 1275, 3500);
        int height = std::max(c.n * c.cellHeight + L + 150, 3100);
        if (c.n < 20) {
            width = std::max(
                width,
                R + canvas.MeasureText("Pairwise identity (%)", TextTurn::Upright).along + 60);
            height = std::max(height, c.n * c.cellHeight / 2 + 300 + 22 * 108 + 60);
        }
        EXPECT_EQ(canvas.Width(), width) << c.n;
        EXPECT_EQ(canvas.Height(), height) << c.n;
    }
}

TEST(MatrixCanvas, LowerLeftTriangleWithOutlinedCellsInPaletteColours) {
    const RunState state = CanvasAnalysis(5);
    const RecordingSurface canvas = Draw(state);
    const auto fills = canvas.OpsOf(Kind::FillRect);
    // 15 cells, 22 key boxes and 11 ticks.
    ASSERT_EQ(fills.size(), 15u + 22 + 11);
    const int L = state.maxNameLen * 90;
    // Column 0 holds every row; the diagonal cell of column 4 is the last cell.
    EXPECT_EQ(fills[0].y1, 0);
    EXPECT_EQ(fills[4].y1, 4 * 380);
    EXPECT_EQ(fills[14].x1, L + 150 + 4 * 400);
    EXPECT_EQ(fills[14].y1, 4 * 380);
    EXPECT_EQ(fills[0].colour, state.Palette[63]) << "diagonal: identity 1";
    EXPECT_EQ(fills[4].colour, state.Palette[CellColourIndex(state, state.IdentityMatrix(0, 4))]);
    EXPECT_EQ(fills[4].colour, state.Palette[0]) << "the minimum's cell";
    // Each cell is outlined by four black lines: top, left, right, bottom.
    const auto& ops = canvas.ops;
    const auto first = std::find_if(ops.begin(), ops.end(),
                                    [](const DrawOp& op) { return op.kind == Kind::FillRect; });
    ASSERT_GE(ops.end() - first, 5);
    const DrawOp& cell = *first;
    const DrawOp& top = first[1];
    const DrawOp& bottom = first[4];
    EXPECT_EQ(top.kind, Kind::Line);
    EXPECT_EQ(top.colour, kBlack);
    EXPECT_EQ(std::tie(top.x1, top.y1, top.x2, top.y2),
              std::tie(cell.x1, cell.y1, cell.x2, cell.y1));
    EXPECT_EQ(std::tie(bottom.x1, bottom.y1, bottom.x2, bottom.y2),
              std::tie(cell.x1, cell.y2, cell.x2, cell.y2));
}

TEST(MatrixCanvas, NamesWithoutMarkersAlongTwoSides) {
    RunState state = MakeAnalysis(3, Gradient(3, 0.7f), [](int i) {
        return i == 1 ? std::string(">a>b") : ">n" + std::to_string(i);
    });
    BuildPalette(state);
    const RecordingSurface canvas = Draw(state);
    const auto upright = canvas.OpsOf(Kind::Text);
    const auto turned = canvas.OpsOf(Kind::RotatedText);
    ASSERT_EQ(turned.size(), 3u);
    EXPECT_EQ(upright[1].text, "ab");
    EXPECT_EQ(turned[1].text, "ab");
    const int L = 4 * 90;
    // Row names centred on a 200-twip line; column names on a common baseline below the cells.
    EXPECT_EQ(upright[1].x1, 0);
    EXPECT_EQ(upright[1].y1, 380 + 90);
    EXPECT_EQ(turned[1].x1, L + 400 + 200);
    EXPECT_EQ(turned[1].y1, 3 * 380 + L + 75);
}

TEST(MatrixCanvas, KeyTitleAndBoxesByTheNumberOfSequences) {
    {
        // Fewer than 20: half-way down the triangle, box 162.5 x 108.
        const RunState state = CanvasAnalysis(5);
        const RecordingSurface canvas = Draw(state);
        const int R = 5 * 400 + state.maxNameLen * 90 + 150;
        const auto texts = canvas.OpsOf(Kind::Text);
        const auto title = std::find_if(texts.begin(), texts.end(), [](const DrawOp& op) {
            return op.text == "Pairwise identity (%)";
        });
        ASSERT_NE(title, texts.end());
        EXPECT_EQ(title->x1, R);
        EXPECT_EQ(title->y1, 5 * 380 / 2);
        const auto fills = canvas.OpsOf(Kind::FillRect);
        const DrawOp& firstBox = fills[15];
        EXPECT_EQ(firstBox.x1, R + 600);
        EXPECT_EQ(firstBox.y1, 5 * 380 / 2 + 300);
        EXPECT_EQ(firstBox.y2 - firstBox.y1, 108);
        EXPECT_EQ(firstBox.x2, R + 600 + 162 + 200);  // 162.5 + 200, half to even
        EXPECT_EQ(firstBox.colour, state.Palette[63]);
        // The labels: " 100" first, eleven in all; each after a tick.
        const auto labels = std::vector<DrawOp>(title + 1, texts.end());
        ASSERT_EQ(labels.size(), 11u);
        EXPECT_EQ(labels.front().text, " 100");
        EXPECT_EQ(labels.front().y1, firstBox.y1);
    }
    {
        // 20 and more: (H - L - K) / 2, box 243.75 x 139 above 30.
        const RunState state = CanvasAnalysis(40);
        const RecordingSurface canvas = Draw(state);
        const int L = state.maxNameLen * 90;
        const int R = 40 * 220 + L + 150;
        const int H = canvas.Height();
        const auto texts = canvas.OpsOf(Kind::Text);
        const DrawOp& title = texts[40];
        EXPECT_EQ(title.text, "Pairwise identity (%)");
        EXPECT_EQ(title.x1, R - 450);
        EXPECT_NEAR(title.y1, (H - L - 4255) / 2.0 - 400, 0.5);
        const DrawOp& firstBox = canvas.OpsOf(Kind::FillRect)[40 * 41 / 2];
        EXPECT_EQ(firstBox.x1, R + 300);
        EXPECT_EQ(firstBox.y2 - firstBox.y1, 139);
    }
}

TEST(MatrixCanvas, SmallMatrixFillsAtLeastTheMinimumAndTheViewport) {
    const RunState one = CanvasAnalysis(1);
    const RecordingSurface canvas = Draw(one);
    EXPECT_EQ(canvas.Width(), 3500);
    EXPECT_EQ(canvas.Height(), 3100);
    EXPECT_EQ(canvas.OpsOf(Kind::FillRect).front().x1, one.maxNameLen * 90 + 150);
    EXPECT_EQ(canvas.OpsOf(Kind::FillRect).size(), 1u + 22 + 11) << "the key is still drawn";

    const RecordingSurface fitted = Draw(CanvasAnalysis(5), Size{9000, 6000});
    EXPECT_EQ(fitted.Width(), 9000);
    EXPECT_EQ(fitted.Height(), 6000);
}

}  // namespace
}  // namespace kvr
