// The run options window and the three run paths, through the main form on a recording window:
// the built-in aligner makes the runs real and fast; a fake shell stands in for a hanging aligner.
#include "ui/run_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "io/file_io.h"
#include "io/program_folder.h"
#include "io/session_file.h"
#include "io/settings.h"
#include "io/text_exports.h"
#include "support/analysis_state.h"
#include "support/temp_folder.h"
#include "support/window_fixture.h"
#include "ui/layout.h"

namespace kvr {
namespace {

class RunPathsTest : public testing::WindowTest {
  protected:
    std::string Work() const { return WorkFolder(program.Path()); }
    // Presses Run with the aligner's option button and the tree box as given.
    void RunWith(Control aligner, bool tree) {
        ASSERT_TRUE(window.IsFormShown(Control::frmOptions));
        for (Control c : {Control::oMuscle, Control::oClustalw, Control::oMafft, Control::oBuiltin})
            window.SetChecked(c, c == aligner);
        window.SetChecked(Control::chkOptions, tree);
        form.OnClick(Control::CmdRun);
    }
    bool RunFoldersLeft() const {
        for (const auto& entry : std::filesystem::directory_iterator(Work()))
            if (entry.path().filename().string().starts_with("run-")) return true;
        return false;
    }
};

TEST_F(RunPathsTest, OptionsWindowOffersTheLastRunsChoiceCentred) {
    Open(data.Write("f.fasta", testing::kFourSequences));
    EXPECT_TRUE(window.IsFormShown(Control::frmOptions));
    EXPECT_TRUE(window.IsChecked(Control::oBuiltin));  // before any run
    EXPECT_FALSE(window.IsChecked(Control::oMuscle));
    EXPECT_TRUE(window.IsChecked(Control::chkOptions));
    EXPECT_FALSE(window.IsChecked(Control::chkAmbiguous));  // the method's identity
    EXPECT_EQ(window.Geometry(Control::frmOptions),
              (Rect{(28800 - 4950) / 2.0, (16200 - 3270) / 2.0, 4950, 3270}));
    // A choice that never ran is forgotten; the choice of a run is offered next time.
    window.SetChecked(Control::oBuiltin, false);
    window.SetChecked(Control::oMafft, true);
    window.SetChecked(Control::chkOptions, false);
    window.SetChecked(Control::chkAmbiguous, true);
    Open(data.File("f.fasta"));
    EXPECT_TRUE(window.IsChecked(Control::oBuiltin));
    EXPECT_FALSE(window.IsChecked(Control::oMafft));
    EXPECT_TRUE(window.IsChecked(Control::chkOptions));
    EXPECT_FALSE(window.IsChecked(Control::chkAmbiguous));
    window.SetChecked(Control::chkAmbiguous, true);
    RunWith(Control::oBuiltin, false);
    Open(data.File("f.fasta"));
    EXPECT_TRUE(window.IsChecked(Control::oBuiltin));
    EXPECT_FALSE(window.IsChecked(Control::chkOptions));
    EXPECT_TRUE(window.IsChecked(Control::chkAmbiguous));
    // Kept in the settings for the next start, with the aligner and the tree.
    RunState read;
    ReadSettings(read, program.Path());
    EXPECT_TRUE(read.choices.skipAmbiguous);
}

// The rule of the options window is the run's: the identity of the known bases where it skips.
TEST_F(RunPathsTest, SkippingAmbiguousBasesComparesOnlyTheKnownOnes) {
    const std::string file =
        data.Write("n.fasta", ">k\nACGTACGTACGTACGTACGT\n>n\nACGTACGTNNNNNNNNACGT\n");
    for (const bool skip : {false, true}) {
        Open(file);
        window.SetChecked(Control::chkAmbiguous, skip);
        RunWith(Control::oBuiltin, false);
        ASSERT_TRUE(shown.ShowsAnalysis());
        EXPECT_EQ(state.choices.skipAmbiguous, skip);
        EXPECT_EQ(state.IdentityMatrix(1, 0), skip ? 1.0f : 0.6f) << skip;
        EXPECT_EQ(state.provenance.Get("ambiguous"), skip ? "skip" : "count");
    }
}

TEST_F(RunPathsTest, FreshRunWithoutTheTreeKeepsTheFileOrderAndDrawsTheMatrix) {
    Open(data.Write("f.fasta", testing::kFourSequences));
    RunWith(Control::oBuiltin, false);
    EXPECT_EQ(state.choices.AlignerKind, Aligner::Builtin);
    EXPECT_FALSE(state.choices.useTree);
    EXPECT_FALSE(window.IsFormShown(Control::frmOptions));
    EXPECT_EQ(state.SequenceList, state.InputSequences);
    EXPECT_TRUE(shown.ShowsAnalysis());
    EXPECT_FALSE(form.next.has_value());
    EXPECT_GT(state.IdentityMatrix(0, 2), state.IdentityMatrix(0, 1));  // a1 is like a2
    for (Control c :
         {Control::mnuColumn, Control::cmdPlot, Control::mnuSave, Control::mnuSaveSimScore,
          Control::mnuSaveSession, Control::mnuSaveMatrix, Control::mnuCopyMat, Control::mnuRerun,
          Control::mnuAppend, Control::mnuOpenFile, Control::cmdZoomIn})
        EXPECT_TRUE(window.IsEnabled(c)) << ControlName(c);
    EXPECT_FALSE(window.IsEnabled(Control::mnuSavePlot));
    EXPECT_TRUE(window.IsDropEnabled(Control::frmMainForm));
    EXPECT_FALSE(window.IsVisible(Control::cmdCancel));
    EXPECT_EQ(window.ToolTip(Control::ZoomingPicture), "Drag and drop here a file to analyse");
    EXPECT_TRUE(ReadWholeFile(JoinPath(Work(), "Identity_mat.emf")));
    EXPECT_FALSE(
        std::filesystem::exists(JoinPath(Work(), kLastRunName)));  // only reruns and appends
    EXPECT_FALSE(RunFoldersLeft());
    EXPECT_TRUE(shell.commands.empty());  // nothing started outside
}

TEST_F(RunPathsTest, RerunWritesLastRunAndThePlotData) {
    Open(data.Write("f.fasta", testing::kFourSequences));
    RunWith(Control::oBuiltin, false);
    const IdentityTable first = state.IdentityMatrix;

    form.OnClick(Control::mnuRerun);  // No: nothing changes
    EXPECT_EQ(window.questions.back(),
              "Do you want to perform a full pairwise identity calculation on current dataset?");
    EXPECT_FALSE(form.next.has_value());
    EXPECT_FALSE(window.IsFormShown(Control::frmOptions));

    window.yesNoAnswers.push_back(true);
    form.OnClick(Control::mnuRerun);
    ASSERT_TRUE(form.next.has_value());
    EXPECT_EQ(form.next->kind, RunKind::Rerun);
    RunWith(Control::oBuiltin, false);
    EXPECT_FALSE(form.next.has_value());
    EXPECT_EQ(state.IdentityMatrix, first);
    // With the record of the rerun that made it.
    EXPECT_EQ(state.provenance.Get("command"), "rerun");
    EXPECT_EQ(ReadWholeFile(JoinPath(Work(), kLastRunName)),
              FormatSession(state.SequenceList, state.IdentityMatrix, 4, state.provenance));
    EXPECT_EQ(ReadWholeFile(JoinPath(Work(), kWorkPlotDataName)),
              FormatPlotData(state, PlotDataHeader::WorkFolder));
}

TEST_F(RunPathsTest, AppendAlignsOnlyTheNewPairs) {
    // A session whose stored identities no aligner would give: they must be kept as they are.
    RunState saved = testing::MakeAnalysis(3, [](int, int) { return 0.5f; });
    saved.SequenceList = {{">x", "ACGTACGTAC"}, {">y", "ACGTTCGTAC"}, {">z", "TTTTACGTAC"}};
    Open(data.Write("s.kvr", FormatSession(saved.SequenceList, saved.IdentityMatrix, 3)));
    ASSERT_TRUE(shown.ShowsAnalysis());

    window.dialogAnswers.push_back(data.Write("new.fasta", ">w\nACGTACGTAA\n"));
    form.OnClick(Control::mnuAppend);
    ASSERT_TRUE(form.next.has_value());
    EXPECT_EQ(form.next->kind, RunKind::Append);
    EXPECT_EQ(form.next->state.seqCount, 4);
    EXPECT_EQ(state.seqCount, 3);  // the analysis on display until the run has finished
    RunWith(Control::oBuiltin, false);
    EXPECT_EQ(state.seqCount, 4);
    EXPECT_EQ(state.IdentityMatrix(0, 1), 0.5f);  // no tree: the input order
    EXPECT_EQ(state.IdentityMatrix(1, 2), 0.5f);
    EXPECT_GT(state.IdentityMatrix(0, 3), 0.8f);  // aligned
    EXPECT_TRUE(ReadWholeFile(JoinPath(Work(), kLastRunName))->starts_with("[[[>x\r\n"));
    EXPECT_EQ(state.SequenceList.back().name, ">w");
}

TEST_F(RunPathsTest, AMissingAlignerIsSaidBeforeAnythingRuns) {
    ::setenv("KVR_MUSCLE", "kvr-no-such-aligner -align {in} -output {out}", 1);
    Open(data.Write("f.fasta", testing::kFourSequences));
    window.messages.clear();
    RunWith(Control::oMuscle, false);
    ::unsetenv("KVR_MUSCLE");
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].find("kvr-no-such-aligner"), std::string::npos)
        << window.messages[0];
    EXPECT_TRUE(window.IsFormShown(Control::frmOptions));
    EXPECT_TRUE(shell.commands.empty());
    EXPECT_FALSE(state.choices.AlignerKind.has_value());
    EXPECT_TRUE(window.IsEnabled(Control::mnuOpenFile));
}

