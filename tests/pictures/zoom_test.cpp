#include "ui/zoom.h"

#include <gtest/gtest.h>

#include "fakes/recording_surface.h"
#include "model/palette.h"
#include "support/display_fixture.h"
#include "ui/control_states.h"
#include "ui/matrix_screen.h"

namespace kvr {
namespace {

class ZoomTest : public testing::DisplayTest {
  protected:
    void View(double width, double height) {
        window.SetGeometry(Control::ZoomingPicture, Rect{0, 0, width, height});
    }
    Rect ViewGeometry() const { return window.Geometry(Control::ZoomingPicture); }
};

// The names in a drawing: upright along the rows.
std::vector<std::string> RowNames(const RecordingSurface& drawing) {
    std::vector<std::string> names;
    for (const DrawOp& op : drawing.OpsOf(DrawOp::Kind::Text))
        if (op.text.starts_with("seq_")) names.push_back(op.text);
    return names;
}

TEST(ZoomCells, StepsOfAQuarterOctaveInWholePixelsUpToFortyPixels) {
    struct Case {
        int n, level, width, height;
    };
    for (const Case& c : {
             Case{100, 0, 220, 200},   // the picture's own cells
             Case{100, 1, 255, 225},   // 220 x 1.19 = 17.4 pixels -> 17, 15 high
             Case{100, 4, 435, 390},   // twice: 29.3 -> 29 pixels, 26 high
             Case{100, 40, 600, 540},  // never wider than 40 pixels
             Case{10, 3, 600, 570},    // 26.7 x 1.68 = 44.9 pixels: 40
             Case{5000, 0, 30, 30},    // two pixels
             Case{5000, -4, 15, 15},   // one
             Case{5000, -8, 8, 8},     // half a pixel: whole twips below a pixel
             Case{5000, -60, 1, 1},    // never below a twip
         }) {
        const ScreenCells cells = CellsAtZoom(c.n, c.level);
        EXPECT_EQ(cells.width, c.width) << c.n << " at " << c.level;
        EXPECT_EQ(cells.height, c.height) << c.n << " at " << c.level;
    }
    EXPECT_EQ(ZoomPercent(100, 4), 198);  // 435 / 220
    // Small cells round to the same pixel size over several levels: a step skips them.
    EXPECT_EQ(NextZoomLevel(5000, 0, +1), 2);   // 2.38 pixels is still 2; 2.83 is 3
    EXPECT_EQ(NextZoomLevel(100, 40, +1), 40);  // at the largest there is no next
}

TEST_F(ZoomTest, ZoomingInShowsTheNamesAndStopsAtFortyPixelsWithoutAMessage) {
    Load(600);  // cells of 12 pixels: lower than a line of text
    DrawMatrixOnScreen(state, shown, window);
    EXPECT_TRUE(RowNames(window.viewDrawing.Draw({0, 0, 6000, 6000})).empty());
    EXPECT_TRUE(window.IsEnabled(Control::cmdZoomIn));

    form.OnClick(Control::cmdZoomIn);  // 14 pixels: the names fit
    EXPECT_EQ(shown.drawnCells.cellHeight, 14 * 15);
    const std::vector<std::string> names = RowNames(window.viewDrawing.Draw({0, 0, 6000, 6000}));
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "seq_1");
    EXPECT_EQ(window.Caption(Control::lblProgress), "Zoom 117 %");

    int steps = 1;
    while (window.IsEnabled(Control::cmdZoomIn) && steps < 100) {
        form.OnClick(Control::cmdZoomIn);
        ++steps;
    }
    EXPECT_EQ(shown.drawnCells.cellWidth, 600);
    EXPECT_GT(window.viewDrawing.width, 600 * 600) << "far beyond any picture size limit";
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.Caption(Control::lblProgress), "Zoom 333 %: the largest, cells of 40 pixels");
    form.OnClick(Control::cmdZoomIn);  // Ctrl and the wheel click it too: nothing happens
    EXPECT_EQ(shown.drawnCells.cellWidth, 600);
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(ZoomTest, ZoomingOutStopsWithTheWholeMatrixInView) {
    Load(200);  // 200 x 220 twips: wider than the viewport
    DrawMatrixOnScreen(state, shown, window);
    const Rect viewport = window.Geometry(Control::OuterPicture);
    ASSERT_GT(window.viewDrawing.width, viewport.width);
    EXPECT_TRUE(window.IsEnabled(Control::cmdZoomOut));
    int steps = 0;
    while (window.IsEnabled(Control::cmdZoomOut) && steps < 100) {
        form.OnClick(Control::cmdZoomOut);
        ++steps;
    }
    EXPECT_LE(window.viewDrawing.width, viewport.width + 1);
    EXPECT_LE(window.viewDrawing.height, viewport.height + 1);
    EXPECT_FALSE(window.IsEnabled(Control::HScroll1));
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.Caption(Control::lblProgress),
              "Zoom 20 %: the whole matrix is in view (zoom in to read the names)");
}

