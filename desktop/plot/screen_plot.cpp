#include "plot/screen_plot.h"

#include <algorithm>
#include <cmath>

#include "plot/plot_scale.h"
#include "state/number_text.h"

namespace kvr {

namespace {

constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};

// Positions are worked out in fractions of a twip; the surface takes whole twips.
int T(double twips) {
    return static_cast<int>(std::nearbyint(twips));
}

}  // namespace

void ScreenPlot(const RunState& state, DrawingSurface& canvas, Size size) {
    canvas.Resize(T(size.width), T(size.height));
    const float W = static_cast<float>(canvas.Width());
    const float H = static_cast<float>(canvas.Height());
    const float MX = W * 0.085f, MY = H * 0.085f;
    const float PW = W - 2 * MX, PH = H - 2 * MY;
    const PlotScale scale = PlotScaleOf(state);
    // One axis step per percent; a range of nothing (all identities 100 %) still gets one step.
    const int xStep = static_cast<int>(std::nearbyint(PW / std::max(scale.steps, 1)));

    canvas.Line(T(MX), T(MY), T(MX), T(H - MY), kBlack);
    canvas.Line(T(MX), T(H - MY), T(W - MX), T(H - MY), kBlack);
    canvas.RotatedText(0, T(H / 2 + 500), kProportionTitle);
    canvas.Text(T(W / 2 - 1000), T(H - 300), "Percentage pairwise identity");

    // Horizontal ticks: short green boxes at the first percentage and the maximum, long ones at
    // every multiple of 5, thin lines elsewhere.
    float x = MX;
    const float y0 = H - MY - 25, y1 = y0 + 50;
    for (int p = scale.lo; p <= 100; ++p) {
        const bool marked = p == scale.lo || p == scale.maxPct;
        if (marked || p % 5 == 0) {
            const float bottom = marked ? y1 + 15 : y1 + 35;
            canvas.FillRect(T(x - 15), T(y0 - 15), T(x + 15), T(bottom), kGreen);
            canvas.Text(T(x - 120), T(y1 + 30), PrintedWhole(p));
        } else {
            canvas.Line(T(x), T(y0), T(x), T(y1 + 20), kBlack);
        }
        x += static_cast<float>(xStep);
    }

    // Vertical ticks: a green box every fifth, lines between, labelled 0 to maxProportion.
    const float yStep = PH / 20;
    const float tickX = MX - 100;
    float y = H - MY;
    for (int k = 0; k <= 20; ++k) {
        float tickEnd;
        if (k % 5 == 0) {
            canvas.FillRect(T(tickX + 50), T(y - 20), T(tickX + 160), T(y + 20), kGreen);
            tickEnd = y + 20;
        } else {
            canvas.Line(T(tickX + 50), T(y), T(tickX + 160), T(y), kBlack);
            tickEnd = y;
        }
        canvas.Text(T(tickX - 350), T(tickEnd - 100), VerticalLabel(state, k));
        y -= yStep;
    }

    // The curve: each row one step to the right of the last, from the axis corner.
    float cx = MX, cy = H - MY;
    for (int b = CurveStartRow(state, CurveStart::Rounded); b <= 99; ++b) {
        const float x2 = cx + static_cast<float>(xStep);
        const float y2 = H - MY - ShareOfMaximum(state, b) * 20 * yStep;
        canvas.Line(T(cx), T(cy), T(x2), T(y2), kRed);
        cx = x2;
        cy = y2;
    }
}

}  // namespace kvr
