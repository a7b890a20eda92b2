// The window from one analysis to the next: what is on display is always the last finished run's
// (or the last session opened), under that file's name, and nothing of an earlier file, run or
// view carries over.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/recording_surface.h"
#include "io/file_io.h"
#include "io/number_text.h"
#include "io/session_file.h"
#include "io/settings.h"
#include "model/palette.h"
#include "pipeline/binning.h"
#include "support/analysis_state.h"
#include "support/window_fixture.h"

namespace kvr {
namespace {

using Names = std::vector<std::string>;

class WindowStatesTest : public testing::WindowTest {
  protected:
    std::string fileA = data.Write("a.fasta", testing::kFourSequences);
    std::string fileB = data.Write("b.fasta", testing::kThreeSequences);

    // The program left (Yes to the question) and started anew on the same program folder.
    RecordingWindow again;
    RunState next;
    MainForm reopened{next, again, shell, program.Path()};
    void LeaveAndStartAgain() {
        window.yesNoAnswers = {true};
        form.OnCloseRequested();
        reopened.Load();
    }

    void ExpectShowing(const std::string& path, const Names& names) {
        EXPECT_EQ(shown.windowState, WindowState::Analysis);
        EXPECT_EQ(ShownNames(), names);
        ExpectTablesAgree();
        EXPECT_TRUE(window.Caption(Control::frmMainForm)
                        .starts_with("Kavorin - version 1 | " + std::to_string(names.size()) +
                                     " sequences"))
            << window.Caption(Control::frmMainForm);
        EXPECT_NE(window.Caption(Control::lblFilePath).find(path), std::string::npos)
            << window.Caption(Control::lblFilePath);
        for (Control c : {Control::mnuSave, Control::mnuRerun, Control::mnuAppend, Control::cmdPlot,
                          Control::cmdZoomIn, Control::cmdColourScheme, Control::mnuOpenFile})
            EXPECT_TRUE(window.IsEnabled(c)) << ControlName(c);
    }
};

TEST_F(WindowStatesTest, AGivenUpRerunLeavesTheNextFileToItsOwnRun) {
    for (const bool cancelRun : {true, false}) {
        Open(fileA);
        Run();
        ExpectShowing(fileA, {">a1", ">c1", ">a2", ">c2"});
        AskRerun(true);
        if (cancelRun)
            RunAndCancel();
        else
            CloseOptions();
        if (cancelRun) {
            EXPECT_EQ(window.Caption(Control::lblProgress), "Cancelled");
        }
        ExpectShowing(fileA, {">a1", ">c1", ">a2", ">c2"});

        Open(fileB);
        Run();
        ExpectShowing(fileB, {">b1", ">b2", ">b3"});
    }
}

TEST_F(WindowStatesTest, AllAlikeResultDoesNotBlockTheNextFile) {
    Open(data.Write("alike.fasta", testing::kAllAlike));
    Run();
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.back(),
              "All sequences are 100% similar, the analysis connot be perfomed");
    ExpectShowing("alike.fasta", {">h1", ">h2"});

    Open(fileA);
    EXPECT_TRUE(window.IsFormShown(Control::frmOptions));
    Run();
    ExpectShowing(fileA, {">a1", ">c1", ">a2", ">c2"});

