// The matrix and the plot in the real Qt main window, with real identities (MUSCLE and neighbor
// on 48 5S rRNA sequences). With KVR_SCREENSHOTS=FOLDER the window is saved at every step.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>

#include "fakes/fake_shell.h"
#include "io/file_io.h"
#include "io/program_folder.h"
#include "model/palette.h"
#include "pictures/matrix_canvas.h"
#include "pictures/screen_plot.h"
#include "pipeline/binning.h"
#include "platform/qt/canvas_text.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/qt_main_window.h"
#include "support/score_columns.h"
#include "support/temp_folder.h"
#include "ui/main_form.h"
#include "ui/window_progress.h"

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
        state.choices.lastFolder = program.Path();
        form.shown.windowState = WindowState::Analysis;
        WindowProgress progress(window);
        BinIdentities(state, progress);
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
    const QWidget& outer = *window.WidgetOf(Control::OuterPicture);
    // The key beside the matrix only when all of it is in sight; else the view shows the matrix
    // alone and the key is pinned over the viewport's corner.
    const bool keyBeside = canvas.width() <= outer.width() && canvas.height() <= outer.height();
    const QWidget& panel = *window.WidgetOf(Control::keyPicture);
    EXPECT_EQ(!panel.isHidden(), !keyBeside);
    if (!keyBeside) {
        EXPECT_TRUE(outer.rect().contains(panel.geometry()));
    }
    QImageSurface alone(CanvasFont("Liberation Sans"));
    const Rect viewport = window.Geometry(Control::OuterPicture);
    MatrixDrawing(state, alone, Size{viewport.width, viewport.height},
                  ScreenChoice{std::nullopt, keyBeside})
        .DrawWhole(alone);
    const QImage shown = alone.Image().convertToFormat(QImage::Format_RGB32);
    // 1:1: the view is the drawing, pixel for pixel, whether drawn whole or tile by tile as it
    // is painted.
    EXPECT_EQ(View().size(), shown.size());
    EXPECT_EQ(View().shownImage().convertToFormat(QImage::Format_RGB32), shown);
    const QImage painted = View().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(painted.size(), shown.size());
    int differ = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) differ += painted.pixel(x, y) != shown.pixel(x, y);
    EXPECT_EQ(differ, 0);
    // "BMP format" saves the picture at its own size with its key, as the clipboard gets it.
    const std::string bmp = program.File("view.bmp");
    ASSERT_TRUE(window.SaveCanvasBitmap(bmp));
    EXPECT_EQ(QImage(QString::fromStdString(bmp)).convertToFormat(QImage::Format_RGB32), canvas);
    EXPECT_EQ(Bar(Control::VScroll1).isEnabled(), shown.height() > outer.height());
    // The top-left cell (the diagonal) is dark red in full colour.
    const int cellX = (state.maxNameLen * 90 + 150 + 60) / 15;
    EXPECT_EQ(canvas.pixel(cellX, 5), qRgb(128, 0, 0));
    Shot("1_matrix_full");

    // The picture as a file: PNG when the name says so, else a Windows bitmap.
    for (const auto& [name, magic] :
         {std::pair{"view.png", "\x89PNG"}, std::pair{"view.bmp", "BM"}}) {
        ASSERT_TRUE(window.SaveCanvasBitmap(program.File(name))) << name;
        EXPECT_TRUE(ReadWholeFile(program.File(name))->starts_with(magic)) << name;
    }

    // Ctrl and the wheel zoom about the pointer: the cell under it stays under it, and no
    // message box ever stops the steps.
    const QPoint atOuter(outer.width() / 3, outer.height() / 2);
    const auto cellUnder = [&] {
        const QPoint at = atOuter - View().pos();
        return MatrixCellAt(form.shown.drawnCells, at.x() * 15.0, at.y() * 15.0);
    };
    const auto first = cellUnder();
    ASSERT_TRUE(first.has_value());
    const int height = form.shown.drawnCells.cellHeight;
    for (int notch = 0; notch < 6; ++notch) {
        const QPoint at = atOuter - View().pos();
        QMouseEvent move(QEvent::MouseMove, QPointF(at), View().mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&View(), &move);
        QWheelEvent wheel(QPointF(at), View().mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&View(), &wheel);
        QApplication::processEvents();
    }
    EXPECT_GT(form.shown.zoomLevel, 0);
    EXPECT_GT(form.shown.drawnCells.cellHeight, height);
    const auto after = cellUnder();
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->column, first->column);
    EXPECT_EQ(after->row, first->row);
    EXPECT_FALSE(panel.isHidden()) << "the key stays in sight, pinned";
    Shot("3_matrix_zoomed_in");

    Click(Control::cmdColourScheme);
    EXPECT_EQ(state.choices.ColourMode, kThreeColour);
    EXPECT_EQ(View().size().width(), window.WidgetOf(Control::ZoomingPicture)->width());
    const QImage three = WholeCanvas();
    EXPECT_EQ(three.pixel(cellX, 5), qRgb(171, 0, 0));
    EXPECT_TRUE(window.IsEnabled(Control::updCutoff1));
    Shot("4_matrix_three_colour_zoomed");

    window.SetValue(Control::UpdCutoff2, 60);  // one step at a time, as the user would
    EXPECT_EQ(state.cutoff2, 60.0f);
    Shot("5_matrix_three_colour_cutoff60");

    Click(Control::cmdPlot);
    EXPECT_EQ(form.shown.zoomLevel, 0);
    // The plot is drawn by the view as it needs it: 1:1, it is the plot drawn whole at its size.
    QImageSurface whole(CanvasFont("Liberation Sans"));
    ScreenPlot(state, whole, Size{viewport.width, viewport.height});
    EXPECT_EQ(form.shown.shownPlot, (SurfaceBox{0, 0, whole.Width(), whole.Height()}));
    EXPECT_EQ(View().shownImage().convertToFormat(QImage::Format_RGB32),
              whole.Image().convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(window.IsVisible(Control::keyPicture));
    EXPECT_TRUE(window.IsEnabled(Control::mnuSavePlot));
    Shot("6_plot");

    Click(Control::cmdDrawMat);
    EXPECT_EQ(View().size(), shown.size());
    Shot("7_matrix_again");
}

}  // namespace
}  // namespace kvr
