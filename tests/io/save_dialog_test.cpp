#include "ui/save_dialog.h"

#include <gtest/gtest.h>

#include "fakes/recording_window.h"

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
        // An extension of the same kind, typed: it stays, the suffix's own part before it.
        {"/d/pair.fasta", ".fas", "/d/pair.fasta"},
        {"/d/pair.FA", ".fas", "/d/pair.FA"},
        {"/d/scores.csv", "_col.txt", "/d/scores_col.csv"},
        {"/d/scores_col.csv", "_col.txt", "/d/scores_col.csv"},
        {"/d/set.v2", ".fas", "/d/set.v2.fas"},  // not an extension of the kind: part of the name
    };
    for (const auto& c : cases) EXPECT_EQ(WithSuffix(c.chosen, c.suffix), c.path) << c.chosen;
}

TEST(SaveDialogStart, TheInputsFolderAndNameThenTheFolderLastSavedIn) {
    RunState state;
    state.choices.lastFolder = "/last";
    EXPECT_EQ(SaveDialogStart(state, "_mat.svg"), "/last");  // no input: no name to offer

    state.inputPath = "/data/its/orchid_its.fasta.gz";
    state.sourceFiles = {state.inputPath, "/other/more.fasta"};
    EXPECT_EQ(SaveDialogStart(state, "_mat.svg"), "/data/its/orchid_its_mat.svg");
    EXPECT_EQ(SaveDialogStart(state, ".kvr"), "/data/its/orchid_its.kvr");

    RememberFolderOf(state, "/results/figure_mat.svg");
    EXPECT_EQ(state.choices.lastFolder, "/results");
    EXPECT_EQ(SaveDialogStart(state, "_plt.pdf"), "/results/orchid_its_plt.pdf");
    // The next analysis starts again from its own input's folder.
    const RunState next = ChoicesOf(state);
    EXPECT_EQ(next.saveFolder, "");
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
    state.choices.lastFolder = "/d";
    RecordingWindow window;
    AskSaveName(state, window, "_mat.emf");
    EXPECT_EQ(window.saveFilters, std::vector<std::string>{"EMF pictures (*.emf);;All files (*)"});
    EXPECT_EQ(window.dialogFolders, std::vector<std::string>{"/d"});
}

}  // namespace
}  // namespace kvr
