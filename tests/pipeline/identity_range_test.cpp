#include "pipeline/identity_range.h"

#include <gtest/gtest.h>

#include "fakes/recording_window.h"
#include "ui/colour_controls.h"

namespace kvr {
namespace {

// A symmetric table with diagonal 1 and the given off-diagonal values, row by row (upper half).
IdentityTable Table(int n, const std::vector<float>& upper) {
    IdentityTable table(n, 1.0f);
    std::size_t k = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) table(i, j) = table(j, i) = upper[k++];
    return table;
}

TEST(FindIdentityRange, FindsTheRangeAndKeepsTheThresholdsInside) {
    struct Case {
        const char* what;
        std::vector<float> upper;  // three sequences: (0,1), (0,2), (1,2)
        float cutoff1, cutoff2;
        double minIdentity;
        float maxIdentity;
        float newCutoff1, newCutoff2;
    };
    const Case cases[] = {
        {"lower cut-off raised", {0.854f, 0.9f, 0.95f}, 94, 78, 0.854f, 0.95f, 94, 85},
        {"both raised", {0.966f, 0.98f, 0.99f}, 94, 78, 0.966f, 0.99f, 97, 97},
        {"left alone", {0.6f, 0.7f, 0.8f}, 94, 78, 0.6f, 0.8f, 94, 78},
        {"zero is never the minimum", {0.0f, 0.7f, 0.8f}, 94, 78, 0.7f, 0.8f, 94, 78},
        // A, C, A: two copies and a sequence that shares nothing with them is no set of copies.
        {"zero and 100 % only", {0.0f, 1.0f, 0.0f}, 94, 78, 0.0, 1.0f, 94, 78},
        {"exact half to even", {0.125f, 0.5f, 0.5f}, 94, 10, 0.125f, 0.5f, 94, 12},
    };
    for (const Case& c : cases) {
        RunState state;
        state.cutoff1 = c.cutoff1;
        state.cutoff2 = c.cutoff2;
        RecordingWindow window;
        EXPECT_TRUE(FindIdentityRange(state, window.progress, Table(3, c.upper), 3)) << c.what;
        ShowCutoffs(state, window);
        EXPECT_EQ(state.minIdentity, c.minIdentity) << c.what;
        EXPECT_EQ(state.maxIdentity, c.maxIdentity) << c.what;
        EXPECT_EQ(state.cutoff1, c.newCutoff1) << c.what;
        EXPECT_EQ(state.cutoff2, c.newCutoff2) << c.what;
        // The labels and spin controls show them whether or not they moved: the labels may
        // still show an earlier analysis's.
        EXPECT_EQ(window.Caption(Control::lblCutoff1dsply), std::to_string(int(c.newCutoff1)))
            << c.what;
        EXPECT_EQ(window.Caption(Control::lblCutoff2dsply), std::to_string(int(c.newCutoff2)))
            << c.what;
        EXPECT_EQ(window.valueHistory[Control::updCutoff1], std::vector<int>{int(c.newCutoff1)})
            << c.what;
        EXPECT_EQ(window.valueHistory[Control::UpdCutoff2], std::vector<int>{int(c.newCutoff2)})
            << c.what;
        EXPECT_TRUE(window.messages.empty()) << c.what;
    }
}

TEST(FindIdentityRange, ReportsASetWithoutAnyDifference) {
    struct Case {
        const char* what;
        IdentityTable table;
        int n;
    };
    const Case cases[] = {
        {"two identical sequences", Table(2, {1.0f}), 2},
        {"one sequence", IdentityTable(1, 1.0f), 1},
    };
    for (const Case& c : cases) {
        RunState state;
        RecordingWindow window;
        const bool ranged = FindIdentityRange(state, window.progress, c.table, c.n);
        EXPECT_EQ(window.messages,
                  std::vector<std::string>{
                      "All sequences are 100% similar, the analysis connot be perfomed"})
            << c.what;
        EXPECT_EQ(window.Caption(Control::lblProgress), "Failed") << c.what;
        EXPECT_FALSE(ranged) << c.what;
        EXPECT_EQ(state.minIdentity, 1.0) << c.what;
        EXPECT_EQ(state.cutoff2, 100.0f) << c.what;
        EXPECT_EQ(state.cutoff1, 100.0f) << c.what;
    }

    // Every pair at 0 is the opposite case: said as it is, with 0 as the smallest identity.
    RunState state;
    RecordingWindow window;
    const bool ranged = FindIdentityRange(state, window.progress, Table(3, {0.0f, 0.0f, 0.0f}), 3);
    EXPECT_EQ(window.messages, std::vector<std::string>{kNothingSharedMessage});
    EXPECT_FALSE(ranged);
    EXPECT_EQ(state.minIdentity, 0.0);
    EXPECT_EQ(state.maxIdentity, 0.0f);
    EXPECT_EQ(state.cutoff2, 78.0f);
}

}  // namespace
}  // namespace kvr
