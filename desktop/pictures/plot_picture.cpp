#include "pictures/plot_picture.h"

#include <algorithm>
#include <cmath>

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/program_folder.h"
#include "pictures/axis_labels.h"
#include "pictures/screen_plot.h"
#include "platform/emf/emf_surface.h"

namespace kvr {

namespace {

constexpr int kLeft = 70;                  // L
constexpr int kAxisY = 700 - 2 * 40;       // AY: 620
constexpr int kPlotWidth = 1000 - 2 * 70;  // PW: 860
constexpr int kTickStep = kAxisY / 20;     // 31
constexpr int kMargin = 10;                // round the drawing, inside the frame
constexpr const char* kPercentTitle = "Percentage pairwise identities";
constexpr int kPercentTitleX = 350, kPercentTitleY = 650;
constexpr int kProportionTitleY = 425;

int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

SurfaceBox Moved(const SurfaceBox& box, int dx, int dy) {
    return {box.left + dx, box.top + dy, box.right + dx, box.bottom + dy};
}

using Measure = std::function<TextExtent(std::string_view, TextTurn)>;

// The drawing in the layout's own coordinates, where the top tick's label starts above y = 0 and
// wide labels may reach into the vertical title; the picture moves it right and down by
// (dx, dy) so that it lies wholly inside, and its frame ends a margin beyond it.
struct PlotLayout {
    int xStep = 0;
    std::vector<AxisLabel> labels;
    int dx = 0, dy = 0;
    int width = 0, height = 0;  // of the picture, after the move
};

PlotLayout LayOutPicture(const RunState& state, const Measure& measure) {
    const PlotScale scale = PlotScaleOf(state);
    PlotLayout at;
    // One axis step per percent; a range of nothing (all identities 100 %) still gets one step.
    at.xStep = RoundHalfEven(static_cast<double>(kPlotWidth) / std::max(scale.steps, 1));
    const auto place = [&](int tick, bool vertical, std::string text, int x, int y, int rank) {
        const SurfaceBox box = TextBox(x, y, measure(text, TextTurn::Upright), TextTurn::Upright);
        at.labels.push_back({tick, vertical, std::move(text), x, y, box, rank, false});
    };
    int x = 65;
    for (int p = scale.lo; p <= 100; ++p) {
        if (p == scale.lo || p == scale.maxPct || p % 5 == 0)
            place(p, false, ShortSignedText(p), x - 10, 630,
                  HorizontalRank(p, scale.lo, scale.maxPct));
        x += at.xStep;
    }
    const int lastTick = x - at.xStep;
    // Labels with more than two decimals grow to the left, away from the ticks.
    const auto rounded = VerticalLabels(state);
    const int labelEnd = 25 + measure("0.00", TextTurn::Upright).along;
    int y = kAxisY;
    for (int k = 0; k < kVerticalTicks; ++k) {
        std::string text = k % 5 == 0 ? ShortSignedText(NumberValue(rounded[k])) : rounded[k];
        const int left = std::min(25, labelEnd - measure(text, TextTurn::Upright).along);
        place(k, true, std::move(text), left, y - 2, k % 5 == 0 ? 1 : 3);
        y -= kTickStep;
    }

    const TextExtent proportion = measure(kProportionTitle, TextTurn::Rotated);
    const TextExtent percent = measure(kPercentTitle, TextTurn::Upright);
    const std::vector<SurfaceBox> titles = {
        TextBox(0, kProportionTitleY, proportion, TextTurn::Rotated),
        TextBox(kPercentTitleX, kPercentTitleY, percent, TextTurn::Upright)};
    // The vertical labels keep clear of the vertical title's column.
    int shift = 0, top = titles[0].top, right = kLeft + kPlotWidth, bottom = titles[1].bottom;
    right = std::max({right, lastTick + 5, titles[1].right});
    for (const AxisLabel& label : at.labels) {
        if (label.vertical) shift = std::max(shift, titles[0].right + 4 - label.box.left);
        top = std::min(top, label.box.top);
        right = std::max(right, label.box.right);
        bottom = std::max(bottom, label.box.bottom);
    }
    at.dx = shift;
    at.dy = std::max(0, kMargin - top);
    for (AxisLabel& label : at.labels) {
        label.x += at.dx;
        label.y += at.dy;
        label.box = Moved(label.box, at.dx, at.dy);
    }
    // The vertical title stays at the left edge while the rest moves away from it.
    KeepApart(at.labels, {Moved(titles[0], 0, at.dy), Moved(titles[1], at.dx, at.dy)});
    at.width = right + at.dx + kMargin;
    at.height = bottom + at.dy + kMargin;
    return at;
}

Measure EmfMeasure() {
    return [](std::string_view text, TextTurn) { return ArialExtent(text, EmfSurface::kTextCell); };
}

}  // namespace

PictureFrame PlotPictureFrame(const RunState& state) {
    const PlotLayout at = LayOutPicture(state, EmfMeasure());
    return {EmfSurface::PixelsToFrame(at.width), EmfSurface::PixelsToFrame(at.height)};
}

void DrawPlotPicture(const RunState& state, DrawingSurface& picture) {
    const PlotLayout at = LayOutPicture(state, [&picture](std::string_view text, TextTurn turn) {
        return picture.MeasureText(text, turn);
    });
    const PlotScale scale = PlotScaleOf(state);
    const int dx = at.dx, dy = at.dy;

    picture.Line(kLeft + dx, dy, kLeft + dx, kAxisY + dy, kBlack);
    picture.Line(kLeft + dx, kAxisY + dy, kLeft + kPlotWidth + dx, kAxisY + dy, kBlack);
    picture.Text(kPercentTitleX + dx, kPercentTitleY + dy, kPercentTitle);
    picture.RotatedText(0, kProportionTitleY + dy, kProportionTitle);

    const auto label = [&](bool vertical, int tick) {
        if (const AxisLabel* shown = ShownLabel(at.labels, vertical, tick))
            picture.Text(shown->x, shown->y, shown->text);
    };
    int x = 65 + dx;
    for (int p = scale.lo; p <= 100; ++p) {
        if (p == scale.lo || p == scale.maxPct) {
            picture.Box(x, 615 + dy, x + 5, 620 + dy, kPlotGreen);
            label(false, p);
        } else if (p % 5 == 0) {
            picture.Box(x - 1, 613 + dy, x + 3, 627 + dy, kPlotGreen);
            label(false, p);
        } else {
            picture.Box(x - 1, 615 + dy, x + 3, 625 + dy, kBlack);
        }
        x += at.xStep;
    }

    x = 60 + dx;
    int y = kAxisY + dy;
    for (int k = 0; k < kVerticalTicks; ++k) {
        if (k % 5 == 0)
            picture.Box(x + 5, y - 2, x + 15, y + 2, kPlotGreen);
        else
            picture.Box(x + 4, y - 1, x + 14, y + 1, kBlack);
        label(true, k);
        y -= kTickStep;
    }

    const auto curveY = [&](int row) {
        const float drop = ShareOfAxis(state, row) * 20.0f * static_cast<float>(kTickStep);
        return RoundHalfEven(static_cast<float>(kAxisY) - drop) + dy;
    };
    const int first = CurveFirstRow(state);
    int cx = 65 + dx, cy = curveY(first);
    for (int b = first + 1; b <= 99; ++b) {
        const int x2 = cx + at.xStep;
        const int y2 = curveY(b);
        picture.Line(cx, cy, x2, y2, kBlack);
        cx = x2;
        cy = y2;
    }
}

Result<void> WritePlotPictureFile(const RunState& state, const std::string& path) {
    const PictureFrame frame = PlotPictureFrame(state);
    // Written beside the target and renamed over it when whole: a failed write keeps the old one.
    return ReplaceFile(path, [&](const std::string& temporary) {
        EmfSurface picture(temporary, frame.width, frame.height);
        if (!picture.IsOpen()) return false;
        DrawPlotPicture(state, picture);
        return picture.Close();
    });
}

std::string PlotPicturePath(const std::string& workFolder) {
    return JoinPath(workFolder, kPlotPictureName);
}

}  // namespace kvr