// The groups at the first cut-off are framed on the screen as on the saved pictures: two
// families that the display order splits give six frames of four black bands; above every pair
// there is no group to frame.
TEST_F(ZoomTest, TheGroupsAtTheFirstCutOffAreFramedOnTheScreen) {
    const std::vector<int> display = {0, 1, 3, 2, 4, 5};
    const std::vector<int> family = {0, 0, 0, 1, 1, 2};
    state = testing::MakeAnalysis(
        6, [&](int d, int e) { return family[display[d]] == family[display[e]] ? 0.96f : 0.5f; },
        [&](int d) { return ">s" + std::to_string(display[d]); });
    state.treeOrder = display;
    const auto blackBands = [&](float cutoff) {
        state.cutoff1 = cutoff;
        DrawMatrixOnScreen(state, shown, window);
        const RecordingSurface drawn =
            window.viewDrawing.Draw({0, 0, window.viewDrawing.width, window.viewDrawing.height});
        int bands = 0;
        for (const DrawOp& op : drawn.OpsOf(DrawOp::Kind::FillRect)) bands += op.colour == kBlack;
        return bands;
    };
    EXPECT_EQ(blackBands(95) - blackBands(97), 6 * 4);
}

TEST_F(ZoomTest, FitShowsALargeMatrixWholeAPixelASampleAndOneHundredPercentComesBack) {
    Load(700);  // cells of ten pixels; whole in the viewport only below a pixel
    DrawMatrixOnScreen(state, shown, window);
    const Rect viewport = window.Geometry(Control::OuterPicture);
    form.OnClick(Control::mnuZoomFit);
    EXPECT_LT(shown.drawnCells.cellWidth, 15);
    EXPECT_LE(window.viewDrawing.width, viewport.width + 1);
    EXPECT_LE(window.viewDrawing.height, viewport.height + 1);
    EXPECT_FALSE(window.IsEnabled(Control::cmdZoomOut));
    EXPECT_TRUE(window.IsEnabled(Control::cmdZoomIn));
    EXPECT_FALSE(window.IsVisible(Control::keyPicture)) << "the key fits beside it";
    // Every pixel row of the triangle is filled once a colour run, a pixel high, with the colour
    // of the cell under its middle.
    const RecordingSurface drawn =
        window.viewDrawing.Draw({0, 0, window.viewDrawing.width, window.viewDrawing.height});
    const CellGrid& grid = shown.drawnCells;
    int cellFills = 0;
    for (const DrawOp& op : drawn.OpsOf(DrawOp::Kind::FillRect)) {
        if (op.x1 >= grid.left + 700 * grid.cellWidth) continue;  // the key
        ++cellFills;
        EXPECT_EQ(op.y1, op.y2);
        const int row = (op.y1 + 7) / grid.cellHeight;
        const int column = static_cast<int>((op.x1 + 7 - grid.left) / grid.cellWidth);
        ASSERT_LE(column, row);
        EXPECT_EQ(op.colour,
                  PaletteOf(state)[CellColourIndex(state, state.IdentityMatrix(row, column))]);
    }
    EXPECT_GT(cellFills, 0);
    EXPECT_LT(cellFills, 700 * 701 / 2 / 4) << "far fewer fills than cells";

    form.OnClick(Control::mnuZoom100);
    EXPECT_EQ(shown.zoomLevel, 0);
    EXPECT_EQ(shown.drawnCells.cellWidth, ScreenCellsFor(700).width);
    EXPECT_EQ(window.Caption(Control::lblProgress), "Zoom 100 % (zoom in to read the names)");
}

