#include "pipeline/pair_identity.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::TempFolder;

TEST(PairIdentity, ScoresConstructedPairs) {
    struct Case {
        const char* text;
        float expected;
    };
    const Case cases[] = {
        {">a\nACGT\n>b\nACGT\n", 1.0f},
        {">a\nAC-GT\n>b\nACTGT\n", 1.0f},  // gap columns never lower the identity
        {">a\nACGT\n>b\nACGA\n", 0.75f},
        {">a\nAC-T\n>b\nAG-T\n", static_cast<float>(1.0 - 1.0 / 3.0)},
        {">a\nacgt\n>b\nACGT\n", 0.0f},             // case-sensitive
        {">a\r\nACGA\r\n>b\r\nACGT\r\n", 0.75f},    // CR LF like LF
        {">a\nAC\nGA\n>b\nAC\nGT\n", 0.75f},        // wrapped lines joined
        {">a\nACGA\n>b\nACGT\n>c\nTTTT\n", 0.75f},  // third record ignored
        {">a>b\nACGT\n>c\nTTTT\n", 1.0f},           // ">" in a name: record 2 repeats record 1
        {">a\nNNGT\n>b\nNAGT\n", 0.75f},            // N matches only N
    };
    for (const Case& c : cases) {
        const Result<float> score = PairIdentityOfText(c.text);
        ASSERT_TRUE(score.Ok()) << c.text << ": " << score.problem().message;
        EXPECT_EQ(score.value(), c.expected) << c.text;
    }
}

// --ambiguous skip compares only the columns in which neither symbol is an ambiguity code (either
// case, X too; U is a base); count, the default, keeps every gap-free column.
TEST(PairIdentity, SkippingAmbiguityCodesComparesTheKnownBases) {
    struct Case {
        const char* text;
        ComparedColumns count;
        ComparedColumns skip;
    };
    const Case cases[] = {
        {">a\nACGTNNNN\n>b\nACGAACGT\n", {8, 3}, {4, 3}},
        {">a\nACGTnnnn\n>b\nACGTNNNN\n", {8, 4}, {4, 4}},  // N against n is no match either
        {">a\nAC-TRYKM\n>b\nACGTSWBD\n", {7, 3}, {3, 3}},  // gap columns count neither way
        {">a\nACGTHVX\n>b\nACGThvx\n", {7, 4}, {4, 4}},
        {">a\nACGU\n>b\nACGT\n", {4, 3}, {4, 3}},  // U is a base, compared as written
        {">a\nacgt\n>b\nACGT\n", {4, 0}, {4, 0}},  // case still counts
        {">a\nACGT\n>b\nACGT\n", {4, 4}, {4, 4}},
    };
    for (const Case& c : cases) {
        ColumnCounts counts;
        ASSERT_TRUE(PairIdentityOfText(c.text, &counts).Ok()) << c.text;
        const ComparedColumns count = Compared(counts, AmbiguityRule::Count);
        const ComparedColumns skip = Compared(counts, AmbiguityRule::Skip);
        EXPECT_EQ(count.columns, c.count.columns) << c.text;
        EXPECT_EQ(count.matches, c.count.matches) << c.text;
        EXPECT_EQ(skip.columns, c.skip.columns) << c.text;
        EXPECT_EQ(skip.matches, c.skip.matches) << c.text;
        for (const AmbiguityRule rule : {AmbiguityRule::Count, AmbiguityRule::Skip}) {
            const ComparedColumns used = rule == AmbiguityRule::Count ? c.count : c.skip;
            const Result<float> score = PairIdentityOfText(c.text, nullptr, rule);
            ASSERT_TRUE(score.Ok()) << c.text;
            EXPECT_EQ(score.value(),
                      IdentityOfCounts(used.columns, used.columns - used.matches).value())
                << c.text;
        }
    }
    // Count is the default and keeps the identity as it was: N is a mismatch.
    EXPECT_EQ(PairIdentityOfText(">a\nACGTNNNN\n>b\nACGAACGT\n").value(), 0.375f);
    EXPECT_EQ(
        PairIdentityOfText(">a\nACGTNNNN\n>b\nACGAACGT\n", nullptr, AmbiguityRule::Skip).value(),
        0.75f);

    // No column left to compare: 0 under skip, no identity under count.
    const char* unknown = ">a\nNNNN-\n>b\nACGTA\n";
    const Result<float> skipped = PairIdentityOfText(unknown, nullptr, AmbiguityRule::Skip);
    ASSERT_TRUE(skipped.Ok());
    EXPECT_EQ(skipped.value(), 0.0f);
    EXPECT_EQ(PairIdentityOfText(unknown).value(), 0.0f);  // four mismatches
    EXPECT_FALSE(PairIdentityOfText(">a\n--\n>b\nAC\n", nullptr, AmbiguityRule::Count).Ok());
    EXPECT_TRUE(PairIdentityOfText(">a\n--\n>b\nAC\n", nullptr, AmbiguityRule::Skip).Ok());
}

