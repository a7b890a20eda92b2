// Both plot layouts over real histograms and the ranges that troubled them: every text inside
// the picture, no two texts overlapping, the vertical labels all different.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/recording_surface.h"
#include "fakes/recording_window.h"
#include "pictures/figure_data.h"
#include "pictures/plot_picture.h"
#include "pictures/plot_scale.h"
#include "pictures/screen_plot.h"
#include "pipeline/binning.h"
#include "platform/emf/emf_surface.h"

namespace kvr {
namespace {

void ExpectReadable(const RecordingSurface& surface, int width, int height,
                    const std::string& what) {
    const auto texts = surface.Texts();
    for (std::size_t a = 0; a < texts.size(); ++a) {
        EXPECT_TRUE(texts[a].box.InsideOf(width, height))
            << what << ": '" << texts[a].text << "' at " << texts[a].box.left << ","
            << texts[a].box.top << " outside " << width << " x " << height;
        for (std::size_t b = a + 1; b < texts.size(); ++b)
            EXPECT_FALSE(texts[a].box.Overlaps(texts[b].box))
                << what << ": '" << texts[a].text << "' on '" << texts[b].text << "'";
    }
}

struct Drawn {
    RecordingSurface screen;
    RecordingSurface picture{EmfSurface::kTextCell, EmfSurface::kTextCell};
    PictureFrame frame{};
};

Drawn DrawBoth(const RunState& state, Size screen) {
    Drawn drawn;
    ScreenPlot(state, drawn.screen, screen);
    DrawPlotPicture(state, drawn.picture);
    drawn.frame = PlotPictureFrame(state);
    return drawn;
}

void ExpectReadableBoth(const RunState& state, const std::string& what) {
    // The kvr image's size, and a small window's view.
    for (const Size screen : {Size{1160 * 15.0, 757 * 15.0}, Size{600 * 15.0, 300 * 15.0}}) {
        const Drawn drawn = DrawBoth(state, screen);
        ExpectReadable(drawn.screen, drawn.screen.Width(), drawn.screen.Height(),
                       what + " screen " + std::to_string(drawn.screen.Width()));
        ExpectReadable(drawn.picture, EmfSurface::FrameToPixels(drawn.frame.width),
                       EmfSurface::FrameToPixels(drawn.frame.height), what + " picture");
    }
    // The picture's 31 units between ticks leave room for every vertical label, however many
    // decimals it has.
    const Drawn drawn = DrawBoth(state, Size{1160 * 15.0, 757 * 15.0});
    const auto texts = drawn.picture.Texts();
    const auto labels = VerticalLabels(state);
    for (int k = 1; k < kVerticalTicks; ++k) {
        if (k % 5 == 0) continue;  // the major ones are written short
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                [&](const auto& t) { return t.text == labels[k]; }))
            << what << ": " << labels[k] << " left out";
    }
}

TEST(PlotLayout, RealDataSetsOfTwoToFiveHundredSequences) {
    for (const int n : {2, 3, 13, 48, 94, 200, 500}) {
        RunState state = testing::RealAnalysis(n, 20);
        RecordingWindow window;
        BinIdentities(state, window.progress);
        ExpectReadableBoth(state, std::to_string(n) + " sequences");
    }
}

TEST(PlotLayout, TicksAreRoundNumbersWithTheDecimalsTheyNeed) {
    struct Case {
        float maxProportion;
        const char* second;  // the label of tick 1: the step, 1, 2 or 5 times a power of ten
        const char* top;     // the label of tick 20
    };
    for (const Case c :
         {Case{0.4f, "0.02", "0.40"}, Case{0.07f, "0.005", "0.100"}, Case{0.013f, "0.001", "0.020"},
          Case{0.2f, "0.01", "0.20"}, Case{0.0115f, "0.001", "0.020"},
          Case{0.0055f, "0.0005", "0.0100"}, Case{1.0f, "0.05", "1.00"}}) {
        RunState state;
        state.minIdentity = 0.3;
        state.maxIdentity = 0.99f;
        state.maxProportion = c.maxProportion;
        state.BinArray.assign(101, {0.0f, 0.0f});
        const auto labels = VerticalLabels(state);
        EXPECT_EQ(labels[1], c.second) << c.maxProportion;
        EXPECT_EQ(labels[20], c.top) << c.maxProportion;
        for (int k = 1; k < kVerticalTicks; ++k)
            EXPECT_NE(labels[k], labels[k - 1]) << c.maxProportion << " tick " << k;
        ExpectReadableBoth(state, "peak " + std::to_string(c.maxProportion));
    }
}

TEST(PlotLayout, LabelsBesideARegularTickAreLeftOutNotOverprinted) {
    // Every range from 0 to 99, with the maximum just beside a multiple of 5.
    for (int lo = 0; lo <= 99; ++lo) {
        for (const float maxIdentity : {0.94f, 0.96f, 1.0f}) {
            RunState state;
            state.minIdentity = lo / 100.0 + 0.001;
            state.maxIdentity = std::max(maxIdentity, static_cast<float>(lo + 1) / 100);
            state.maxProportion = 0.31f;
            state.BinArray.assign(101, {0.0f, 0.0f});
            ExpectReadableBoth(state, "from " + std::to_string(lo));
            if (::testing::Test::HasFailure()) return;
        }
    }
    // 50 to 100 in the picture: 17 units a percent; " 94" and " 95" cannot both stand.
    RunState state;
    state.minIdentity = 0.50;
    state.maxIdentity = 0.94f;
    state.maxProportion = 0.3f;
    state.BinArray.assign(101, {0.0f, 0.0f});
    RecordingSurface picture(EmfSurface::kTextCell, EmfSurface::kTextCell);
    DrawPlotPicture(state, picture);
    std::vector<std::string> texts;
    for (const auto& t : picture.Texts()) texts.push_back(t.text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), " 94"), texts.end()) << "the maximum stays";
    EXPECT_EQ(std::find(texts.begin(), texts.end(), " 95"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), " 90"), texts.end());
}

}  // namespace
}  // namespace kvr
