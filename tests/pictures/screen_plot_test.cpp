#include "pictures/screen_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fakes/recording_surface.h"
#include "fakes/recording_window.h"
#include "pictures/plot_scale.h"
#include "pipeline/binning.h"
#include "support/analysis_state.h"

namespace kvr {
namespace {

using Kind = DrawOp::Kind;
using testing::Histogram;
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};

// W = 15000, H = 9000: MX = 1275, MY = 765, PW = 12450, PH = 7470.
RecordingSurface Plot(const RunState& state) {
    RecordingSurface canvas;
    ScreenPlot(state, canvas, Size{15000, 9000});
    return canvas;
}

TEST(PlotScale, AxisRangeAndMarkedMaximum) {
    struct Case {
        double minIdentity;
        float maxIdentity;
        int lo, steps, maxPct;
    };
    const Case cases[] = {
        {0.70, 1.0f, 70, 30, 100},
        {0.734, 0.9f, 73, 27, 90},
        {0.736, 0.625f, 73, 27, 62},  // 62.5 -> 62
        {0.5, 0.875f, 50, 50, 88},    // 87.5 -> 88
    };
    for (const Case& c : cases) {
        const RunState state = Histogram(c.minIdentity, c.maxIdentity, 1);
        const PlotScale scale = PlotScaleOf(state);
        EXPECT_EQ(scale.lo, c.lo) << c.minIdentity;
        EXPECT_EQ(scale.steps, c.steps) << c.minIdentity;
        EXPECT_EQ(scale.maxPct, c.maxPct) << c.maxIdentity;
        EXPECT_EQ(CurveFirstRow(state), c.lo - 1);
    }
}

TEST(ScreenPlot, AxesTitlesAndHorizontalTicks) {
    const RunState state = Histogram(0.70, 1.0f, 0.4f);
    const RecordingSurface canvas = Plot(state);
    EXPECT_EQ(canvas.Width(), 15000);
    const auto lines = canvas.OpsOf(Kind::Line);
    EXPECT_EQ(std::tie(lines[0].x1, lines[0].y1, lines[0].x2, lines[0].y2),
              std::make_tuple(1275, 765, 1275, 8235));
    EXPECT_EQ(std::tie(lines[1].x1, lines[1].y1, lines[1].x2, lines[1].y2),
              std::make_tuple(1275, 8235, 13725, 8235));
    const auto turned = canvas.OpsOf(Kind::RotatedText);
    ASSERT_EQ(turned.size(), 1u);
    EXPECT_EQ(turned[0].text, "Proportion of pairwise identities");
    EXPECT_EQ(std::tie(turned[0].x1, turned[0].y1), std::make_tuple(0, 5000));
    const auto texts = canvas.OpsOf(Kind::Text);
    EXPECT_EQ(texts[0].text, "Percentage pairwise identity");
    EXPECT_EQ(std::tie(texts[0].x1, texts[0].y1), std::make_tuple(6500, 8700));

    // 70 and 100 short green boxes, 75 .. 95 long ones, the 24 others thin lines.
    const auto boxes = canvas.OpsOf(Kind::FillRect);
    std::vector<DrawOp> horizontal(boxes.begin(), boxes.begin() + 7);
    const int step = 415;  // 12450 / 30
    const int y0 = 9000 - 765 - 25;
    for (int t = 0; t < 7; ++t) {
        const int x = 1275 + 5 * t * step;
        EXPECT_EQ(horizontal[t].colour, kGreen);
        EXPECT_EQ(horizontal[t].x1, x - 15) << t;
        EXPECT_EQ(horizontal[t].y1, y0 - 15);
        EXPECT_EQ(horizontal[t].y2, t == 0 || t == 6 ? y0 + 65 : y0 + 85) << t;
    }
    std::vector<std::string> labels;
    for (int t = 1; t <= 7; ++t) labels.push_back(texts[t].text);
    EXPECT_EQ(labels, (std::vector<std::string>{" 70", " 75", " 80", " 85", " 90", " 95", " 100"}));
    EXPECT_EQ(std::tie(texts[1].x1, texts[1].y1), std::make_tuple(1275 - 120, y0 + 80));
    const int thin =
        static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const DrawOp& op) {
            return op.x1 == op.x2 && op.y1 == y0 && op.y2 == y0 + 70;
        }));
    EXPECT_EQ(thin, 24);
}

