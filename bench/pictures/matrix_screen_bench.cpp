// A large matrix in the Qt main window (offscreen, 1600 x 1000): the time from the analysis to
// the first painted view, and per scroll step (a page down, a page right, ten 100-twip steps).
//   bench_matrix_screen [SEQUENCES]   (default 5000)
#include <QApplication>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>

#include "model/palette.h"
#include "pictures/grouped_analysis.h"
#include "platform/qt/qt_main_window.h"
#include "support/seconds.h"
#include "ui/matrix_screen.h"
#include "ui/zoom.h"

namespace {

using kvr::Control;
using kvr::bench::Seconds;

// Paints what the viewport shows now, as the screen would.
void Paint(kvr::QtMainWindow& window) {
    window.WidgetOf(Control::OuterPicture)->grab();
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 5000;

    kvr::RunState state = kvr::bench::GroupedAnalysis(n);
    kvr::QtMainWindow window;
    kvr::WindowView shown;
    window.resize(1600, 1000);
    window.show();
    kvr::Rect viewport{50, 315, (1600 - 60) * 15.0, (1000 - 200) * 15.0};
    window.SetGeometry(Control::OuterPicture, viewport);
    QApplication::processEvents();

    const double draw = Seconds([&] { kvr::DrawMatrixOnScreen(state, shown, window); });
    const double firstPaint = Seconds([&] { Paint(window); });
    const kvr::Rect view = window.Geometry(Control::ZoomingPicture);
    std::printf(
        "%d sequences: picture %.0f x %.0f pixels; laid out and coloured in %.3f s, "
        "first view painted in %.3f s: %.3f s to the first paint\n",
        n, view.width / 15, view.height / 15, draw, firstPaint, draw + firstPaint);

    const auto step = [&](Control bar, int by) {
        window.SetValue(bar, window.Value(bar) + by);
        bar == Control::VScroll1 ? kvr::OnVerticalScroll(window) : kvr::OnHorizontalScroll(window);
        Paint(window);
    };
    struct Steps {
        const char* what;
        Control bar;
        int by;
        int count;
    };
    const int page = static_cast<int>(viewport.height);
    for (const Steps s : {Steps{"page down", Control::VScroll1, page, 10},
                          Steps{"page right", Control::HScroll1, page, 10},
                          Steps{"100-twip step down", Control::VScroll1, 100, 50},
                          Steps{"page up (painted before)", Control::VScroll1, -page, 10}}) {
        const double total = Seconds([&] {
            for (int i = 0; i < s.count; ++i) step(s.bar, s.by);
        });
        std::printf("  %-26s %.2f ms a step\n", s.what, 1000 * total / s.count);
    }
    const double zoom = Seconds([&] {
        kvr::OnZoomOut(state, shown, window);
        Paint(window);
    });
    std::printf("  zoom out one step and paint: %.3f s\n", zoom);
    return 0;
}
