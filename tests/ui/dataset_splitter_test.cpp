// The dataset splitter: the grouping rule, the window's validation and messages, the files.
#include "io/dataset_splitter.h"

#include <gtest/gtest.h>

#include "io/file_io.h"
#include "support/comma_locale.h"
#include "support/display_fixture.h"

namespace kvr {
namespace {

using testing::MakeAnalysis;
using testing::TempFolder;

// Sequence 0 is 96 % like 1 and 2 and 80 % like the rest; 3, 4, 5 are 97 % alike.
float TwoFamilies(int i, int j) {
    if (i == 0) return j <= 2 ? 0.96f : 0.80f;
    if (i >= 3 && j >= 3) return 0.97f;
    return 0.5f;
}

TEST(GroupByIdentityRange, DecidesAgainstTheSeedOnly) {
    const RunState six = MakeAnalysis(6, TwoFamilies);
    const IdentityGroups groups = GroupByIdentityRange(six.IdentityMatrix, 6, 95, 100);
    EXPECT_EQ(groups.groupOf, (std::vector<int>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(groups.sizes, (std::vector<int>{3, 3}));

    // 0.9499999 is 94 %, not 95 %: the 32-bit value times 100, rounded down.
    const RunState pair = MakeAnalysis(2, [](int, int) { return 0.9499999f; });
    EXPECT_EQ(GroupByIdentityRange(pair.IdentityMatrix, 2, 95, 100).Count(), 2);
    EXPECT_EQ(GroupByIdentityRange(pair.IdentityMatrix, 2, 94, 94).Count(), 1);

    // 1 is like 0 and 2, but 2 is not like 0: 2 is taken by 0's group only if like 0.
    const RunState chain =
        MakeAnalysis(3, [](int i, int j) { return i == 0 && j == 2 ? 0.5f : 0.99f; });
    EXPECT_EQ(GroupByIdentityRange(chain.IdentityMatrix, 3, 95, 100).groupOf,
              (std::vector<int>{0, 0, 1}));
}

TEST(ReadWholePercent, RoundsDownAndTakesEitherDecimalMark) {
    EXPECT_EQ(ReadWholePercent("100.9"), 100);
    EXPECT_EQ(ReadWholePercent("-0.5"), -1);
    EXPECT_EQ(ReadWholePercent(" 85 "), 85);
    EXPECT_EQ(ReadWholePercent("abc"), std::nullopt);
    EXPECT_EQ(ReadWholePercent(""), std::nullopt);
    EXPECT_EQ(ReadWholePercent("9O"), std::nullopt);
    EXPECT_EQ(ReadWholePercent("1e999"), std::nullopt);
    testing::CommaLocale locale;
    ASSERT_TRUE(locale.Active());
    EXPECT_EQ(ReadWholePercent("90,7"), 90);
    EXPECT_EQ(ReadWholePercent("90.7"), 90);
}

class SplitterTest : public testing::DisplayTest {
  protected:
    TempFolder chosen;
    void SetUp() override {
        state = MakeAnalysis(6, TwoFamilies);
        state.choices.lastFolder = program.Path();
    }
    void Press(const std::string& maximum, const std::string& minimum) {
        form.OnClick(Control::mnuSaveSeqs);
        window.SetCaption(Control::txtMaxSeqIdentity, maximum);
        window.SetCaption(Control::txtMinSeqIdentity, minimum);
        form.OnClick(Control::cmdOk);
    }
};

TEST_F(SplitterTest, WritesTheGroupsOfThreeOrMore) {
    window.dialogAnswers.push_back(chosen.File("data"));
    Press("100", "95");
    EXPECT_FALSE(window.IsFormShown(Control::frmIdentityPrct));
    EXPECT_EQ(state.choices.splitMax, 100);
    EXPECT_EQ(state.choices.splitMin, 95);
    EXPECT_EQ(window.messages, (std::vector<std::string>{
                                   "Please choose the location to save the files, and choose a "
                                   "name for your datates"}));
    EXPECT_EQ(ReadWholeFile(chosen.File("data 1.fas")),
              ">seq_1\r\nACGT\r\n>seq_2\r\nACGT\r\n>seq_3\r\nACGT\r\n");
    EXPECT_TRUE(ReadWholeFile(chosen.File("data 2.fas")));
    EXPECT_EQ(Status(), (std::vector<std::string>{
                            "Creating datasets ...", " 2 files :" + chosen.File("data 1.fas"),
                            " 2 files :" + chosen.File("data 2.fas"), "Done"}));
    EXPECT_EQ(window.valueHistory[Control::ProgressBar1], (std::vector<int>{0, 50, 0}));
    EXPECT_EQ(state.choices.lastFolder, chosen.Path());
}

TEST_F(SplitterTest, AGroupOfTwoCountsButIsNotWritten) {
    state = MakeAnalysis(
        5, [](int i, int j) { return (i < 2 && j < 2) || (i >= 2 && j >= 2) ? 0.99f : 0.5f; });
    state.choices.lastFolder = program.Path();
    window.dialogAnswers.push_back(chosen.File("d"));
    Press("100", "95");
    EXPECT_FALSE(std::filesystem::exists(chosen.File("d 2.fas")));
    EXPECT_TRUE(std::filesystem::exists(chosen.File("d 1.fas")));
    EXPECT_EQ(Status()[1], " 2 files :" + chosen.File("d 1.fas"));
    EXPECT_EQ(window.valueHistory[Control::ProgressBar1], (std::vector<int>{50, 0}));
}

TEST_F(SplitterTest, ValidationMessagesKeepTheWindowOpen) {
    state.minIdentity = 0.8523;
    const struct {
        const char* maximum;
        const char* minimum;
        const char* message;
    } cases[] = {
        {"101", "50",
         "The maximum sequence identity cannot be more than 100, please chose a value "
         "less than  or equal to 100"},
        {"90", "-0.5",
         "The minimum sequence identity cannot be less than 0, please chose a value "
         "greater than or equal to 0"},
        {"90", "90",
         "The minimum sequence identity must be less and the maximum sequence "
         "identity. Conversely the maximum sequence identity should be greater than "
         "the minimum sequence identity."},
        {"85", "10",
         "The maximum identity your entered is less tham the minimum identity scores "
         "of the sequences. Please use a maximum identity greater than 85.23"},
    };
    for (const auto& c : cases) {
        window.messages.clear();
        Press(c.maximum, c.minimum);
        EXPECT_EQ(window.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(window.IsFormShown(Control::frmIdentityPrct));
        EXPECT_EQ(window.Caption(Control::txtMaxSeqIdentity), c.maximum);
    }
    EXPECT_EQ(state.choices.splitMax, 0);

    window.messages.clear();
    Press("ninety", "10");
    EXPECT_EQ(window.messages,
              std::vector<std::string>{"Please input the maximum and minimum sequence identity "
                                       "percentage values correctly (values should be numbers "
                                       "ranging from 0 to 100)!"});
    EXPECT_EQ(window.Caption(Control::txtMaxSeqIdentity), "");
    EXPECT_EQ(window.Caption(Control::txtMinSeqIdentity), "");
}

TEST_F(SplitterTest, CancellingTheDialogWritesNothing) {
    Press("100", "95");
    EXPECT_TRUE(std::filesystem::is_empty(chosen.Path()));
    EXPECT_EQ(state.choices.lastFolder, program.Path());
    EXPECT_TRUE(Status().empty());
}

}  // namespace
}  // namespace kvr