TEST(ScreenPlot, MarkedMaximumGetsTheShortBoxAndALabel) {
    const RunState state = Histogram(0.60, 0.625f, 0.4f);  // maximum 62.5 % -> 62
    const RecordingSurface canvas = Plot(state);
    const auto texts = canvas.OpsOf(Kind::Text);
    EXPECT_EQ(texts[1].text, " 60");
    EXPECT_EQ(texts[2].text, " 62");
    EXPECT_EQ(texts[3].text, " 65");
}

TEST(ScreenPlot, VerticalTicksAndLabels) {
    const RunState state = Histogram(0.70, 1.0f, 0.4f);
    const RecordingSurface canvas = Plot(state);
    const auto texts = canvas.OpsOf(Kind::Text);
    std::vector<std::string> labels;
    for (std::size_t t = 8; t < 8 + 21; ++t) labels.push_back(texts[t].text);
    EXPECT_EQ(labels.front(), "0.00");
    EXPECT_EQ(labels[1], "0.02");
    EXPECT_EQ(labels[5], "0.10");
    EXPECT_EQ(labels.back(), "0.40");
    // Major tick at the axis: a box; the label 100 twips above its lower edge (Y - 80).
    const auto boxes = canvas.OpsOf(Kind::FillRect);
    const DrawOp& major = boxes[7];
    EXPECT_EQ(std::tie(major.x1, major.y1, major.x2, major.y2),
              std::make_tuple(1225, 8215, 1335, 8255));
    EXPECT_EQ(std::tie(texts[8].x1, texts[8].y1), std::make_tuple(1275 - 450, 8235 - 80));
    // A minor tick is a line; its label 100 above it.
    EXPECT_EQ(texts[9].y1, static_cast<int>(std::nearbyint(8235 - 7470 / 20.0 - 100)));
}

std::vector<DrawOp> CurveOf(const RecordingSurface& canvas) {
    std::vector<DrawOp> curve;
    for (const DrawOp& op : canvas.OpsOf(Kind::Line))
        if (op.colour == kRed) curve.push_back(op);
    return curve;
}

TEST(ScreenPlot, EveryRowSitsAtTheTickOfItsOwnPercentage) {
    // 73.4 % and 73.6 % alike: the axis starts at 73, the curve at row 72 (the pairs at 73 %).
    for (const double minIdentity : {0.734, 0.736}) {
        RunState state = Histogram(minIdentity, 0.9f, 0.5f);
        state.BinArray[72][1] = 0.25f;  // 73 %
        state.BinArray[73][1] = 0.5f;   // 74 %, the maximum: half of the axis's round top, 1
        ASSERT_EQ(VerticalStep(state), 0.05);
        const std::vector<DrawOp> curve = CurveOf(Plot(state));
        ASSERT_EQ(curve.size(), 27u) << minIdentity;  // ticks 73 .. 100
        const int step = static_cast<int>(std::nearbyint(12450.0 / 27));
        EXPECT_EQ(std::tie(curve[0].x1, curve[0].y1),
                  std::make_tuple(1275, 6368));  // 6367.5, half to even
        EXPECT_EQ(std::tie(curve[0].x2, curve[0].y2),
                  std::make_tuple(1275 + step, 8235 - 7470 / 2));
        EXPECT_EQ(curve[1].y2, 8235);
    }
}

TEST(ScreenPlot, TheSmallestIdentitysBinIsDrawn) {
    // Identities 0.75, 0.5 and 0.75: the pair at 50 % is a third of the pairs, at the first tick.
    RunState state =
        testing::MakeAnalysis(3, [](int i, int j) { return i == 0 && j == 2 ? 0.5f : 0.75f; });
    RecordingWindow window;
    BinIdentities(state, window.progress);
    const std::vector<DrawOp> curve = CurveOf(Plot(state));
    ASSERT_EQ(curve.size(), 50u);          // ticks 50 .. 100
    ASSERT_EQ(VerticalStep(state), 0.05);  // an axis from 0 to 1
    EXPECT_EQ(std::tie(curve[0].x1, curve[0].y1), std::make_tuple(1275, 8235 - 7470 / 3));
    int peaks = 0;
    for (const DrawOp& op : curve) peaks += op.y2 == 8235 - 7470 * 2 / 3;
    EXPECT_EQ(peaks, 1);  // 75 %
}

TEST(ScreenPlot, AllIdenticalSequencesDrawWithoutFault) {
    RunState state = Histogram(1.0, 1.0f, 1.0f);
    state.BinArray[99][1] = 1.0f;
    const RecordingSurface canvas = Plot(state);
    EXPECT_EQ(canvas.OpsOf(Kind::Text)[1].text, " 100");
}

}  // namespace
}  // namespace kvr
