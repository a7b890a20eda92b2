#include "state/save_dialog.h"

#include <gtest/gtest.h>

#include "platform/fakes/recording_window.h"

namespace kvr {
namespace {

TEST(WithSuffix, TheSuffixIsNeverDoubled) {
    const struct {
        const char *chosen, *suffix, *path;
    } cases[] = {
        {"/d/figure", "_mat.svg", "/d/figure_mat.svg"},
        {"/d/figure.svg", "_mat.svg", "/d/figure_mat.svg"},
        {"/d/figure.SVG", "_mat.svg", "/d/figure_mat.svg"},
        {"/d/figure_mat.svg", "_mat.svg", "/d/figure_mat.svg"},
        {"/d/figure.png", "_mat.svg", "/d/figure.png_mat.svg"},  // another format: kept
        {"/d/run", ".kvr", "/d/run.kvr"},
        {"/d/run.kvr", ".kvr", "/d/run.kvr"},
        {"/d/scores.txt", "_col.txt", "/d/scores_col.txt"},
        {"/d/.kvr", ".kvr", "/d/.kvr"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithSuffix(c.chosen, c.suffix), c.path) << c.chosen;
}

}  // namespace
}  // namespace kvr

namespace kvr {
namespace {

TEST(SaveFilter, EachSaveOffersItsKindOfFile) {
    EXPECT_EQ(SaveFilter("_mat.svg"), "SVG pictures (*.svg);;All files (*)");
    EXPECT_EQ(SaveFilter("_plt.png"), "PNG images (*.png);;All files (*)");
    EXPECT_EQ(SaveFilter(".kvr"), "KVR sessions (*.kvr);;All files (*)");
    EXPECT_EQ(SaveFilter("_col.txt"), "Text files (*.txt);;All files (*)");
    EXPECT_EQ(SaveFilter("_x"), "All files (*)");

    RunState state;
    state.lastFolder = "/d";
    RecordingWindow window;
    AskSaveName(state, window, "_mat.emf");
    EXPECT_EQ(window.saveFilters, std::vector<std::string>{"EMF pictures (*.emf);;All files (*)"});
    EXPECT_EQ(window.dialogFolders, std::vector<std::string>{"/d"});
}

}  // namespace
}  // namespace kvr
