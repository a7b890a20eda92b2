// Finding and selecting on the matrix view, and copying the selected cell: what is marked, said
// and copied agrees with the pair table for pipelines.
#include "ui/matrix_selection.h"

#include <gtest/gtest.h>

#include <sstream>

#include "io/number_text.h"
#include "pipeline/pair_table.h"
#include "support/window_fixture.h"

namespace kvr {
namespace {

class MatrixSelectionTest : public testing::WindowTest {
  protected:
    void SetUp() override {
        Open(data.Write("four.fasta", testing::kFourSequences));
        Run();  // shown in file order: a1, c1, a2, c2
    }
    void Find(const std::string& text) {
        window.textAnswers.push_back(text);
        form.OnClick(Control::mnuFind);
    }
    // The middle of a cell of the view's drawing.
    void ClickCell(int column, int row) {
        const CellGrid& grid = shown.drawnCells;
        form.OnPointerMoved(grid.left + (column + 0.5) * grid.cellWidth,
                            (row + 0.5) * grid.cellHeight);
        form.OnMouseDown(Control::ZoomingPicture, false);
    }
    // The first three fields of the pair table's row that starts with these names.
    std::string TableRow(const std::string& first, const std::string& second) const {
        std::ostringstream table;
        EXPECT_TRUE(
            WritePairTable(table, state.SequenceList, state.IdentityMatrix, state.seqCount));
        std::istringstream lines(table.str());
        for (std::string line; std::getline(lines, line);)
            if (line.starts_with(first + "\t" + second + "\t")) {
                std::size_t end = 0;
                for (int field = 0; field < 3; ++field) end = line.find('\t', end) + 1;
                return line.substr(0, end - 1);
            }
        return "<no row>";
    }
};

TEST_F(MatrixSelectionTest, FindSelectsByPartOfANameCaseApartAndGoesOnToTheNext) {
    Find("C");
    EXPECT_EQ(window.textQuestions.back(), "Find a sequence by part of its name: []");
    EXPECT_EQ(shown.selectedRow, 1);
    EXPECT_EQ(shown.selectedColumn, 1);
    EXPECT_EQ(window.Caption(Control::lblProgress), "Found c1 (sequence 2 of 4)");
    // Its row from the name to the diagonal, its column from the diagonal to the turned name.
    const CellGrid& grid = shown.drawnCells;
    const int A = grid.cellWidth, B = grid.cellHeight, left = static_cast<int>(grid.left);
    EXPECT_EQ(window.viewMarks,
              (std::vector<SurfaceBox>{{0, B, left + 2 * A, 2 * B},
                                       {left + A, B, left + 2 * A, 4 * B + left}}));

    Find("c");  // the next one, and the question starts from the last text
    EXPECT_EQ(window.textQuestions.back(), "Find a sequence by part of its name: [C]");
    EXPECT_EQ(shown.selectedRow, 3);
    Find("c");  // round to the first again
    EXPECT_EQ(shown.selectedRow, 1);

    Find("zz");
    EXPECT_EQ(window.Caption(Control::lblProgress), "No sequence name holds \"zz\"");
    EXPECT_EQ(shown.selectedRow, 1) << "the selection stays";
    form.OnClick(Control::mnuFind);  // cancelled: nothing changes
    EXPECT_EQ(shown.selectedRow, 1);
    EXPECT_TRUE(window.messages.empty()) << "no message box on the way";
}

TEST_F(MatrixSelectionTest, AClickSelectsACellAndCopyGivesItsPairTableFields) {
    ClickCell(0, 2);  // a1 against a2
    EXPECT_EQ(shown.selectedColumn, 0);
    EXPECT_EQ(shown.selectedRow, 2);
    // The status and the tip say the table's percent.
    const std::string percent = PercentText(state.IdentityMatrix(2, 0));
    EXPECT_EQ(window.Caption(Control::lblProgress), "a1 / a2: " + percent + " % (row 3, column 1)");
    EXPECT_EQ(window.ToolTip(Control::ZoomingPicture), window.Caption(Control::lblProgress));

    form.OnClick(Control::mnuCopyCell);
    EXPECT_EQ(window.clipboard, "text:" + TableRow("a1", "a2"));
    EXPECT_EQ(window.clipboard, "text:a1\ta2\t" + PlainSingle(state.IdentityMatrix(2, 0)));

    // Above the diagonal: no cell, the selection stays.
    ClickCell(3, 1);
    EXPECT_EQ(shown.selectedRow, 2);

    // A zoom marks the selection again where its cells now are.
    form.OnPointerMoved(-1, -1);
    form.OnClick(Control::cmdZoomIn);
    const CellGrid& grid = shown.drawnCells;
    ASSERT_EQ(window.viewMarks.size(), 2u);
    EXPECT_EQ(window.viewMarks[0].top, 2 * grid.cellHeight);
    EXPECT_EQ(window.viewMarks[1].left, static_cast<int>(grid.left));
}

TEST_F(MatrixSelectionTest, CopyWithoutASelectionSaysHowToMakeOne) {
    form.OnClick(Control::mnuCopyCell);
    EXPECT_EQ(window.clipboard, "");
    EXPECT_EQ(window.Caption(Control::lblProgress), "Click a cell to select it, then copy it");
}

TEST(FindSequence, PartOfANameCaseApartFromTheOneAfter) {
    RunState state;
    for (const char* name : {">Orchis mascula", ">Ophrys apifera", ">orchis militaris"})
        state.SequenceList.push_back(Record{name, "ACGT"});
    EXPECT_EQ(FindSequence(state, "ORCHIS", -1), 0);
    EXPECT_EQ(FindSequence(state, "ORCHIS", 0), 2);
    EXPECT_EQ(FindSequence(state, "ORCHIS", 2), 0);  // round again
    EXPECT_EQ(FindSequence(state, "apif", 1), 1);    // itself, when it is the only one
    EXPECT_EQ(FindSequence(state, ">", -1), std::nullopt) << "the marker is not part of a name";
    EXPECT_EQ(FindSequence(state, "", -1), std::nullopt);
}

}  // namespace
}  // namespace kvr
