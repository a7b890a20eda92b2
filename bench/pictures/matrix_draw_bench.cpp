// Drawing the matrix: the screen canvas of 500 sequences (the largest drawn on screen) on the
// QImage canvas and through the Qt main window, and the EMF picture of 2,000 sequences, which
// emf2svg-conv then opens. Prints seconds and sizes.
//   bench_matrix_draw [SCREEN_SEQUENCES] [PICTURE_SEQUENCES]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <QApplication>

#include "model/palette.h"
#include "pictures/grouped_analysis.h"
#include "pictures/matrix_canvas.h"
#include "pictures/matrix_picture.h"
#include "platform/qt/qt_main_window.h"
#include "support/seconds.h"
#include "ui/matrix_screen.h"

namespace {

using kvr::bench::Seconds;

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int screenCount = argc > 1 ? std::atoi(argv[1]) : 500;
    const int pictureCount = argc > 2 ? std::atoi(argv[2]) : 2000;

    kvr::RunState screen = kvr::bench::GroupedAnalysis(screenCount);
    for (int mode : {kvr::kFullColour, kvr::kThreeColour}) {
        screen.choices.ColourMode = mode;
        kvr::QtMainWindow window;
        kvr::WindowView shown;
        window.resize(1600, 1000);
        auto& canvas = static_cast<kvr::QImageSurface&>(window.Canvas(kvr::Control::InnerPicture));
        const double canvasOnly =
            Seconds([&] { kvr::DrawMatrixCanvas(screen, canvas, kvr::Size{}); });
        const QSize pixels = canvas.Image().size();
        const double onScreen = Seconds([&] { kvr::DrawMatrixOnScreen(screen, shown, window); });
        std::printf(
            "screen matrix, %d sequences, %s: canvas %.3f s, whole drawing in the window "
            "%.3f s (%d x %d pixels)\n",
            screenCount, mode == kvr::kFullColour ? "full colour" : "three colour", canvasOnly,
            onScreen, pixels.width(), pixels.height());
    }

    kvr::RunState picture = kvr::bench::GroupedAnalysis(pictureCount);
    const std::string folder = std::filesystem::temp_directory_path() / "kvr-bench-matrix";
    std::filesystem::create_directories(folder);
    const std::string emf = folder + "/matrix.emf";
    const double write = Seconds([&] { kvr::WriteMatrixPictureFile(picture, emf); });
    std::printf("EMF matrix, %d sequences: written in %.3f s, %.1f MB\n", pictureCount, write,
                static_cast<double>(std::filesystem::file_size(emf)) / 1e6);
    const std::string convert = "emf2svg-conv -i '" + emf + "' -o '" + folder + "/matrix.svg'";
    int status = 0;
    const double open = Seconds([&] { status = std::system(convert.c_str()); });
    std::printf("emf2svg-conv: %s in %.3f s\n", status == 0 ? "converted" : "FAILED", open);
    std::filesystem::remove_all(folder);
    return status == 0 ? 0 : 1;
}