    Append(fileB);
    EXPECT_TRUE(window.IsFormShown(Control::frmOptions));
    Run();
    // The status names the file whose pairs were aligned last.
    ExpectShowing(fileB, {">a1", ">c1", ">a2", ">c2", ">b1", ">b2", ">b3"});
}

TEST_F(WindowStatesTest, OpeningAFileClosesTheOptionsWindowOfThePreviousOne) {
    const RunState saved = testing::MakeAnalysis(3, testing::Gradient(3, 0.7f));
    const std::string session =
        data.Write("s.kvr", FormatSession(saved.SequenceList, saved.IdentityMatrix, 3));
    Open(fileA);
    ASSERT_TRUE(window.IsFormShown(Control::frmOptions));
    Open(session);
    EXPECT_FALSE(window.IsFormShown(Control::frmOptions));
    ExpectShowing("s.kvr", {">seq_1", ">seq_2", ">seq_3"});
    for (Control c : {Control::mnuSaveMatrix, Control::mnuCopyMat})
        EXPECT_TRUE(window.IsEnabled(c)) << ControlName(c);

    // A refused file in between: the options window of the first file closes with it.
    Open(fileA);
    Open(data.Write("one.fasta", ">only\nACGT\n"));
    EXPECT_FALSE(window.IsFormShown(Control::frmOptions));
    ExpectShowing("s.kvr", {">seq_1", ">seq_2", ">seq_3"});
    EXPECT_EQ(window.Caption(Control::lblProgress), "Failed");
}

TEST_F(WindowStatesTest, CancelledDialogsChangeNothingOnDisplay) {
    Open(fileA);
    Run();
    const std::string caption = window.Caption(Control::frmMainForm);
    const std::size_t drawings = window.viewShows.size();
    CancelledOpen();
    form.OnClick(Control::cmdCancel);  // Esc with no run: nothing to stop
    Append("");
    ExpectShowing(fileA, {">a1", ">c1", ">a2", ">c2"});
    EXPECT_EQ(window.Caption(Control::frmMainForm), caption);
    EXPECT_EQ(window.viewShows.size(), drawings);  // the matrix was not blanked or redrawn

    // The cut-offs still act on the matrix on display.
    form.OnClick(Control::cmdColourScheme);
    ASSERT_TRUE(window.IsEnabled(Control::updCutoff1));
    window.SetValue(Control::updCutoff1, 97);
    EXPECT_EQ(state.cutoff1, 97.0f);
    EXPECT_EQ(window.Caption(Control::lblCutoff1dsply), "97");
}

TEST_F(WindowStatesTest, CancelledAppendKeepsTheAnalysisAndItsCount) {
    Open(fileA);
    Run();
    Append(fileB);
    EXPECT_EQ(state.seqCount, 4);  // the appended sequences wait for their run
    RunAndCancel();
    ExpectShowing(fileA, {">a1", ">c1", ">a2", ">c2"});
    EXPECT_EQ(state.seqCount, 4);

    // Every handler that reads the tables works on four sequences.
    window.dialogAnswers.push_back(data.File("out"));
    form.OnClick(Control::mnuColumn);
    window.dialogAnswers.push_back(data.File("all"));
    form.OnClick(Control::mnu_Save_All);
    form.OnClick(Control::cmdPlot);
    form.OnClick(Control::cmdDrawMat);
    ExpectTablesAgree();
    const auto written = ReadWholeFile(data.File("all.fas"));
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(std::count(written->begin(), written->end(), '>'), 4);
}

TEST_F(WindowStatesTest, AnAppendShowsTheOldMatrixUntilItsRunEndsThenNamesEveryFile) {
    Open(fileA);
    Run();
    const std::string title = window.Caption(Control::frmMainForm);
    ASSERT_EQ(title, "Kavorin - version 1 | 4 sequences");
    // The names the view shows, when it shows a matrix.
    const auto namesOnView = [this] {
        Names names;
        for (const DrawOp& op :
             window.viewDrawing.Draw({0, 0, window.viewDrawing.width, window.viewDrawing.height})
                 .OpsOf(DrawOp::Kind::Text))
            if (op.text.size() == 2) names.push_back(op.text);
        return names;
    };
    const Names four = {"a1", "c1", "a2", "c2"};
    ASSERT_EQ(namesOnView(), four);

    Append(fileB);
    EXPECT_EQ(window.Caption(Control::frmMainForm), title) << "the run has not begun";
    EXPECT_EQ(namesOnView(), four);
    Names titles;
    std::vector<Names> seen;
    window.duringEvents = [&] {
        if (shown.windowState != WindowState::Running) return;
        titles.push_back(window.Caption(Control::frmMainForm));
        seen.push_back(namesOnView());
    };
    Run();
    window.duringEvents = {};
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles, Names(titles.size(), title));
    EXPECT_EQ(seen, std::vector<Names>(seen.size(), four));

    // Both files and all 21 pairs of the seven sequences, not the 15 this run aligned.
    EXPECT_EQ(window.Caption(Control::frmMainForm),
              "Kavorin - version 1 | 7 sequences | a.fasta + b.fasta");
    EXPECT_EQ(window.Caption(Control::lblFilePath),
              "Files - " + fileA + " + " + fileB + "  |  7 sequences, 21 pairs");
    EXPECT_EQ(namesOnView().size(), 7u);
}

