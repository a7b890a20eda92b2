#include "pictures/matrix_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/recording_surface.h"
#include "model/palette.h"
#include "support/analysis_state.h"

namespace kvr {
namespace {

using Kind = DrawOp::Kind;
using testing::Gradient;
using testing::MakeAnalysis;

RunState CanvasAnalysis(int n) {
    RunState state = MakeAnalysis(n, Gradient(n, 0.6f));
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
        // The first fill is the top-left cell: row 0, column 0, its corners a pixel apart from
        // the next cells'.
        EXPECT_EQ(boxes.front().x1, L + 150) << c.n;
        EXPECT_EQ(boxes.front().x2 - boxes.front().x1, c.cellWidth - 15) << c.n;
        EXPECT_EQ(boxes.front().y2 - boxes.front().y1, c.cellHeight - 15) << c.n;
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
    // 15 cells of distinct colours along their rows, 22 key boxes and 11 ticks.
    ASSERT_EQ(fills.size(), 15u + 22 + 11);
    const int left = state.maxNameLen * 90 + 150;
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i <= j; ++i) {
            const auto cell = std::find_if(fills.begin(), fills.end(), [&](const DrawOp& op) {
                return op.x1 == left + 400 * i && op.y1 == 380 * j;
            });
            ASSERT_NE(cell, fills.end()) << i << "," << j;
            EXPECT_EQ(std::tie(cell->x2, cell->y2),
                      std::make_tuple(left + 400 * (i + 1) - 15, 380 * (j + 1) - 15));
            EXPECT_EQ(cell->colour,
                      PaletteOf(state)[CellColourIndex(state, state.IdentityMatrix(i, j))]);
        }
    EXPECT_EQ(fills[0].colour, PaletteOf(state)[63]) << "diagonal: identity 1";
    // The outlines are the grid: the top edge of every row (and the bottom of the last) as far
    // as the row reaches, the left edge of every column (and the right of the last) from the
    // diagonal down.
    const auto lines = canvas.OpsOf(Kind::Line);
    std::vector<std::array<int, 4>> grid;
    for (const DrawOp& op : lines)
        if (op.x1 >= left && op.x2 <= left + 5 * 400 && op.y2 <= 5 * 380)
            grid.push_back({op.x1, op.y1, op.x2, op.y2});
    std::vector<std::array<int, 4>> expected;
    for (int j = 0; j <= 5; ++j)
        expected.push_back({left, 380 * j, left + 400 * std::min(j + 1, 5), 380 * j});
    for (int i = 0; i <= 5; ++i)
        expected.push_back({left + 400 * i, 380 * std::max(i - 1, 0), left + 400 * i, 5 * 380});
    EXPECT_EQ(grid, expected);
}

TEST(MatrixCanvas, EqualColoursAlongARowAreOneFill) {
    // Two groups: identity 1 within a group, 0.5 between them.
    RunState state = MakeAnalysis(6, [](int i, int j) { return i / 3 == j / 3 ? 1.0f : 0.5f; });
    const RecordingSurface canvas = Draw(state);
    const int left = state.maxNameLen * 90 + 150;
    std::vector<std::array<int, 4>> cells;
    for (const DrawOp& op : canvas.OpsOf(Kind::FillRect))
        if (op.x2 < left + 6 * 400) cells.push_back({op.x1, op.y1, op.x2, op.colour.r});
    const int red = PaletteOf(state)[63].r, blue = PaletteOf(state)[0].r;
    // Each colour's runs together, in the order of their first cells: rows 0-2 of the first
    // group, then row 3's run of the other colour.
    const std::vector<std::array<int, 4>> expected = {
        {left, 0, left + 400 - 15, red},
        {left, 380, left + 800 - 15, red},
        {left, 760, left + 1200 - 15, red},
        {left + 1200, 1140, left + 1600 - 15, red},
        {left + 1200, 1520, left + 2000 - 15, red},
        {left + 1200, 1900, left + 2400 - 15, red},
        {left, 1140, left + 1200 - 15, blue},
        {left, 1520, left + 1200 - 15, blue},
        {left, 1900, left + 1200 - 15, blue},
    };
    EXPECT_EQ(cells, expected);
}

TEST(MatrixCanvas, ARegionDrawsOnlyWhatLiesInIt) {
    const RunState state = CanvasAnalysis(1200);  // cells of six pixels, no names
    RecordingSurface fonts;
    const MatrixDrawing drawing(state, fonts, Size{});
    const CanvasLayout& at = drawing.Layout();
    const int A = at.cells.width;
    const int left = at.L + 150;
    struct Case {
        const char* what;
        SurfaceBox region;
        bool cells, key;
    };
    const int middle = 600 * A;
    for (const Case& c :
         {Case{"inside the triangle",
               {left + middle, middle + 3000, left + middle + 3000, middle + 6000},
               true,
               false},
          Case{"above the diagonal", {left + middle, 0, left + middle + 3000, 3000}, false, false},
          Case{"the key", at.key, false, true}}) {
        RecordingSurface part;
        drawing.Draw(part, c.region);
        const auto fills = part.OpsOf(Kind::FillRect);
        const auto texts = part.OpsOf(Kind::Text);
        EXPECT_EQ(!texts.empty(), c.key) << c.what;
        int cellFills = 0;
        for (const DrawOp& op : fills) {
            if (op.x2 >= at.R) continue;  // key boxes and ticks
            ++cellFills;
            // Every run touches the region widened by a cell each way.
            const SurfaceBox run{op.x1, op.y1, op.x2 + 15, op.y2 + 15};
            EXPECT_TRUE(run.Overlaps(
                {c.region.left - A, c.region.top - A, c.region.right + A, c.region.bottom + A}))
                << c.what;
        }
        EXPECT_EQ(cellFills > 0, c.cells) << c.what;
    }
}

TEST(MatrixCanvas, NamesWithoutMarkersAlongTwoSides) {
    RunState state = MakeAnalysis(3, Gradient(3, 0.7f), [](int i) {
        return i == 1 ? std::string(">a>b") : ">n" + std::to_string(i);
    });
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
        EXPECT_EQ(firstBox.colour, PaletteOf(state)[63]);
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
        const auto fills = canvas.OpsOf(Kind::FillRect);
        const auto firstBox =
            std::find_if(fills.begin(), fills.end(), [&](const DrawOp& op) { return op.x1 >= R; });
        ASSERT_NE(firstBox, fills.end());
        EXPECT_EQ(firstBox->x1, R + 300);
        EXPECT_EQ(firstBox->y2 - firstBox->y1, 139);
        EXPECT_EQ(firstBox->colour, PaletteOf(state)[63]);
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