TEST_F(ZoomTest, AStepKeepsTheCellUnderThePointerInPlace) {
    Load(100);
    DrawMatrixOnScreen(state, shown, window);
    window.SetValue(Control::HScroll1, 3000);
    window.SetValue(Control::VScroll1, 6000);
    const CellGrid first = shown.drawnCells;
    // The middle of column 40, row 60.
    const double x = first.left + 40.5 * first.cellWidth, y = 60.5 * first.cellHeight;
    const Rect view = window.Geometry(Control::ZoomingPicture);
    const double screenX = x + view.left, screenY = y + view.top;
    form.OnPointerMoved(x, y);
    for (Control step : {Control::cmdZoomIn, Control::cmdZoomIn, Control::cmdZoomOut}) {
        form.OnClick(step);
        const Rect now = window.Geometry(Control::ZoomingPicture);
        const auto cell = MatrixCellAt(shown.drawnCells, screenX - now.left, screenY - now.top);
        ASSERT_TRUE(cell.has_value()) << ControlName(step);
        EXPECT_EQ(cell->column, 40) << ControlName(step);
        EXPECT_EQ(cell->row, 60) << ControlName(step);
        form.OnPointerMoved(screenX - now.left, screenY - now.top);  // the pointer stays put
    }
    EXPECT_NE(shown.drawnCells.cellWidth, first.cellWidth);
}

TEST_F(ZoomTest, WithThePointerElsewhereAStepKeepsTheSelectedCellInPlace) {
    Load(100);
    DrawMatrixOnScreen(state, shown, window);
    window.SetValue(Control::HScroll1, 2000);
    window.SetValue(Control::VScroll1, 9000);
    shown.selectedColumn = 30;
    shown.selectedRow = 70;
    const auto onScreen = [this] {
        const CellGrid& grid = shown.drawnCells;
        const Rect view = window.Geometry(Control::ZoomingPicture);
        return std::pair{grid.left + 30.5 * grid.cellWidth + view.left,
                         70.5 * grid.cellHeight + view.top};
    };
    const auto first = onScreen();
    form.OnPointerMoved(-1, -1);  // on the button
    form.OnClick(Control::cmdZoomIn);
    form.OnClick(Control::cmdZoomIn);
    EXPECT_EQ(shown.zoomLevel, 2);
    EXPECT_NEAR(onScreen().first, first.first, 1);
    EXPECT_NEAR(onScreen().second, first.second, 1);
}

TEST_F(ZoomTest, TheKeyStaysInSightBesideTheMatrixOrPinnedInTheCorner) {
    Load(10);
    DrawMatrixOnScreen(state, shown, window);
    const auto hasTitle = [](const RecordingSurface& s) {
        for (const DrawOp& op : s.OpsOf(DrawOp::Kind::Text))
            if (op.text == "Pairwise identity (%)") return true;
        return false;
    };
    const Rect viewport = window.Geometry(Control::OuterPicture);
    EXPECT_FALSE(window.IsVisible(Control::keyPicture));
    EXPECT_TRUE(hasTitle(
        window.viewDrawing.Draw({0, 0, window.viewDrawing.width, window.viewDrawing.height})));

    Load(94);  // wider than the viewport: beside the triangle the key would be out of sight
    DrawMatrixOnScreen(state, shown, window);
    ASSERT_GT(window.viewDrawing.width, viewport.width);
    EXPECT_FALSE(hasTitle(
        window.viewDrawing.Draw({0, 0, window.viewDrawing.width, window.viewDrawing.height})));
    EXPECT_TRUE(window.IsVisible(Control::keyPicture));
    const Rect panel = window.Geometry(Control::keyPicture);
    EXPECT_GE(panel.left, 0);
    EXPECT_LE(panel.Right(), viewport.width);
    EXPECT_LE(panel.Bottom(), viewport.height);
    EXPECT_EQ(panel.width, window.keyPanel.width);
    EXPECT_TRUE(
        hasTitle(window.keyPanel.Draw({0, 0, window.keyPanel.width, window.keyPanel.height})));
    // The control states leave the panel to the drawing.
    form.OnClick(Control::cmdColourScheme);
    EXPECT_TRUE(window.IsVisible(Control::keyPicture));
}

