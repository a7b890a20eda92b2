// The alignment behind a cell: a double-click (or Enter) on a cell of the matrix on display opens a
// viewer of its pair's alignment, made with the analysis's aligner and giving its identity; from a
// session too; nothing off the cells or without a matrix; the viewer saves the pair as FASTA.
#include <gtest/gtest.h>

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/session_file.h"
#include "pipeline/engine_fixture.h"
#include "pipeline/pair_identity.h"
#include "support/window_fixture.h"

namespace kvr {
namespace {

class AlignmentViewerTest : public testing::WindowTest {
  protected:
    // Opens the cell of the display-order row and column, at its middle.
    void OpenCell(int row, int column) {
        const CellGrid& grid = shown.drawnCells;
        form.OnCellOpened(grid.left + grid.cellWidth * (column + 0.5),
                          grid.cellHeight * (row + 0.5));
    }
    // The identity line of the viewer's heading.
    static std::string IdentityLine(const AlignmentView& view) {
        const auto at = view.heading.find("identity: ");
        return at == std::string::npos ? ""
                                       : view.heading.substr(at, view.heading.find('\n', at) - at);
    }
};

TEST_F(AlignmentViewerTest, ACellShowsTheAlignmentBehindItsIdentity) {
    Open(data.Write("four.fasta", testing::kFourSequences));
    Run();
    ASSERT_TRUE(shown.ShowsAnalysis());
    const int n = state.seqCount;
    for (int row = 1; row < n; ++row) {
        for (int column = 0; column < row; ++column) {
            OpenCell(row, column);
            ASSERT_EQ(window.alignments.size(), 1u);
            const AlignmentView& view = window.alignments.back();
            const Record& a = state.SequenceList[static_cast<std::size_t>(row)];
            const Record& b = state.SequenceList[static_cast<std::size_t>(column)];
            EXPECT_EQ(view.title, a.name.substr(1) + " / " + b.name.substr(1) + " - alignment");
            EXPECT_EQ(IdentityLine(view),
                      "identity: " + PlainSingle(state.IdentityMatrix(row, column)) + " (" +
                          FormatDecimals(100.0 * state.IdentityMatrix(row, column), 2) + " %)");
            EXPECT_NE(view.heading.find("aligned by built-in aligner"), std::string::npos);
            EXPECT_EQ(view.heading.find("the matrix shows"), std::string::npos);
            ASSERT_EQ(view.blocks.size(), 1u);  // 31 residues: one block
            EXPECT_EQ(view.blocks[0].first.substr(0, 2), a.name.substr(1));
            EXPECT_NE(view.text.find(view.blocks[0].match), std::string::npos);
            window.alignments.clear();
        }
    }
    EXPECT_EQ(window.messages, std::vector<std::string>{});
    EXPECT_TRUE(shown.ShowsAnalysis());  // the main window's state is untouched
}

TEST_F(AlignmentViewerTest, AnExternalAlignerAlignsThePairAsTheRunDid) {
    // Sequences of equal length: the pair file is its own alignment.
    action = [](const std::string& command, const std::string& folder) {
        return testing::CopyAligner(command, folder);
    };
    Open(data.Write("four.fasta", testing::kFourSequences));
    window.SetChecked(Control::oBuiltin, false);
    window.SetChecked(Control::oMuscle, true);
    window.SetChecked(Control::chkOptions, false);
    form.OnClick(Control::CmdRun);
    ASSERT_TRUE(shown.ShowsAnalysis());
    ASSERT_EQ(state.choices.AlignerKind, Aligner::Muscle);
    const std::size_t started = shell.commands.size();
    OpenCell(3, 1);  // >c2 and >c1
    ASSERT_EQ(shell.commands.size(), started + 1);
    EXPECT_EQ(testing::PairOf(shell.commands.back()), std::make_pair(2, 4));  // as the run named it
    ASSERT_EQ(window.alignments.size(), 1u);
    const AlignmentView& view = window.alignments.front();
    EXPECT_NE(view.heading.find("aligned by MUSCLE"), std::string::npos);
    EXPECT_EQ(IdentityLine(view).substr(0, 10 + PlainSingle(state.IdentityMatrix(3, 1)).size()),
              "identity: " + PlainSingle(state.IdentityMatrix(3, 1)));
    EXPECT_EQ(view.blocks[0].first.substr(0, 2), "c2");
}

TEST_F(AlignmentViewerTest, NothingOpensOffTheCellsOrWithoutAMatrix) {
    const std::string file = data.Write("four.fasta", testing::kFourSequences);
    OpenCell(1, 0);  // idle: nothing on display
    Open(file);
    OpenCell(1, 0);  // awaiting the run
    Run();
    OpenCell(2, 2);  // the diagonal
    OpenCell(0, 3);  // the empty upper half
    OpenCell(9, 0);  // below the cells
    form.OnCellOpened(-1, -1);
    EXPECT_TRUE(window.alignments.empty());
    form.OnClick(Control::cmdPlot);  // the plot on display
    OpenCell(1, 0);
    EXPECT_TRUE(window.alignments.empty());
    form.OnClick(Control::cmdDrawMat);
    OpenCell(1, 0);
    EXPECT_EQ(window.alignments.size(), 1u);
}

TEST_F(AlignmentViewerTest, ASessionAlignsItsOwnSequencesAndSaysWhenTheMatrixDiffers) {
    RunState saved;
    saved.SequenceList = {{">a1", "ACGTACGTTAGCATCGATCGGATCGATTACG"},
                          {">a2", "ACGTACGTTAGCATCGTTCGGATCGATTACG"},
                          {">c1", "TTGACCGATCGATCGGGCTAGCTAGCTTTAA"}};
    IdentityTable identity(3);
    for (int k = 0; k < 3; ++k) identity(k, k) = 1;
    identity(1, 0) = identity(0, 1) = 30.0f / 31.0f;  // what the built-in aligner finds
    identity(2, 0) = identity(0, 2) = 0.5f;           // as if aligned otherwise
    identity(2, 1) = identity(1, 2) = 0.5f;
    Open(data.Write("s.kvr", FormatSession(saved.SequenceList, identity, 3)));
    ASSERT_TRUE(shown.ShowsAnalysis());
    OpenCell(1, 0);
    OpenCell(2, 0);
    ASSERT_EQ(window.alignments.size(), 2u);
    EXPECT_EQ(window.alignments[0].heading.find("the matrix shows"), std::string::npos);
    EXPECT_NE(window.alignments[1].heading.find(
                  "the matrix shows 50.00 %: its analysis aligned this pair otherwise"),
              std::string::npos);
}

TEST_F(AlignmentViewerTest, TheViewerSavesThePairAsFastaThatScoresTheSame) {
    Open(data.Write("four.fasta", testing::kFourSequences));
    Run();
    OpenCell(3, 1);
    ASSERT_EQ(window.alignments.size(), 1u);
    const AlignmentView view = window.alignments.front();
    ASSERT_TRUE(view.save);
    window.dialogAnswers.push_back(data.File("pair"));
    view.save();
    const auto saved = ReadWholeFile(data.File("pair.fas"));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->substr(0, 1 + state.SequenceList[3].name.size()),
              state.SequenceList[3].name + "\r");
    const Result<float> score = PairIdentityOfText(*saved);
    ASSERT_TRUE(score.Ok());
    EXPECT_EQ(score.value(), state.IdentityMatrix(3, 1));
    EXPECT_EQ(window.saveFilters.back(), "FASTA files (*.fas);;All files (*)");
    // The dialog started in the input file's folder, offering a name made from it.
    EXPECT_EQ(window.dialogFolders.back(), data.File("four.fas"));
    // A FASTA extension the user typed stays as typed.
    window.dialogAnswers.push_back(data.File("typed.fasta"));
    view.save();
    EXPECT_TRUE(ReadWholeFile(data.File("typed.fasta")).has_value());
    EXPECT_FALSE(ReadWholeFile(data.File("typed.fasta.fas")).has_value());
    // A dialog cancelled writes nothing, and nothing is said.
    view.save();
    EXPECT_EQ(window.messages, std::vector<std::string>{});
}

}  // namespace
}  // namespace kvr