TEST(PairIdentity, ScoresRealAlignerOutput) {
    struct Case {
        const char* file;
        double mismatches;
        double compared;
    };
    const Case cases[] = {
        {"aligned/muscle_5s_pair.fas", 45, 121 - 9},
        {"aligned/mafft_5s_pair.fas", 44, 121 - 9},
        {"aligned/clustalw_its1_pair.fas", 3, 223 - 16},
    };
    for (const Case& c : cases) {
        const Result<float> score = PairIdentity(DataFile(c.file));
        ASSERT_TRUE(score.Ok()) << c.file << ": " << score.problem().message;
        EXPECT_EQ(score.value(), static_cast<float>(1.0 - c.mismatches / c.compared)) << c.file;
    }
}

TEST(PairIdentity, UnscorablePairsNameTheReason) {
    struct Case {
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {">a\nACGT\n", "fewer than two sequences"},
        {"ACGT\nACGT\n", "fewer than two sequences"},
        {">a\nACGT\n>b", "no line feed"},
        {">a\nACGT\n>b\n", "empty"},
        {">a\n--GT\n>b\nAC--\n", "no column free of gaps"},
        {">a\nACGT\n>b\nACG\n", "differ in length"},
    };
    for (const Case& c : cases) {
        const Result<float> score = PairIdentityOfText(c.text);
        EXPECT_FALSE(score.Ok()) << c.text;
        EXPECT_NE(score.problem().message.find(c.reason), std::string::npos)
            << c.text << " -> " << score.problem().message;
    }
    TempFolder folder;
    const Result<float> missing = PairIdentity(folder.File("3_7Aln.fas"));
    EXPECT_FALSE(missing.Ok());
    EXPECT_NE(missing.problem().message.find("3_7Aln.fas is missing"), std::string::npos);
    const Result<float> empty = PairIdentity(folder.Write("empty.fas", ""));
    EXPECT_NE(empty.problem().message.find("is empty"), std::string::npos);
}

// An aligner's output is used only when it aligns the pair it was given.
TEST(CheckAlignedPair, TheOutputMustHoldTheGivenResidues) {
    const std::string given = ">s1\r\nACGUACGT\r\n>s2\r\nACGTTACGT\r\n";
    struct Case {
        const char* aligned;
        bool usable;
    };
    const Case cases[] = {
        {">s1\nACGUACGT-\n>s2\nACGTTACGT\n", true},
        {">s2\nACGTTACGT\n>s1\n-ACGUACGT\n", true},             // the records swapped
        {">s1\nacgtacgt-\n>s2\nacgt-tacgt\n", true},            // lower case, T for U
        {">s1\nACGNACGT-\n>s2\nACGTTACGX\n", true},             // unknown symbols masked
        {">s1\nACGTACGA-\n>s2\nACGTTACGT\n", false},            // a residue changed
        {">s1\nACGUACG--\n>s2\nACGTTACGT\n", false},            // a residue lost
        {">a\nAAAAAAAAA\n>b\nAAAAAAAAA\n", false},              // a fixed alignment
        {">s1\nACGUACGT-\n>s2\nACGTTACGTA\n>s3\nAC\n", false},  // one too many
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckAlignedPair(c.aligned, given).Ok(), c.usable) << c.aligned;
    EXPECT_NE(
        CheckAlignedPair(">a\nAAAA\n>b\nAAAA\n", given)
            .problem()
            .message.find("does not hold the residues of the pair it was given (4 and 4 residues "
                          "for sequences of 8 and 9)"),
        std::string::npos);
}

}  // namespace
}  // namespace kvr