TEST_F(ZoomTest, ScrollBarsFollowTheOverhang) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    struct Case {
        double width, height;
        bool vertical, horizontal;
        int verticalMaximum, horizontalMaximum;
    };
    const Case cases[] = {
        {viewport.width, viewport.height, false, false, 0, 0},     // exactly the viewport
        {viewport.width, viewport.height + 1, true, false, 1, 0},  // one twip taller
        {viewport.width + 40000.4, 10, false, true, 0, 40000},     // beyond 32767 too
    };
    for (const Case& c : cases) {
        window.SetMaximum(Control::VScroll1, 0);
        window.SetMaximum(Control::HScroll1, 0);
        View(c.width, c.height);
        form.OnPictureResized(Control::ZoomingPicture);
        EXPECT_EQ(window.IsEnabled(Control::VScroll1), c.vertical) << c.height;
        EXPECT_EQ(window.IsEnabled(Control::HScroll1), c.horizontal) << c.width;
        EXPECT_EQ(window.Maximum(Control::VScroll1), c.verticalMaximum);
        EXPECT_EQ(window.Maximum(Control::HScroll1), c.horizontalMaximum);
    }
}

TEST_F(ZoomTest, ScrollingShiftsTheView) {
    View(40000, 30000);
    window.SetValue(Control::HScroll1, 1234);
    window.SetValue(Control::VScroll1, 567);
    EXPECT_EQ(ViewGeometry().left, -1234);
    EXPECT_EQ(ViewGeometry().top, -567);
    EXPECT_EQ(ViewGeometry().width, 40000);
}

TEST_F(ZoomTest, RightClickShowsTheSaveMenuOncePerAvailablePicture) {
    window.SetEnabled(Control::mnuSavePlot, false);
    window.SetEnabled(Control::mnuSaveMatrix, true);
    form.OnMouseDown(Control::ZoomingPicture, true);
    EXPECT_EQ(window.popUps, (std::vector<Control>{Control::mnuSave}));

    window.popUps.clear();
    window.SetEnabled(Control::mnuSavePlot, true);
    form.OnMouseDown(Control::OuterPicture, true);
    EXPECT_EQ(window.popUps, (std::vector<Control>{Control::mnuSave, Control::mnuSave}));

    window.popUps.clear();
    form.OnMouseDown(Control::ZoomingPicture, false);
    EXPECT_TRUE(window.popUps.empty());
}

TEST_F(ZoomTest, ANewMatrixIsShownOneToOneFromTheCorner) {
    Load(60);
    window.SetValue(Control::VScroll1, 500);
    DrawMatrixOnScreen(state, shown, window);
    EXPECT_EQ(ViewGeometry(),
              (Rect{0, 0, double(window.viewDrawing.width), double(window.viewDrawing.height)}));
    EXPECT_FALSE(window.IsVisible(Control::InnerPicture));
    // 60 x 200 + names and margins is taller than the viewport: the bar reaches the bottom.
    const Rect viewport = window.Geometry(Control::OuterPicture);
    ASSERT_GT(window.viewDrawing.height, viewport.height);
    EXPECT_TRUE(window.IsEnabled(Control::VScroll1));
    EXPECT_EQ(window.Maximum(Control::VScroll1),
              window.viewDrawing.height - static_cast<int>(viewport.height));
    // The canvas keeps the picture at its own size with its key, for copies and bitmap files.
    EXPECT_GE(window.innerCanvas.Width(), window.viewDrawing.width);

    // A new colouring keeps the view where it was.
    window.SetValue(Control::VScroll1, 700);
    state.choices.ColourMode = kThreeColour;
    DrawMatrixOnScreen(state, shown, window, ViewPlace::Kept);
    EXPECT_EQ(ViewGeometry().top, -700);
}

