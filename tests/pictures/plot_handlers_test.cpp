#include "ui/plot_handlers.h"

#include <gtest/gtest.h>

#include "pictures/plot_picture.h"
#include "pipeline/binning.h"
#include "support/display_fixture.h"

namespace kvr {
namespace {

using testing::ReadEmf;
using testing::TempFolder;

class PlotHandlersTest : public testing::DisplayTest {
  protected:
    TempFolder chosen;
    void SetUp() override {
        Load(8, 0.7f);
        BinIdentities(state, window.progress);
        window.captionHistory.clear();
        state.choices.lastFolder = program.Path();
    }
};

TEST_F(PlotHandlersTest, PlotButtonShowsThePlotOneToOneAndSetsTheControls) {
    shown.zoomLevel = 3;
    window.SetValue(Control::VScroll1, 500);
    form.OnClick(Control::cmdPlot);
    EXPECT_EQ(Status(), (std::vector<std::string>{"Ploting the scores ...", "Done"}));
    EXPECT_FALSE(window.busy);
    EXPECT_TRUE(window.IsEnabled(Control::cmdDrawMat));
    for (Control c :
         {Control::cmdPlot, Control::cmdColourScheme, Control::cmdZoomIn, Control::cmdZoomOut,
          Control::updCutoff1, Control::lblCutoff2dsply, Control::VScroll1, Control::HScroll1,
          Control::mnuSaveMatrix, Control::mnuCopyMat, Control::mnuSaveSimScore})
        EXPECT_FALSE(window.IsEnabled(c)) << ControlName(c);
    for (Control c : {Control::mnuSavePlot, Control::mnuCopyPlot, Control::mnuBMP2})
        EXPECT_TRUE(window.IsEnabled(c)) << ControlName(c);
    EXPECT_FALSE(window.IsVisible(Control::keyPicture));
    EXPECT_EQ(window.Value(Control::VScroll1), 0);
    EXPECT_EQ(shown.zoomLevel, 0);

    const Rect viewport = window.Geometry(Control::OuterPicture);
    EXPECT_EQ(window.innerCanvas.Width(), static_cast<int>(viewport.width));
    EXPECT_EQ(window.innerCanvas.Height(), static_cast<int>(viewport.height));
    EXPECT_EQ(
        window.Geometry(Control::ZoomingPicture),
        (Rect{0, 0, double(window.innerCanvas.Width()), double(window.innerCanvas.Height())}));
    EXPECT_EQ(window.viewShows, (std::vector<bool>{false}));
    EXPECT_EQ(window.innerCanvas.OpsOf(DrawOp::Kind::RotatedText).at(0).text,
              "Proportion of pairwise identities");
}

TEST_F(PlotHandlersTest, SavedAndWorkFolderPicturesDrawTheSameCurve) {
    state.minIdentity = 0.736;  // 73.6 %: both start at the tick of 73 with its row
    window.dialogAnswers.push_back(chosen.File("figure"));
    form.OnClick(Control::mnuEMF2);
    const auto saved = ReadEmf(chosen.File("figure_plt.emf"));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->FrameWidth(), PlotPictureFrame(state).width);
    EXPECT_EQ(saved->Count(testing::kEmrLineTo), 2u + 27);  // ticks 73 .. 100
    EXPECT_EQ(Status(), (std::vector<std::string>{"Saving the plot ...", "Done"}));
    EXPECT_EQ(state.choices.lastFolder, chosen.Path());

    WritePlotPicture(state, window, Work());
    EXPECT_EQ(ReadEmf(PlotFile())->Count(testing::kEmrLineTo), 2u + 27);
}

TEST_F(PlotHandlersTest, BitmapAndCancel) {
    form.OnClick(Control::mnuBMP2);
    EXPECT_TRUE(window.savedBitmaps.empty());
    EXPECT_TRUE(Status().empty());
    window.dialogAnswers.push_back(chosen.File("figure.bmp"));
    form.OnClick(Control::mnuBMP2);
    EXPECT_EQ(window.savedBitmaps, (std::vector<std::string>{chosen.File("figure_plt.bmp")}));
}

TEST_F(PlotHandlersTest, ClipboardTakesTheCanvasOrTheWorkFolderPicture) {
    form.OnClick(Control::mnuCopyPlotBMP);
    EXPECT_EQ(window.clipboard, "bitmap:InnerPicture");
    WritePlotPicture(state, window, Work());
    form.OnClick(Control::mnuCopyPlotEMF);
    EXPECT_EQ(window.clipboard, "metafile:" + PlotFile());
    EXPECT_TRUE(window.messages.empty());
}

}  // namespace
}  // namespace kvr