TEST_F(RunPathsTest, CancelEndsTheAlignersAndKeepsTheAnalysisOnDisplay) {
    Open(data.Write("f.fasta", testing::kFourSequences));
    RunWith(Control::oBuiltin, false);
    const RecordTable onDisplay = state.SequenceList;
    const IdentityTable matrix = state.IdentityMatrix;
    const std::string caption = window.Caption(Control::frmMainForm);
    const std::vector<Control> watched = {Control::mnuRerun,       Control::mnuAppend,
                                          Control::mnuSaveSession, Control::cmdPlot,
                                          Control::mnuOpenFile,    Control::cmdZoomIn,
                                          Control::mnuSaveMatrix,  Control::cmdColourScheme};
    std::vector<bool> enabledBefore;
    for (Control c : watched) enabledBefore.push_back(window.IsEnabled(c));
    window.yesNoAnswers.push_back(true);
    form.OnClick(Control::mnuRerun);

    // MUSCLE hangs; the user presses Cancel while the first pair runs.
    int started = 0;
    action = [&](const std::string&, const std::string&) {
        EXPECT_TRUE(window.IsVisible(Control::cmdCancel));
        if (++started == 1) form.OnClick(Control::cmdCancel);
        return ShellOutcome{ShellOutcome::Status::Running, 0, -1, {}};
    };
    shell.finish = FakeShell::Finish::InStartOrder;
    RunWith(Control::oMuscle, false);
    EXPECT_GE(started, 1);
    EXPECT_EQ(shell.endedEarly.size(), shell.processIds.size());  // every aligner ended
    EXPECT_EQ(state.SequenceList, onDisplay);
    EXPECT_EQ(state.IdentityMatrix, matrix);
    EXPECT_FALSE(form.next.has_value());  // given up: a rerun is asked for again
    EXPECT_EQ(window.Caption(Control::lblProgress), "Cancelled");
    EXPECT_FALSE(window.IsVisible(Control::cmdCancel));
    for (std::size_t k = 0; k < watched.size(); ++k)
        EXPECT_EQ(window.IsEnabled(watched[k]), enabledBefore[k]) << ControlName(watched[k]);
    EXPECT_TRUE(window.IsEnabled(Control::mnuRerun));
    EXPECT_FALSE(RunFoldersLeft());
    EXPECT_EQ(shown.windowState, WindowState::Analysis);
    EXPECT_EQ(window.Caption(Control::frmMainForm), caption);
}

}  // namespace
}  // namespace kvr