TEST_F(ZoomTest, TheNamesStayAtTheLeftWhileTheCellsScrollSideways) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    Load(100);  // 22,000 twips of cells: wider than the viewport, names readable
    DrawMatrixOnScreen(state, shown, window);
    const CellGrid& grid = shown.drawnCells;
    ASSERT_TRUE(grid.names);
    ASSERT_TRUE(window.IsEnabled(Control::HScroll1));
    EXPECT_FALSE(window.IsVisible(Control::namesPicture)) << "in the corner the view shows them";

    window.SetValue(Control::HScroll1, 5000);
    window.SetValue(Control::VScroll1, 4000);
    ASSERT_TRUE(window.IsVisible(Control::namesPicture));
    const Rect names = window.Geometry(Control::namesPicture);
    EXPECT_EQ(names, (Rect{0, -4000, grid.left, 100.0 * grid.cellHeight}));
    EXPECT_EQ(window.namesPanel.width, static_cast<int>(grid.left));
    // Its drawing is the view's: each row's name at its row's height, no cell.
    const RecordingSurface drawn = window.namesPanel.Draw({0, 0, window.namesPanel.width, 6000});
    const std::vector<std::string> rows = RowNames(drawn);
    ASSERT_GE(rows.size(), 20u);
    EXPECT_EQ(rows.front(), "seq_1");
    for (const DrawOp& op : drawn.OpsOf(DrawOp::Kind::Text)) EXPECT_LT(op.x1, grid.left);

    window.SetValue(Control::VScroll1, 100);  // up and down, the names follow the rows
    EXPECT_EQ(window.Geometry(Control::namesPicture).top, -100);
    EXPECT_EQ(window.Geometry(Control::namesPicture).left, 0);
    window.SetValue(Control::HScroll1, 0);
    EXPECT_FALSE(window.IsVisible(Control::namesPicture));

    // Names longer than half the room are cut there: the cells keep the other half.
    state = testing::MakeAnalysis(100, testing::Gradient(100, 0.6f), [](int i) {
        return ">" + std::string(120, 'x') + std::to_string(i);
    });
    DrawMatrixOnScreen(state, shown, window);
    window.SetValue(Control::HScroll1, 5000);
    const double room =
        viewport.width - (viewport.width - window.Geometry(Control::keyPicture).left);
    ASSERT_GT(shown.drawnCells.left, room / 2);
    EXPECT_NEAR(window.Geometry(Control::namesPicture).width, room / 2, 1);

    // Rows too low for names have none to freeze; nor has the plot.
    Load(700);
    DrawMatrixOnScreen(state, shown, window);
    window.SetValue(Control::HScroll1, 3000);
    EXPECT_FALSE(window.IsVisible(Control::namesPicture));
}

TEST_F(ZoomTest, ThePinnedKeyHasAStripOfItsOwnThatTheCellsScrollClearOf) {
    Load(94);
    const Rect viewport = window.Geometry(Control::OuterPicture);
    for (int steps = 0; steps < 3; ++steps) {  // at 100 % and zoomed in
        if (steps == 0)
            DrawMatrixOnScreen(state, shown, window);
        else
            form.OnClick(Control::cmdZoomIn);
        ASSERT_TRUE(window.IsVisible(Control::keyPicture)) << steps;
        const Rect key = window.Geometry(Control::keyPicture);
        EXPECT_NEAR(key.Right(), viewport.width, 15) << steps;
        EXPECT_GE(key.Bottom(), viewport.height - 30) << "down the whole side";
        const CellGrid& grid = shown.drawnCells;
        const double triangleRight = grid.left + 94.0 * grid.cellWidth;
        // Scrolled as far right as it goes, the last column lies left of the strip; at every
        // scroll position the strip hides only what scrolling can bring into sight.
        ScrollViewTo(window, 1e9, 1e9);
        const Rect view = ViewGeometry();
        EXPECT_LE(triangleRight + view.left, key.left) << steps;
        EXPECT_GE(triangleRight + view.left, key.left - 400) << "no more than a margin beyond";
        EXPECT_TRUE(window.IsEnabled(Control::cmdZoomOut)) << "the key is not beside it yet";
    }
}

