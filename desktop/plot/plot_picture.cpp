#include "plot/plot_picture.h"

#include <algorithm>
#include <cmath>

#include "platform/emf/emf_surface.h"
#include "plot/screen_plot.h"
#include "state/file_io.h"
#include "state/number_text.h"
#include "state/program_folder.h"

namespace kvr {

namespace {

constexpr Rgb kGreen{0, 255, 0};

constexpr int kLeft = 70;                  // L
constexpr int kAxisY = 700 - 2 * 40;       // AY: 620
constexpr int kPlotWidth = 1000 - 2 * 70;  // PW: 860
constexpr int kTickStep = kAxisY / 20;     // 31

int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace

void DrawPlotPicture(const RunState& state, DrawingSurface& picture, CurveStart start) {
    const PlotScale scale = PlotScaleOf(state);
    // One axis step per percent; a range of nothing (all identities 100 %) still gets one step.
    const int xStep = RoundHalfEven(static_cast<double>(kPlotWidth) / std::max(scale.steps, 1));

    picture.Line(kLeft, 0, kLeft, kAxisY, kBlack);
    picture.Line(kLeft, kAxisY, kLeft + kPlotWidth, kAxisY, kBlack);
    picture.Text(350, 650, "Percentage pairwise identities");
    picture.RotatedText(0, 425, kProportionTitle);

    int x = 65;
    for (int p = scale.lo; p <= 100; ++p) {
        if (p == scale.lo || p == scale.maxPct) {
            picture.Box(x, 615, x + 5, 620, kGreen);
            picture.Text(x - 10, 630, ShortSignedText(p));
        } else if (p % 5 == 0) {
            picture.Box(x - 1, 613, x + 3, 627, kGreen);
            picture.Text(x - 10, 630, ShortSignedText(p));
        } else {
            picture.Box(x - 1, 615, x + 3, 625, kBlack);
        }
        x += xStep;
    }

    x = 60;
    int y = kAxisY;
    for (int k = 0; k <= 20; ++k) {
        const std::string rounded = VerticalLabel(state, k);
        if (k % 5 == 0) {
            picture.Box(x + 5, y - 2, x + 15, y + 2, kGreen);
            picture.Text(x - 35, y - 2, ShortSignedText(NumberValue(rounded)));
        } else {
            picture.Box(x + 4, y - 1, x + 14, y + 1, kBlack);
            picture.Text(x - 35, y - 2, rounded);
        }
        y -= kTickStep;
    }

    int cx = 65, cy = 615;
    for (int b = CurveStartRow(state, start); b <= 99; ++b) {
        const int x2 = cx + xStep;
        const float drop = ShareOfMaximum(state, b) * 20.0f * static_cast<float>(kTickStep);
        const int y2 = RoundHalfEven(static_cast<float>(kAxisY) - drop);
        picture.Line(cx, cy, x2, y2, kBlack);
        cx = x2;
        cy = y2;
    }
}

bool WritePlotPictureFile(const RunState& state, const std::string& path, CurveStart start) {
    EmfSurface picture(path, kPlotFrameWidth, kPlotFrameHeight);
    if (!picture.IsOpen()) return false;
    DrawPlotPicture(state, picture, start);
    picture.Close();
    return true;
}

std::string PlotPicturePath(const std::string& workFolder) {
    return JoinPath(workFolder, kPlotPictureName);
}

void WritePlotPicture(const RunState& state, Window& window, const std::string& workFolder) {
    const std::string path = PlotPicturePath(workFolder);
    DeleteFileQuietly(path);
    WritePlotPictureFile(state, path, CurveStart::Rounded);
    window.SetVisible(Control::ZoomingPicture, true);
    window.SetVisible(Control::InnerPicture, true);
}

}  // namespace kvr
