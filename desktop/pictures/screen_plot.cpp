#include "pictures/screen_plot.h"

#include <algorithm>
#include <cmath>

#include "io/number_text.h"
#include "pictures/axis_labels.h"
#include "pictures/plot_scale.h"

namespace kvr {

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr const char* kPercentTitle = "Percentage pairwise identity";

// Positions are worked out in fractions of a twip; the surface takes whole twips.
int T(double twips) {
    return static_cast<int>(std::nearbyint(twips));
}

AxisLabel Placed(const DrawingSurface& canvas, int tick, bool vertical, std::string text, int x,
                 int y, int rank) {
    const SurfaceBox box =
        TextBox(x, y, canvas.MeasureText(text, TextTurn::Upright), TextTurn::Upright);
    return {tick, vertical, std::move(text), x, y, box, rank, false};
}

void DrawPlot(const RunState& state, DrawingSurface& canvas, int plotWidth, int plotHeight) {
    const float W = static_cast<float>(plotWidth);
    const float H = static_cast<float>(plotHeight);
    const float MX = W * 0.085f, MY = H * 0.085f;
    const float PW = W - 2 * MX, PH = H - 2 * MY;
    const PlotScale scale = PlotScaleOf(state);
    // One axis step per percent; a range of nothing (all identities 100 %) still gets one step.
    const int xStep = static_cast<int>(std::nearbyint(PW / std::max(scale.steps, 1)));
    const float y0 = H - MY - 25, y1 = y0 + 50;
    const float yStep = PH / 20;
    const float tickX = MX - 100;

    // Where every label would go; those that would overprint another or a title are left out.
    const int proportionY = T(H / 2 + 500);
    const int percentX = T(W / 2 - 1000), percentY = T(H - 300);
    const std::vector<SurfaceBox> titles = {
        TextBox(0, proportionY, canvas.MeasureText(kProportionTitle, TextTurn::Rotated),
                TextTurn::Rotated),
        TextBox(percentX, percentY, canvas.MeasureText(kPercentTitle, TextTurn::Upright),
                TextTurn::Upright)};
    std::vector<AxisLabel> labels;
    float x = MX;
    for (int p = scale.lo; p <= 100; ++p) {
        if (p == scale.lo || p == scale.maxPct || p % 5 == 0)
            labels.push_back(Placed(canvas, p, false, PrintedWhole(p), T(x - 120), T(y1 + 30),
                                    HorizontalRank(p, scale.lo, scale.maxPct)));
        x += static_cast<float>(xStep);
    }
    // Labels with more than two decimals grow to the left, away from the ticks.
    const auto vertical = VerticalLabels(state);
    const int labelEnd = T(tickX - 350) + canvas.MeasureText("0.00", TextTurn::Upright).along;
    float y = H - MY;
    for (int k = 0; k < kVerticalTicks; ++k) {
        const float tickEnd = k % 5 == 0 ? y + 20 : y;
        const int width = canvas.MeasureText(vertical[k], TextTurn::Upright).along;
        labels.push_back(Placed(canvas, k, true, vertical[k],
                                std::min(T(tickX - 350), labelEnd - width), T(tickEnd - 100),
                                k % 5 == 0 ? 1 : 3));
        y -= yStep;
    }
    KeepApart(labels, titles);

    canvas.Line(T(MX), T(MY), T(MX), T(H - MY), kBlack);
    canvas.Line(T(MX), T(H - MY), T(W - MX), T(H - MY), kBlack);
    canvas.RotatedText(0, proportionY, kProportionTitle);
    canvas.Text(percentX, percentY, kPercentTitle);

    // Horizontal ticks: short green boxes at the first percentage and the maximum, long ones at
    // every multiple of 5, thin lines elsewhere.
    x = MX;
    for (int p = scale.lo; p <= 100; ++p) {
        const bool marked = p == scale.lo || p == scale.maxPct;
        if (marked || p % 5 == 0) {
            const float bottom = marked ? y1 + 15 : y1 + 35;
            canvas.FillRect(T(x - 15), T(y0 - 15), T(x + 15), T(bottom), kPlotGreen);
            if (const AxisLabel* label = ShownLabel(labels, false, p))
                canvas.Text(label->x, label->y, label->text);
        } else {
            canvas.Line(T(x), T(y0), T(x), T(y1 + 20), kBlack);
        }
        x += static_cast<float>(xStep);
    }

    // Vertical ticks: a green box every fifth, lines between, labelled 0 to maxProportion.
    y = H - MY;
    for (int k = 0; k < kVerticalTicks; ++k) {
        if (k % 5 == 0)
            canvas.FillRect(T(tickX + 50), T(y - 20), T(tickX + 160), T(y + 20), kPlotGreen);
        else
            canvas.Line(T(tickX + 50), T(y), T(tickX + 160), T(y), kBlack);
        if (const AxisLabel* label = ShownLabel(labels, true, k))
            canvas.Text(label->x, label->y, label->text);
        y -= yStep;
    }

    // The curve: each row one step to the right of the last.
    const int first = CurveFirstRow(state);
    float cx = MX, cy = H - MY - ShareOfAxis(state, first) * 20 * yStep;
    for (int b = first + 1; b <= 99; ++b) {
        const float x2 = cx + static_cast<float>(xStep);
        const float y2 = H - MY - ShareOfAxis(state, b) * 20 * yStep;
        canvas.Line(T(cx), T(cy), T(x2), T(y2), kRed);
        cx = x2;
        cy = y2;
    }
}

}  // namespace

void ScreenPlot(const RunState& state, DrawingSurface& canvas, Size size) {
    canvas.Resize(T(size.width), T(size.height));
    DrawPlot(state, canvas, canvas.Width(), canvas.Height());
}

PlotDrawing::PlotDrawing(const RunState& state, Size size)
    : width_(T(size.width)), height_(T(size.height)) {
    plotted_.minIdentity = state.minIdentity;
    plotted_.maxIdentity = state.maxIdentity;
    plotted_.BinArray = state.BinArray;
    plotted_.maxProportion = state.maxProportion;
}

void PlotDrawing::Draw(DrawingSurface& surface) const {
    DrawPlot(plotted_, surface, width_, height_);
}

}  // namespace kvr