TEST_F(WindowStatesTest, SettingsAreKeptWhenTheyChangeNotOnlyOnLeaving) {
    const auto stored = [this] {
        RunState read;
        WindowSettings settings;
        ReadSettings(read, program.Path(), &settings);
        return std::pair{settings.recentFiles, read.choices.paletteKind};
    };
    Open(fileA);
    EXPECT_EQ(stored().first, Names{fileA});
    Run();
    form.OnClick(Control::mnuViridis);
    EXPECT_EQ(stored().second, kViridisPalette);
    // A program that ends without the question (killed, a power cut) has kept them.
    EXPECT_FALSE(window.quitCalled);
}

TEST_F(WindowStatesTest, WhileAFileLoadsOnlyLeavingActs) {
    Open(fileA);
    Run();
    std::string big;
    for (int k = 0; k < 160; ++k)
        big += ">s" + std::to_string(k) + "\nACGTTGCA" + std::string(k % 7 + 1, 'A') + "\n";
    const std::string bigFile = data.Write("big.fasta", big);
    int clicks = 0;
    window.duringEvents = [&] {
        if (shown.windowState != WindowState::Busy || clicks++ > 0) return;
        form.OnClick(Control::cmdColourScheme);
        form.OnClick(Control::cmdZoomIn);
        form.OnFilesDropped(Control::frmMainForm, {fileB});
        window.SetValue(Control::UpdCutoff2, 50);
    };
    Open(bigFile);
    window.duringEvents = {};
    EXPECT_GT(clicks, 0);
    EXPECT_EQ(state.choices.ColourMode, kFullColour);
    EXPECT_EQ(shown.zoomLevel, 0);
    EXPECT_EQ(state.cutoff2, 78.0f);
    ASSERT_TRUE(form.next.has_value());
    EXPECT_EQ(form.next->state.seqCount, 160);
    EXPECT_EQ(window.Caption(Control::lblProgress), "160 sequences loaded");
}

TEST_F(WindowStatesTest, EachAnalysisIsPlottedOnItsOwnScale) {
    Open(data.Write("alike.fasta", testing::kAllAlike));  // one pair: a peak of 1
    Run();
    EXPECT_EQ(state.maxProportion, 1.0f);
    Open(fileA);
    Run();
    float highest = 0;
    for (const auto& row : state.BinArray) highest = std::max(highest, row[1]);
    EXPECT_LT(highest, 1.0f);
    EXPECT_EQ(state.maxProportion, highest);
}

TEST_F(WindowStatesTest, CutOffsRaisedForOneAnalysisAreNotTheNextOnes) {
    Open(data.Write("alike.fasta", testing::kAllAlike));
    Run();
    EXPECT_EQ(state.cutoff2, 100.0f);  // raised to the smallest identity
    Open(fileA);
    Run();
    EXPECT_EQ(state.cutoff1, 94.0f);  // the defaults, as nobody set them
    EXPECT_EQ(state.cutoff2, 78.0f);
    EXPECT_EQ(window.Value(Control::UpdCutoff2), 78);
    EXPECT_EQ(window.Caption(Control::lblCutoff2dsply), "78");

    form.OnClick(Control::cmdColourScheme);
    window.SetValue(Control::UpdCutoff2, 80);  // the user's own choice carries over
    Open(fileB);
    Run();
    EXPECT_EQ(state.cutoff2, 80.0f);
}

TEST_F(WindowStatesTest, AfterAnAlignerFailureTheRunIsOfferedAgain) {
    Open(fileA);
    // MUSCLE ends without writing its alignment.
    for (Control c : {Control::oMuscle, Control::oClustalw, Control::oMafft, Control::oBuiltin})
        window.SetChecked(c, c == Control::oMuscle);
    window.SetChecked(Control::chkOptions, false);
    form.OnClick(Control::CmdRun);
    EXPECT_FALSE(shell.commands.empty());
    EXPECT_EQ(window.Caption(Control::lblProgress), "Failed");
    EXPECT_EQ(shown.windowState, WindowState::AwaitingRun);
    EXPECT_TRUE(window.IsFormShown(Control::frmOptions));
    ASSERT_TRUE(form.next.has_value());

    Run();  // another aligner, the file not opened again
    ExpectShowing(fileA, {">a1", ">c1", ">a2", ">c2"});
}

