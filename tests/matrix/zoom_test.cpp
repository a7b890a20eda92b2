#include "matrix/zoom.h"

#include <gtest/gtest.h>

#include "matrix/matrix_screen.h"
#include "matrix/palette.h"
#include "support/display_fixture.h"

namespace kvr {
namespace {

class ZoomTest : public testing::DisplayTest {
  protected:
    void View(double width, double height) {
        window.SetGeometry(Control::ZoomingPicture, Rect{0, 0, width, height});
    }
    Rect ViewGeometry() const { return window.Geometry(Control::ZoomingPicture); }
};

TEST_F(ZoomTest, ZoomInStopsBeforeTheWidthLimit) {
    View(30191, 20000);
    form.OnClick(Control::cmdZoomIn);
    EXPECT_EQ(window.messages, (std::vector<std::string>{"Sorry you cannot zoom in any further."}));
    EXPECT_EQ(state.zoomLevel, 0);
    EXPECT_EQ(ViewGeometry().width, 30191);

    window.messages.clear();
    View(30190, 20000);
    form.OnClick(Control::cmdZoomIn);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(state.zoomLevel, 1);
    EXPECT_NEAR(ViewGeometry().width, 31778.9, 0.1);
    EXPECT_NEAR(ViewGeometry().height, 20000 / 0.95, 1e-6);
    EXPECT_EQ(window.viewShows, (std::vector<bool>{true})) << "stretched";
}

TEST_F(ZoomTest, ZoomOutWhileEitherSideStaysAboveFiveHundred) {
    View(400, 2000);
    form.OnClick(Control::cmdZoomOut);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(state.zoomLevel, -1);
    EXPECT_NEAR(ViewGeometry().width, 380, 1e-9);
    EXPECT_NEAR(ViewGeometry().height, 1900, 1e-9);

    View(520, 526);
    form.OnClick(Control::cmdZoomOut);
    EXPECT_EQ(window.messages,
              (std::vector<std::string>{"Sorry you cannot zoom out any further."}));
    EXPECT_EQ(state.zoomLevel, -1);
}

TEST_F(ZoomTest, StepsMoveTheViewToTheCornerAndCountTheirDifference) {
    View(6000, 4000);
    window.SetValue(Control::HScroll1, 300);
    window.SetValue(Control::VScroll1, 200);
    ASSERT_EQ(ViewGeometry().left, -300);
    for (Control c :
         {Control::cmdZoomIn, Control::cmdZoomIn, Control::cmdZoomOut, Control::cmdZoomIn})
        form.OnClick(c);
    EXPECT_EQ(state.zoomLevel, 2);
    EXPECT_EQ(ViewGeometry().left, 0);
    EXPECT_EQ(ViewGeometry().top, 0);
    EXPECT_EQ(window.Value(Control::HScroll1), 0);
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

TEST_F(ZoomTest, DrawingAtZoomZeroShowsTheCanvasOneToOne) {
    Load(60);
    BuildPalette(state);
    View(100, 100);
    DrawMatrixOnScreen(state, window);
    const DrawingSurface& canvas = window.innerCanvas;
    EXPECT_EQ(ViewGeometry(), (Rect{0, 0, double(canvas.Width()), double(canvas.Height())}));
    EXPECT_EQ(window.viewShows, (std::vector<bool>{false}));
    EXPECT_FALSE(window.IsVisible(Control::InnerPicture));
    // 60 x 200 + names and margins is taller than the viewport: the bar reaches the bottom.
    const Rect viewport = window.Geometry(Control::OuterPicture);
    ASSERT_GT(canvas.Height(), viewport.height);
    EXPECT_TRUE(window.IsEnabled(Control::VScroll1));
    EXPECT_EQ(window.Maximum(Control::VScroll1),
              canvas.Height() - static_cast<int>(viewport.height));

    // A zoomed view keeps its size and stretches the new drawing into it.
    state.zoomLevel = 2;
    View(7777, 5555);
    state.ColourMode = kThreeColour;
    BuildPalette(state);
    DrawMatrixOnScreen(state, window);
    EXPECT_EQ(ViewGeometry(), (Rect{0, 0, 7777, 5555}));
    EXPECT_EQ(window.viewShows.back(), true);
}

}  // namespace
}  // namespace kvr
