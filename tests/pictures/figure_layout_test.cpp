// Both matrix layouts over real names and identities of 2 to 500 sequences and names of 1 to 60
// characters: every text lies inside the picture, no two texts overlap, no text runs into the
// cells, the key's labels differ, and the picture holds its drawing without a wide blank margin.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "fakes/recording_surface.h"
#include "model/palette.h"
#include "pictures/colour_key.h"
#include "pictures/figure_data.h"
#include "pictures/matrix_canvas.h"
#include "pictures/matrix_picture.h"
#include "platform/emf/emf_surface.h"

namespace kvr {
namespace {

using Kind = DrawOp::Kind;

std::string Describe(const RecordingSurface::PlacedText& t) {
    return "'" + t.text + "' at " + std::to_string(t.box.left) + "," + std::to_string(t.box.top) +
           "-" + std::to_string(t.box.right) + "," + std::to_string(t.box.bottom);
}

// The lower-left triangle of cells: n rows of cells a x b from (left, 0), row j reaching j + 1
// cells to the right. Read from the first cell drawn, the top-left one.
struct Triangle {
    int n = 0, left = 0, a = 0, b = 0;

    bool Meets(const SurfaceBox& box) const {
        if (n == 0 || box.bottom <= 0 || box.top >= n * b || box.right <= left) return false;
        const int lowestRow = std::min(n - 1, (box.bottom - 1) / b);
        return box.left < left + a * (lowestRow + 1);
    }
};

Triangle TriangleOf(const RecordingSurface& surface, int n) {
    for (const DrawOp& op : surface.ops)
        if (op.kind == Kind::FillRect || op.kind == Kind::Box)
            return {n, op.x1, op.x2 - op.x1, op.y2 - op.y1};
    return {};
}

// Checks the texts against the picture and each other; the labels under the key are distinct.
void ExpectReadableLayout(const RecordingSurface& surface, int width, int height,
                          const Triangle& cells, const std::string& what) {
    const auto texts = surface.Texts();
    std::set<std::string> labels;
    // Names along one side are drawn in order: a name can only meet its neighbours, the key or
    // the title, so each text is checked against the next few and against the key's texts.
    std::vector<std::size_t> key;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        const auto& t = texts[k];
        ASSERT_TRUE(t.box.InsideOf(width, height))
            << what << ": " << Describe(t) << " outside " << width << " x " << height;
        if (t.text == kKeyTitle || t.text == kNamesLeftOut || t.text.rfind(" ", 0) == 0)
            key.push_back(k);
        if (t.text.rfind(" ", 0) == 0) {
            EXPECT_TRUE(labels.insert(t.text).second) << what << t.text;
        }
        ASSERT_FALSE(cells.Meets(t.box)) << what << ": " << Describe(t) << " on the cells";
    }
    for (std::size_t a = 0; a < texts.size(); ++a) {
        const std::size_t last = std::min(texts.size(), a + 4);
        for (std::size_t b = a + 1; b < last; ++b)
            ASSERT_FALSE(texts[a].box.Overlaps(texts[b].box))
                << what << ": " << Describe(texts[a]) << " and " << Describe(texts[b]);
        for (const std::size_t k : key) {
            if (k == a) continue;
            ASSERT_FALSE(texts[a].box.Overlaps(texts[k].box))
                << what << ": " << Describe(texts[a]) << " and " << Describe(texts[k]);
        }
    }
}

struct Size2 {
    int n, length;
};
const Size2 kCases[] = {{2, 1},   {2, 60},  {3, 20},  {5, 1},   {9, 45},  {10, 60},
                        {13, 60}, {13, 3},  {19, 60}, {20, 33}, {24, 60}, {30, 12},
                        {31, 60}, {48, 25}, {94, 60}, {200, 8}, {500, 60}};

TEST(FigureLayout, ScreenCanvasHoldsItsKeyAndKeepsTextsApart) {
    for (const Size2 c : kCases) {
        for (const int mode : {kFullColour, kThreeColour}) {
            RunState state = testing::RealAnalysis(c.n, c.length);
            state.choices.ColourMode = mode;
            RecordingSurface canvas;
            DrawMatrixCanvas(state, canvas, Size{});
            const std::string what = std::to_string(c.n) + " x " + std::to_string(c.length) +
                                     " mode " + std::to_string(mode);
            ExpectReadableLayout(canvas, canvas.Width(), canvas.Height(), TriangleOf(canvas, c.n),
                                 what);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

TEST(FigureLayout, EmfPictureHoldsItsDrawingWithoutBlankRoom) {
    for (const Size2 c : kCases) {
        RunState state = testing::RealAnalysis(c.n, c.length);
        RecordingSurface picture(EmfSurface::kTextCell, EmfSurface::kTextCell);
        DrawMatrixPicture(state, picture);
        const PictureFrame frame = MatrixPictureFrame(state);
        const int width = EmfSurface::FrameToPixels(frame.width);
        const int height = EmfSurface::FrameToPixels(frame.height);
        const std::string what = std::to_string(c.n) + " x " + std::to_string(c.length);
        ExpectReadableLayout(picture, width, height, TriangleOf(picture, c.n), what);
        if (::testing::Test::HasFatalFailure()) return;

        // The drawing reaches to within the margin of the frame's right and bottom edges.
        int right = 0, bottom = 0;
        for (const auto& t : picture.Texts()) {
            right = std::max(right, t.box.right);
            bottom = std::max(bottom, t.box.bottom);
        }
        for (const DrawOp& op : picture.OpsOf(Kind::Box)) {
            right = std::max(right, op.x2);
            bottom = std::max(bottom, op.y2);
        }
        EXPECT_LE(width - right, 11) << what;
        EXPECT_LE(height - bottom, 11) << what;
    }
}

TEST(FigureLayout, LargeMatricesShrinkTheirCellsAndLeaveOutNamesTheyCannotShow) {
    struct Case {
        int n, width, height;
        bool names;
    };
    // Beyond 500: 110000 twips of triangle in whole pixels, two pixels at least; names need 200
    // twips.
    for (const Case c :
         {Case{500, 220, 200, true}, Case{501, 210, 210, true}, Case{600, 180, 180, false},
          Case{1000, 105, 105, false}, Case{5000, 30, 30, false}}) {
        EXPECT_EQ(ScreenCellsFor(c.n).width, c.width) << c.n;
        EXPECT_EQ(ScreenCellsFor(c.n).height, c.height) << c.n;
        if (c.n > 1000) continue;
        RunState state = testing::RealAnalysis(c.n, 30);
        RecordingSurface canvas;
        DrawMatrixCanvas(state, canvas, Size{});
        const auto texts = canvas.Texts();
        const bool noted = std::any_of(texts.begin(), texts.end(),
                                       [](const auto& t) { return t.text == kNamesLeftOut; });
        EXPECT_EQ(noted, !c.names) << c.n;
        EXPECT_EQ(canvas.OpsOf(Kind::RotatedText).size(),
                  c.names ? static_cast<std::size_t>(c.n) : 0u)
            << c.n;
        ExpectReadableLayout(canvas, canvas.Width(), canvas.Height(), TriangleOf(canvas, c.n),
                             std::to_string(c.n));
    }
}

TEST(FigureLayout, SmallCellsAreFilledRowByRowWithoutGapsOrOutlines) {
    // 1300 sequences, cells of 75 twips (5 pixels): one fill per run of equal colour, abutting,
    // no lines.
    RunState state = testing::RealAnalysis(1300, 10);
    RecordingSurface canvas;
    DrawMatrixCanvas(state, canvas, Size{});
    const auto fills = canvas.OpsOf(Kind::FillRect);
    // Each colour's runs come together; in reading order they tile every row.
    std::vector<DrawOp> cells;
    for (const DrawOp& op : fills)
        if (op.y2 - op.y1 == 75 - 15) cells.push_back(op);  // not the key's boxes
    std::sort(cells.begin(), cells.end(), [](const DrawOp& a, const DrawOp& b) {
        return std::tie(a.y1, a.x1) < std::tie(b.y1, b.x1);
    });
    int covered = 0, row = -1, nextX = 0;
    for (const DrawOp& op : cells) {
        const int y = op.y1 / 75;
        if (y != row) {
            row = y;
            nextX = 150;  // names left out: no name space
        }
        ASSERT_EQ(op.x1, nextX) << "row " << row;
        nextX = op.x2 + 15;
        covered += (op.x2 + 15 - op.x1) / 75;
    }
    EXPECT_EQ(covered, 1300 * 1301 / 2);
    EXPECT_LT(fills.size(), 1300u * 1301 / 2) << "runs of equal colour share a fill";
    EXPECT_EQ(canvas.OpsOf(Kind::Line).size(), 22u * 4) << "only the key's boxes are outlined";
}

}  // namespace
}  // namespace kvr