TEST_F(WindowStatesTest, OpenedFilesAreOfferedAgainLastFirst) {
    Open(fileA);
    Open(data.Write("one.fasta", ">only\nACGT\n"));  // refused: not offered
    Open(fileB);
    EXPECT_EQ(window.recentFiles, (Names{fileB, fileA}));
    Run();
    form.OnOpenRecent(fileA);
    EXPECT_EQ(window.recentFiles, (Names{fileA, fileB}));
    Run();
    ExpectShowing(fileA, {">a1", ">c1", ">a2", ">c2"});

    // Remembered in the settings file, and offered from the start.
    LeaveAndStartAgain();
    EXPECT_EQ(again.recentFiles, (Names{fileA, fileB}));
}

TEST_F(WindowStatesTest, ThePointerReadsOutTheCellUnderIt) {
    Open(fileA);
    Run();
    // The middle of column 1, row 2 (a1 against c1), where the drawing put its cells.
    const CellGrid& grid = shown.drawnCells;
    ASSERT_EQ(grid.count, 4);
    const double x = grid.left + grid.cellWidth / 2.0, y = grid.cellHeight * 1.5;
    form.OnPointerMoved(x, y);
    // In the pair table's order and numbers: the sequence shown first, then the other, and the
    // identity in percent as the table writes it.
    EXPECT_EQ(window.ToolTip(Control::ZoomingPicture),
              "a1 / c1: " + PercentText(state.IdentityMatrix(1, 0)) + " % (row 2, column 1)");
    // Above the diagonal, off the view, or with the plot shown: nothing, not the empty view's
    // invitation to drop a file.
    const double cell = grid.cellWidth;
    for (const auto& [px, py] : {std::pair{x + cell, y - cell}, std::pair{-1.0, -1.0}}) {
        form.OnPointerMoved(px, py);
        EXPECT_EQ(window.ToolTip(Control::ZoomingPicture), "");
    }
    form.OnClick(Control::cmdPlot);
    form.OnPointerMoved(x, y);
    EXPECT_EQ(window.ToolTip(Control::ZoomingPicture), "");
}

TEST_F(WindowStatesTest, TheColourBlindSafePaletteIsAChoiceKeptBetweenRuns) {
    Open(fileA);
    Run();
    form.OnClick(Control::mnuViridis);
    EXPECT_TRUE(window.IsChecked(Control::mnuViridis));
    EXPECT_EQ(PaletteOf(state)[0], (Rgb{68, 1, 84}));  // viridis's dark purple
    bool drawn = false;
    for (const DrawOp& op : window.innerCanvas.OpsOf(DrawOp::Kind::FillRect))
        drawn = drawn || op.colour == Rgb{68, 1, 84};
    EXPECT_TRUE(drawn) << "the key shows the palette's first step";

    Open(fileB);  // the next analysis keeps the choice, and so does the settings file
    Run();
    EXPECT_EQ(PaletteOf(state)[0], (Rgb{68, 1, 84}));
    LeaveAndStartAgain();
    EXPECT_TRUE(again.IsChecked(Control::mnuViridis));
    EXPECT_EQ(next.choices.paletteKind, kViridisPalette);
}

TEST_F(WindowStatesTest, AwaitingARunTheCutOffsAreAllDisabled) {
    Open(fileA);
    Run();
    form.OnClick(Control::cmdColourScheme);  // three colours: the cut-offs act
    ASSERT_TRUE(window.IsEnabled(Control::UpdCutoff2));
    Open(fileB);
    EXPECT_EQ(shown.windowState, WindowState::AwaitingRun);
    for (Control c : {Control::lblCutoff1, Control::updCutoff1, Control::lblCutoff1dsply,
                      Control::lblCutoff2, Control::UpdCutoff2, Control::lblCutoff2dsply})
        EXPECT_FALSE(window.IsEnabled(c)) << ControlName(c);
}

}  // namespace
}  // namespace kvr
