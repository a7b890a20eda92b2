#include "pipeline/binning.h"

#include <gtest/gtest.h>

#include <numeric>

#include "fakes/recording_window.h"
#include "support/analysis_state.h"

namespace kvr {
namespace {

using testing::MakeAnalysis;

RunState Pairs(int n, const std::function<float(int, int)>& identity) {
    return MakeAnalysis(n, identity);
}

TEST(BinIdentities, RoundsTheSinglePrecisionPercentTiesToEven) {
    struct Case {
        float identity;
        int row;
    };
    const Case cases[] = {
        {0.73f, 72}, {0.125f, 11}, {0.375f, 37}, {0.625f, 61}, {0.875f, 87},
        {0.015f, 0},  // 1.4999999 % rounds to 1
        {0.01f, 0},  {0.005f, 0},  {0.0f, 0},    {1.0f, 99},   {0.985f, 98},  // 98.500001 %
    };
    for (const Case& c : cases) {
        RunState state = Pairs(2, [&](int, int) { return c.identity; });
        RecordingWindow window;
        BinIdentities(state, window.progress);
        ASSERT_EQ(state.BinArray.size(), 101u);
        for (int b = 0; b <= 100; ++b) {
            const float expected = b == c.row ? 1.0f : 0.0f;
            EXPECT_EQ(state.BinArray[b][0], expected) << c.identity << " row " << b;
            EXPECT_EQ(state.BinArray[b][1], expected) << c.identity << " row " << b;
        }
        EXPECT_EQ(state.maxProportion, 1.0f);
    }
}

TEST(BinIdentities, ProportionsOfAllPairs) {
    // Pairs (0,1) and (0,2) at 0.5, (1,2) at 0.9.
    RunState state = Pairs(3, [](int i, int) { return i == 0 ? 0.5f : 0.9f; });
    RecordingWindow window;
    BinIdentities(state, window.progress);
    EXPECT_EQ(state.BinArray[49][0], 2.0f);
    EXPECT_EQ(state.BinArray[89][0], 1.0f);
    EXPECT_EQ(state.BinArray[49][1], 2.0f / 3.0f);
    EXPECT_EQ(state.BinArray[89][1], 1.0f / 3.0f);
    EXPECT_EQ(state.maxProportion, 2.0f / 3.0f);
    float total = 0;
    for (const auto& row : state.BinArray) total += row[0];
    EXPECT_EQ(total, 3.0f);
}

TEST(BinIdentities, EachHistogramHasItsOwnScale) {
    RunState state = Pairs(3, [](int, int) { return 0.8f; });
    RecordingWindow window;
    BinIdentities(state, window.progress);
    EXPECT_EQ(state.maxProportion, 1.0f);
    // The same state binning a flatter set: its peak, not the earlier one, sets the scale.
    state.IdentityMatrix(0, 1) = 0.6f;
    state.IdentityMatrix(0, 2) = 0.7f;
    BinIdentities(state, window.progress);
    EXPECT_EQ(state.BinArray[59][1], 1.0f / 3.0f);
    EXPECT_EQ(state.maxProportion, 1.0f / 3.0f);
}

TEST(BinIdentities, ProgressAndStatus) {
    RunState state = MakeAnalysis(30, testing::Gradient(30, 0.5f));
    RecordingWindow window;
    BinIdentities(state, window.progress);
    EXPECT_EQ(
        window.captionHistory[Control::lblProgress],
        (std::vector<std::string>{"Creating bins ...", "Calculating proportions ...", "Done"}));
    const auto& bar = window.valueHistory[Control::ProgressBar1];
    ASSERT_GE(bar.size(), 3u);
    EXPECT_EQ(bar.front(), 0) << "shown before the first pair is counted";
    EXPECT_EQ(*std::max_element(bar.begin(), bar.end()), 99) << "never 100 inside the loop";
    EXPECT_EQ(bar.back(), 0);
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end() - 2));
    EXPECT_GT(window.eventPumps, 0);
}

TEST(BinIdentities, OneSequenceHasNoPairsAndNoProportions) {
    RunState state = Pairs(1, [](int, int) { return 1.0f; });
    RecordingWindow window;
    BinIdentities(state, window.progress);
    for (const auto& row : state.BinArray) {
        EXPECT_EQ(row[0], 0.0f);
        EXPECT_EQ(row[1], 0.0f);
    }
    EXPECT_EQ(state.maxProportion, 0.0f);
}

}  // namespace
}  // namespace kvr
