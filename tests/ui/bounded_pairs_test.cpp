// A window run under a memory budget too small for the band of unrelated genomes: the status line
// counts the pairs aligned in a bounded band, the hover read-out and the alignment viewer mark
// those pairs and no other, and the marks survive an append and a saved session.
#include <gtest/gtest.h>

#include <functional>

#include "io/file_io.h"
#include "support/bounded_genomes.h"
#include "support/window_fixture.h"

namespace kvr {
namespace {

using testing::RandomGenome;
using testing::RelatedGenome;

constexpr const char* kBoundedMark = "bounded band: see docs/builtin_aligner.md";

class BoundedPairsTest : public testing::WindowTest {
  protected:
    // a and b related, u unrelated to them: shown in this order (no tree).
    BoundedPairsTest() {
        const std::string a = RandomGenome(78);
        fileA = data.Write("a.fasta", ">a\n" + a + "\n>b\n" + RelatedGenome(a, 7) + "\n>u\n" +
                                          RandomGenome(79) + "\n");
        fileC = data.Write("c.fasta", ">c\n" + RelatedGenome(a, 11) + "\n");
        form.pairMemoryMegabytes = testing::kBoundingMegabytes;
    }
    // The middle of the cell of the display-order row and column.
    std::pair<double, double> Middle(int row, int column) const {
        const CellGrid& grid = shown.drawnCells;
        return {grid.left + (column + 0.5) * grid.cellWidth, (row + 0.5) * grid.cellHeight};
    }
    std::string Hover(int row, int column) {
        const auto [x, y] = Middle(row, column);
        form.OnPointerMoved(x, y);
        return window.ToolTip(Control::ZoomingPicture);
    }
    std::string ViewerHeading(int row, int column) {
        const auto [x, y] = Middle(row, column);
        window.alignments.clear();
        form.OnCellOpened(x, y);
        return window.alignments.empty() ? "(no viewer)" : window.alignments.back().heading;
    }
    // Each cell of the lower triangle (the cells drawn): marked exactly when bounded(row, column).
    void ExpectMarks(const std::function<bool(int, int)>& bounded) {
        for (int row = 0; row < state.seqCount; ++row)
            for (int column = 0; column <= row; ++column) {
                const std::string hover = Hover(row, column);
                ASSERT_FALSE(hover.empty()) << row << "," << column;
                EXPECT_EQ(hover.ends_with(std::string(" (") + kBoundedMark + ")"),
                          bounded(row, column))
                    << hover;
                EXPECT_EQ(hover.find("bounded") != std::string::npos, bounded(row, column));
            }
    }
    // The viewer's line that names the aligner.
    std::string AlignedByLine(int row, int column) {
        const std::string heading = ViewerHeading(row, column);
        const auto at = heading.find("aligned by ");
        return at == std::string::npos ? heading : heading.substr(at, heading.find('\n', at) - at);
    }
    std::string fileA, fileC;
};

TEST_F(BoundedPairsTest, TheRunCountsThemAndEachViewMarksThemAlone) {
    Open(fileA);
    Run();
    ASSERT_TRUE(shown.ShowsAnalysis());
    EXPECT_EQ(window.Caption(Control::lblProgress),
              "2 of 3 pairs were aligned in a bounded band: see docs/builtin_aligner.md");
    const auto withU = [](int row, int column) {
        return row != column && (row == 2 || column == 2);
    };
    ExpectMarks(withU);
    EXPECT_EQ(AlignedByLine(2, 0), "aligned by built-in aligner (MUSCLE 5 pair method) in a " +
                                       std::string(kBoundedMark));
    EXPECT_EQ(AlignedByLine(1, 0), "aligned by built-in aligner (MUSCLE 5 pair method)");

    // Saved and opened again: the same marks, from the session's own line.
    window.dialogAnswers.push_back(data.File("s.kvr"));
    form.OnClick(Control::mnuSaveSession);
    const auto saved = ReadWholeFile(data.File("s.kvr"));
    ASSERT_TRUE(saved);
    EXPECT_NE(saved->find("\r\n#bounded-pairs\t3: 1-3 2-3\r\n"), std::string::npos);
    Open(data.File("s.kvr"));
    ASSERT_TRUE(shown.ShowsAnalysis());
    ExpectMarks(withU);

    // An append keeps the old pairs' marks and adds those of its own: c is like a.
    Append(fileC);
    Run();
    ASSERT_EQ(state.seqCount, 4);
    EXPECT_EQ(window.Caption(Control::lblProgress),
              "3 of 6 pairs were aligned in a bounded band: see docs/builtin_aligner.md");
    ExpectMarks(withU);
}

TEST_F(BoundedPairsTest, AWholeRunMarksNothing) {
    form.pairMemoryMegabytes = kPairMemoryMegabytes;
    Open(fileA);
    Run();
    ASSERT_TRUE(shown.ShowsAnalysis());
    EXPECT_EQ(window.Caption(Control::lblProgress).find("bounded"), std::string::npos);
    ExpectMarks([](int, int) { return false; });
    EXPECT_EQ(AlignedByLine(2, 0), "aligned by built-in aligner (MUSCLE 5 pair method)");
}

}  // namespace
}  // namespace kvr
