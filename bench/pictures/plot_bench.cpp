// Binning and drawing the distribution: the histogram of 2,000 and 5,000 sequences (2 and 12.5
// million pairs) through the recording window and through the Qt main window, whose events run
// during the pass; then the screen plot and the EMF plot. Prints seconds.
//   bench_plot [SEQUENCES...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include <QApplication>

#include "fakes/recording_window.h"
#include "pictures/plot_picture.h"
#include "pictures/screen_plot.h"
#include "pipeline/binning.h"
#include "platform/qt/qt_main_window.h"
#include "support/seconds.h"
#include "ui/window_progress.h"

namespace {

using kvr::bench::Seconds;

kvr::RunState MakeAnalysis(int n) {
    kvr::RunState state;
    state.seqCount = n;
    state.IdentityMatrix = kvr::IdentityTable(n, 1.0f);
    std::mt19937 random(5);
    std::normal_distribution<float> identity(0.7f, 0.08f);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            state.IdentityMatrix(i, j) = state.IdentityMatrix(j, i) =
                std::clamp(identity(random), 0.3f, 1.0f);
    state.minIdentity = 0.3;
    state.maxIdentity = 1.0f;
    return state;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::vector<int> counts;
    for (int k = 1; k < argc; ++k) counts.push_back(std::atoi(argv[k]));
    if (counts.empty()) counts = {2000, 5000};

    for (int n : counts) {
        kvr::RunState state = MakeAnalysis(n);
        kvr::RecordingWindow recording;
        const double fake = Seconds([&] { kvr::BinIdentities(state, recording.progress); });
        kvr::QtMainWindow window;
        kvr::WindowProgress qtProgress(window);
        const double qt = Seconds([&] { kvr::BinIdentities(state, qtProgress); });
        std::printf(
            "binning %d sequences (%.1f million pairs): %.3f s (recording window), "
            "%.3f s (Qt window); %d event pumps a pass\n",
            n, n * (n - 1) / 2e6, fake, qt, recording.eventPumps);

        window.resize(1600, 1000);
        const double screen = Seconds([&] {
            kvr::ScreenPlot(state, window.Canvas(kvr::Control::InnerPicture),
                            kvr::Size{17400, 11355});
        });
        const std::string emf = std::filesystem::temp_directory_path() / "kvr-bench-plot.emf";
        const double picture = Seconds([&] { kvr::WritePlotPictureFile(state, emf); });
        std::filesystem::remove(emf);
        std::printf("  screen plot %.4f s, EMF plot %.4f s\n", screen, picture);
    }
    return 0;
}
