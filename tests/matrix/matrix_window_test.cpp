// The matrix and the plot in the real Qt main window, with real identities (MUSCLE and neighbor
// on 48 5S rRNA sequences). With KVR_SCREENSHOTS=FOLDER the window is saved at every step.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QScrollBar>
#include <cstdlib>

#include "matrix/matrix_canvas.h"
#include "matrix/palette.h"
#include "platform/fakes/fake_shell.h"
#include "platform/qt/canvas_text.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/qt_main_window.h"
#include "plot/binning.h"
#include "plot/screen_plot.h"
#include "shell/main_form.h"
#include "state/file_io.h"
#include "state/program_folder.h"
#include "support/score_columns.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::TempFolder;

class MatrixWindowTest : public ::testing::Test {
  protected:
    TempFolder program;
    std::string before = CurrentDirectory();
    RunState state;
    QtMainWindow window;
    FakeShell shell;
    MainForm form{state, window, shell, program.Path()};

    void SetUp() override {
        window.SetEvents(&form);
        form.Load();
        window.show();
        // What a run leaves behind: the ordered matrix, its range, the histogram.
        state = testing::LoadScoreColumns(DataFile("matrix/rrna5s_48_scores.csv"));
        state.lastFolder = program.Path();
        BinIdentities(state, window);
        window.SetValue(Control::updCutoff1, 94);
        window.SetValue(Control::UpdCutoff2, 78);
        for (Control c : {Control::cmdDrawMat, Control::cmdColourScheme, Control::cmdZoomIn,
                          Control::cmdZoomOut, Control::cmdPlot})
            window.SetEnabled(c, true);
    }
    void TearDown() override { ASSERT_EQ(::chdir(before.c_str()), 0); }

    PictureView& View() {
        return *static_cast<PictureView*>(window.WidgetOf(Control::ZoomingPicture));
    }
    // The matrix drawn whole on a canvas of its own, as the exports draw it.
    QImage WholeCanvas() {
        QImageSurface canvas(CanvasFont("Liberation Sans"));
        const Rect viewport = window.Geometry(Control::OuterPicture);
        DrawMatrixCanvas(state, canvas, Size{viewport.width, viewport.height});
        return canvas.Image().convertToFormat(QImage::Format_RGB32);
    }
    QScrollBar& Bar(Control c) { return *static_cast<QScrollBar*>(window.WidgetOf(c)); }
    void Click(Control c) {
        form.OnClick(c);
        QApplication::processEvents();
    }
    void Shot(const char* name) {
        const char* folder = std::getenv("KVR_SCREENSHOTS");
        if (folder == nullptr) return;
        QApplication::processEvents();
        window.grab().save(QString::fromLatin1(folder) + "/" + name + ".png");
    }
};

TEST_F(MatrixWindowTest, MatrixZoomColourModesAndPlot) {
    Click(Control::cmdDrawMat);
    const QImage canvas = WholeCanvas();
    ASSERT_EQ(state.seqCount, 48);
    // 1:1: the view is the canvas, pixel for pixel, whether drawn whole or tile by tile as it
    // is painted.
    EXPECT_EQ(View().size(), canvas.size());
    EXPECT_EQ(View().shownImage().convertToFormat(QImage::Format_RGB32), canvas);
    const QImage painted = View().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(painted.size(), canvas.size());
    int differ = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            differ += painted.pixel(x, y) != canvas.pixel(x, y);
    EXPECT_EQ(differ, 0);
    // "BMP format" saves the matrix as the view shows it.
    const std::string bmp = program.File("view.bmp");
    ASSERT_TRUE(window.SaveViewBitmap(bmp));
    EXPECT_EQ(QImage(QString::fromStdString(bmp)).convertToFormat(QImage::Format_RGB32), canvas);
    EXPECT_FALSE(window.IsVisible(Control::keyPicture));  // the picture's own key is the one
    EXPECT_EQ(Bar(Control::VScroll1).isEnabled(),
              canvas.height() > window.WidgetOf(Control::OuterPicture)->height());
    // The top-left cell (the diagonal) is dark red in full colour.
    const int cellX = (state.maxNameLen * 90 + 150 + 60) / 15;
    EXPECT_EQ(canvas.pixel(cellX, 5), qRgb(128, 0, 0));
    Shot("1_matrix_full");

    // The view as a picture file: PNG when the name says so, else a Windows bitmap.
    for (const auto& [name, magic] :
         {std::pair{"view.png", "\x89PNG"}, std::pair{"view.bmp", "BM"}}) {
        ASSERT_TRUE(window.SaveViewBitmap(program.File(name))) << name;
        EXPECT_TRUE(ReadWholeFile(program.File(name))->starts_with(magic)) << name;
    }

    Click(Control::cmdZoomOut);
    Click(Control::cmdZoomOut);
    EXPECT_EQ(state.zoomLevel, -2);
    EXPECT_NEAR(View().width(), canvas.width() * 0.9025, 2);
    Shot("2_matrix_zoomed_out");
    Click(Control::cmdZoomIn);
    Click(Control::cmdZoomIn);
    Click(Control::cmdZoomIn);
    EXPECT_EQ(state.zoomLevel, 1);
    EXPECT_GT(View().width(), canvas.width());
    Shot("3_matrix_zoomed_in");

    Click(Control::cmdColourScheme);
    EXPECT_EQ(state.ColourMode, kThreeColour);
    EXPECT_EQ(View().size().width(), window.WidgetOf(Control::ZoomingPicture)->width());
    const QImage three = WholeCanvas();
    EXPECT_EQ(three.pixel(cellX, 5), qRgb(171, 0, 0));
    EXPECT_TRUE(window.IsEnabled(Control::updCutoff1));
    Shot("4_matrix_three_colour_zoomed");

    window.SetValue(Control::UpdCutoff2, 60);  // one step at a time, as the user would
    EXPECT_EQ(state.cutoff2, 60.0f);
    Shot("5_matrix_three_colour_cutoff60");

    Click(Control::cmdPlot);
    EXPECT_EQ(state.zoomLevel, 0);
    // The plot is drawn by the view as it needs it: 1:1, it is the plot drawn whole at its size.
    QImageSurface whole(CanvasFont("Liberation Sans"));
    const Rect viewport = window.Geometry(Control::OuterPicture);
    ScreenPlot(state, whole, Size{viewport.width, viewport.height});
    EXPECT_EQ(state.shownPlot, (SurfaceBox{0, 0, whole.Width(), whole.Height()}));
    EXPECT_EQ(View().shownImage().convertToFormat(QImage::Format_RGB32),
              whole.Image().convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(window.IsVisible(Control::keyPicture));
    EXPECT_TRUE(window.IsEnabled(Control::mnuSavePlot));
    Shot("6_plot");

    Click(Control::cmdDrawMat);
    EXPECT_EQ(View().size(), canvas.size());
    Shot("7_matrix_again");
}

}  // namespace
}  // namespace kvr
