// The four text exports and the work folder's plot data: formats, suffixes, progress, cancelled
// dialogs, failed writes, and "." as the decimal mark under a comma locale.
#include "ui/text_export_handlers.h"

#include <gtest/gtest.h>

#include <sstream>

#include "io/file_io.h"
#include "io/score_table.h"
#include "pipeline/binning.h"
#include "support/comma_locale.h"
#include "support/display_fixture.h"
#include "support/file_size_limit.h"

namespace kvr {
namespace {

using testing::MakeAnalysis;
using testing::TempFolder;

class TextExportsTest : public testing::DisplayTest {
  protected:
    TempFolder chosen;
    void SetUp() override { state.choices.lastFolder = program.Path(); }
    // Chooses name in the save dialog and clicks the menu entry.
    void Export(Control menu, const std::string& name) {
        window.dialogAnswers.push_back(chosen.File(name));
        form.OnClick(menu);
    }
    std::string Written(const std::string& name) {
        return ReadWholeFile(chosen.File(name)).value_or("<none>");
    }
};

TEST_F(TextExportsTest, TwoSequencesAtOneHalf) {
    state = MakeAnalysis(
        2, [](int, int) { return 0.5f; },
        [](int i) { return i == 0 ? std::string(">a") : std::string(">b"); });
    state.choices.lastFolder = program.Path();
    Export(Control::mnuColumn, "run1.csv");  // a text extension typed is kept
    EXPECT_EQ(Written("run1_col.csv"),
              "First Sequence,Second Sequence,Identity Score\r\n>a,>b,0.5\r\n");
    Export(Control::mnuMat, "run1");
    EXPECT_EQ(Written("run1_mat.txt"), ">a,100.0\r\n>b,50.0,100.0\r\n\r\n");
    Export(Control::mnu_Save_All, "all");
    EXPECT_EQ(Written("all.fas"), ">a\r\nACGT\r\n>b\r\nACGT\r\n");
    EXPECT_EQ(state.choices.lastFolder, chosen.Path());
    EXPECT_EQ(Status(), (std::vector<std::string>{"Saving scores ...", "Done", "Saving scores ...",
                                                  "Done", "Saving all the sequences ...", "Done"}));
    EXPECT_EQ(window.Value(Control::ProgressBar1), 0);
    EXPECT_FALSE(window.busy);
}

TEST_F(TextExportsTest, PlotDataOfThreeSequences) {
    state = MakeAnalysis(3, [](int i, int) { return i == 0 ? 0.73f : 0.9f; });
    state.choices.lastFolder = program.Path();
    BinIdentities(state, window.progress);
    Export(Control::mnuPlotData, "three");
    const std::string text = Written("three_plt.txt");
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "Percentage pairwise identity , Number of Identities from3 pairwise identity, "
              "Propotion");
    EXPECT_NE(text.find("\r\n73,2, .6666667 \r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n90,1, .3333333 \r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n1,0, 0 \r\n"), std::string::npos);  // an empty bin
    EXPECT_TRUE(text.ends_with("\r\n100,0, 0 \r\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 101);

    ASSERT_TRUE(WriteWorkPlotData(state, window, Work()));
    const std::string work = *ReadWholeFile(JoinPath(Work(), kWorkPlotDataName));
    EXPECT_TRUE(
        work.starts_with("Percentage pairwise identity , Number of identity from3 pairwise"));
    EXPECT_EQ(work.substr(work.find("\r\n")), text.substr(text.find("\r\n")));
}

TEST_F(TextExportsTest, ProgressCountsThePairsAndTheCells) {
    Load(20);
    state.choices.lastFolder = program.Path();
    Export(Control::mnuColumn, "p");
    const auto& bar = window.valueHistory[Control::ProgressBar1];
    ASSERT_GE(bar.size(), 3u);
    EXPECT_EQ(bar.front(), 0);
    EXPECT_EQ(bar[bar.size() - 2], 99);  // floor(189 / 190 x 100) before the last pair
    EXPECT_EQ(bar.back(), 0);
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end() - 1));
}

// More sequences than the writer gathers at once: every line carries its own pair's identity,
// in the order of the pairs.
TEST(ScoreColumns, EveryLineCarriesItsPairsIdentity) {
    for (const int n : {1, 2, 63, 64, 65, 150}) {
        RecordTable records;
        IdentityTable identity(n, 1.0f);
        for (int a = 0; a < n; ++a) {
            records.push_back({">s" + std::to_string(a), "ACGT"});
            for (int b = 0; b < a; ++b) identity(a, b) = static_cast<float>(b * 1000 + a) / 1e6f;
        }
        std::string expected(kScoreColumnHeader);
        expected += kLineEnd;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                expected += ScoreColumnLine(records[i].name, records[j].name, identity(i, j));
        EXPECT_EQ(FormatScoreColumns(records, identity, n), expected) << n;
    }
}

TEST_F(TextExportsTest, CancelledDialogsWriteNothing) {
    Load(4);
    state.choices.lastFolder = program.Path();
    for (Control menu :
         {Control::mnuColumn, Control::mnuMat, Control::mnuPlotData, Control::mnu_Save_All})
        form.OnClick(menu);  // no answer: cancelled
    EXPECT_EQ(state.choices.lastFolder, program.Path());
    EXPECT_TRUE(Status().empty());
    EXPECT_TRUE(std::filesystem::is_empty(chosen.Path()));
}

TEST_F(TextExportsTest, AFailedWriteKeepsTheOldFile) {
    Load(30);
    state.choices.lastFolder = program.Path();
    const std::string old = chosen.Write("keep_col.txt", "old content\r\n");
    {
        testing::FileSizeLimit limit(64);
        Export(Control::mnuColumn, "keep");
    }
    EXPECT_EQ(Written("keep_col.txt"), "old content\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(chosen.Path()),
                            std::filesystem::directory_iterator()),
              1);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].find(old), std::string::npos);
    EXPECT_EQ(window.Caption(Control::lblProgress), "Failed");
    EXPECT_EQ(state.choices.lastFolder, program.Path());
    EXPECT_FALSE(window.busy);
}