TEST_F(ZoomTest, ALargeSetOpensFittedAndAZoomAboutTheMiddleStaysOnTheCells) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    Load(2000);  // cells of three pixels at 100 %: nothing to read there
    DrawMatrixOnScreen(state, shown, window, ViewPlace::Opening);
    EXPECT_LT(shown.zoomLevel, 0);
    EXPECT_LE(window.viewDrawing.width, viewport.width + 1);
    EXPECT_LE(window.viewDrawing.height, viewport.height + 1);
    EXPECT_FALSE(window.IsEnabled(Control::cmdZoomOut));
    EXPECT_EQ(OpeningZoomLevel(state, window.Canvas(Control::InnerPicture),
                               Size{viewport.width, viewport.height}),
              shown.zoomLevel);

    // Zooming in about the middle, step after step, the middle of the viewport stays on a cell.
    int scrolled = 0;
    for (int step = 0; step < 24 && window.IsEnabled(Control::cmdZoomIn); ++step) {
        form.OnPointerMoved(-1, -1);
        form.OnClick(Control::cmdZoomIn);
        const Rect view = ViewGeometry();
        const double stripWidth = window.IsVisible(Control::keyPicture)
                                      ? viewport.width - window.Geometry(Control::keyPicture).left
                                      : 0;
        // While the whole matrix is in sight there is nowhere else to go.
        if (!window.IsEnabled(Control::HScroll1) || !window.IsEnabled(Control::VScroll1)) continue;
        ++scrolled;
        const auto cell =
            MatrixCellAt(shown.drawnCells, (viewport.width - stripWidth) / 2 - view.left,
                         viewport.height / 2 - view.top);
        EXPECT_TRUE(cell.has_value()) << "step " << step << " at zoom " << shown.zoomLevel;
    }
    EXPECT_GT(scrolled, 8);
    EXPECT_GT(shown.drawnCells.cellWidth, 15);

    // A set whose cells can be read at 100 % opens at 100 %.
    Load(100);
    DrawMatrixOnScreen(state, shown, window, ViewPlace::Opening);
    EXPECT_EQ(shown.zoomLevel, 0);
    // Scrolled to the blank top-right, a zoom about the middle comes back to the diagonal.
    ScrollViewTo(window, 1e9, 0);
    ASSERT_FALSE(MatrixCellAt(shown.drawnCells, viewport.width / 2 - ViewGeometry().left,
                              viewport.height / 2 - ViewGeometry().top));
    for (Control step : {Control::cmdZoomIn, Control::mnuZoom100, Control::cmdZoomOut}) {
        form.OnClick(step);
        const double stripWidth = viewport.width - window.Geometry(Control::keyPicture).left;
        const auto cell =
            MatrixCellAt(shown.drawnCells, (viewport.width - stripWidth) / 2 - ViewGeometry().left,
                         viewport.height / 2 - ViewGeometry().top);
        EXPECT_TRUE(cell.has_value()) << ControlName(step);
        ScrollViewTo(window, 1e9, 0);
    }
}

TEST_F(ZoomTest, TheTreeStandsBesideTheNamesUntilTheViewMenuHidesIt) {
    Load(20);
    std::string tree = "seq_20:0.1";
    for (int k = 19; k >= 1; --k) tree = "(seq_" + std::to_string(k) + ":0.1," + tree + "):0.1";
    state.provenance.tree = tree + ";";
    DrawMatrixOnScreen(state, shown, window);
    ApplyControlStates(state, shown, window);
    EXPECT_TRUE(window.IsEnabled(Control::mnuShowTree));
    EXPECT_TRUE(window.IsChecked(Control::mnuShowTree));
    const auto treeLines = [this] {  // left of the names' margin before the cells
        const RecordingSurface drawn = window.viewDrawing.Draw({0, 0, 3000, 20 * 350});
        std::size_t lines = 0;
        for (const DrawOp& op : drawn.OpsOf(DrawOp::Kind::Line))
            lines += op.x2 < shown.drawnCells.left - 150;
        return lines;
    };
    const double withTree = shown.drawnCells.left;
    EXPECT_EQ(treeLines(), 19u * 2 + 19u) << "a branch to every node but the root, a join each";

    form.OnClick(Control::mnuShowTree);
    EXPECT_FALSE(window.IsChecked(Control::mnuShowTree));
    EXPECT_EQ(shown.drawnCells.left, withTree - (15 + 2250 + 150));
    EXPECT_EQ(treeLines(), 0u);
    form.OnClick(Control::mnuShowTree);
    EXPECT_EQ(shown.drawnCells.left, withTree);

    state.provenance.tree.clear();  // no tree: nothing to show
    ApplyControlStates(state, shown, window);
    EXPECT_FALSE(window.IsEnabled(Control::mnuShowTree));
}

}  // namespace
}  // namespace kvr