TEST_F(TextExportsTest, NumbersKeepTheirPointUnderACommaLocale) {
    testing::CommaLocale locale;
    ASSERT_TRUE(locale.Active()) << "de_DE.UTF-8 is missing: run scripts/bootstrap";
    state = MakeAnalysis(3, [](int i, int) { return i == 0 ? 0.9512345f : 8.333334E-08f; });
    state.choices.lastFolder = program.Path();
    BinIdentities(state, window.progress);
    Export(Control::mnuColumn, "c");
    Export(Control::mnuMat, "c");
    Export(Control::mnuPlotData, "c");
    EXPECT_NE(Written("c_col.txt").find(",0.9512345\r\n"), std::string::npos);
    EXPECT_NE(Written("c_col.txt").find(",8.333334E-08\r\n"), std::string::npos);
    EXPECT_NE(Written("c_mat.txt").find(",95.1,100.0\r\n"), std::string::npos);
    EXPECT_NE(Written("c_plt.txt").find("\r\n95,2, .6666667 \r\n"), std::string::npos);
    // The comma stays the only field separator: every line has its count of commas.
    const auto commas = [](const std::string& line) {
        return std::count(line.begin(), line.end(), ',');
    };
    std::istringstream col(Written("c_col.txt")), mat(Written("c_mat.txt")),
        plt(Written("c_plt.txt"));
    std::string line;
    while (std::getline(col, line)) EXPECT_EQ(commas(line), 2) << line;
    for (int i = 0; std::getline(mat, line) && i < 3; ++i) EXPECT_EQ(commas(line), i + 1) << line;
    std::getline(plt, line);
    while (std::getline(plt, line)) EXPECT_EQ(commas(line), 2) << line;
}

}  // namespace
}  // namespace kvr
