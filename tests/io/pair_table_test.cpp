// The pair table for pipelines: its header, names and numbers, byte for byte.
#include "pipeline/pair_table.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kvr {
namespace {

TEST(PairTable, RowsHoldTheGivenNamesAndNineFields) {
    struct Case {
        Record first;
        Record second;
        float identity;
        std::string row;
    };
    const Case cases[] = {
        // The name as the file gave it wins over the cleaned one.
        {{">sp_P1_AB", "A", "sp|P1|A-B one (x)"},
         {">b", "A", "b"},
         0.9855072f,
         "sp|P1|A-B one (x)\tb\t0.9855072\t98.55072\t\t\t\t\t\t\n"},
        // A session knows only the cleaned name: without its ">".
        {{">a_1", "A"}, {">c", "A"}, 1.0f, "a_1\tc\t1\t100\t\t\t\t\t\t\n"},
        {{">a", "A"}, {">b", "A"}, 0.0f, "a\tb\t0\t0\t\t\t\t\t\t\n"},
        {{">a", "A"}, {">b", "A"}, 0.7f, "a\tb\t0.7\t70\t\t\t\t\t\t\n"},
        // Whatever a hand-made session holds, a row keeps its ten fields and its one line.
        {{">a\tb", "A"}, {">c\rd\ne", "A"}, 0.5f, "a b\tc d e\t0.5\t50\t\t\t\t\t\t\n"},
        // Only the first ">" is the name line's own.
        {{">>x", "A"}, {">y,z", "A"}, 0.25f, ">x\ty,z\t0.25\t25\t\t\t\t\t\t\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(PairTableRow(c.first, c.second, c.identity), c.row);
}

// The counts of an aligned pair: gap-free columns, matches, each sequence's share of them, and
// whether they are exact.
TEST(PairTable, RowsWithCountsHoldTheCoverageOfEachSequence) {
    struct Case {
        std::size_t firstLength;
        std::size_t secondLength;
        AlignedCounts counts;
        std::string tail;
    };
    const Case cases[] = {
        {10, 10, {10, 7, true, 10}, "\t10\t7\t1\t1\t1\t10\n"},
        // A fragment covers all of itself and a part of its partner.
        {50, 200, {50, 50, true, 50}, "\t50\t50\t1\t0.25\t1\t50\n"},
        {207, 209, {207, 205, true, 207}, "\t207\t205\t1\t0.9904306\t1\t207\n"},
        {3, 7, {2, 0, true, 2}, "\t2\t0\t0.6666667\t0.2857143\t1\t2\n"},
        // Computed in a bounded band.
        {10, 12, {9, 4, false, 9}, "\t9\t4\t0.9\t0.75\t0\t9\n"},
        // Ambiguity codes skipped: the coverage is of the gap-free columns, the identity of the
        // compared ones, the matches among them.
        {10, 12, {9, 4, true, 5}, "\t9\t4\t0.9\t0.75\t1\t5\n"},
        // A pair with no compared column under skip keeps its other counts.
        {10, 10, {10, 0, true, 0}, "\t10\t0\t1\t1\t1\t0\n"},
        // No gap-free column: the counts are not known, the fields stay empty.
        {3, 7, {0, 0}, "\t\t\t\t\t\t\n"},
    };
    for (const Case& c : cases) {
        const Record first{">a", std::string(c.firstLength, 'A')};
        const Record second{">b", std::string(c.secondLength, 'C')};
        const std::string row = PairTableRow(first, second, 0.5f, c.counts);
        EXPECT_EQ(row, "a\tb\t0.5\t50" + c.tail);
    }
}

TEST(PairTable, WritesTheHeaderAndEveryPairInRecordOrder) {
    const RecordTable records = {{">a", "A", "a 1"}, {">b", "C", "b 2"}, {">c", "G", "c 3"}};
    IdentityTable identity(3, 1.0f);
    identity(0, 1) = 0.5f;
    identity(0, 2) = 0.25f;
    identity(1, 2) = 0.75f;
    std::ostringstream out;
    ASSERT_TRUE(WritePairTable(out, records, identity, 3));
    // Shown in reverse order: the rows still go out in file order, and the counts are looked up
    // by file position, whatever the display rows.
    PairCountTable counts(3);
    counts(2, 0) = {1, 1, true, 1};
    const std::vector<int> reversed = {2, 1, 0};
    const RecordTable shownRecords = {records[2], records[1], records[0]};
    IdentityTable shown(3, 1.0f);
    shown(2, 1) = 0.5f;
    shown(2, 0) = 0.25f;
    shown(1, 0) = 0.75f;
    std::ostringstream both;
    ASSERT_TRUE(WritePairTable(both, shownRecords, shown, 3, &reversed, &counts));
    EXPECT_EQ(
        both.str(),
        "seq1\tseq2\tidentity\tpercent\taligned_columns\tmatches\tcoverage1\tcoverage2\texact\t"
        "compared_columns\n"
        "a 1\tb 2\t0.5\t50\t\t\t\t\t\t\n"
        "a 1\tc 3\t0.25\t25\t1\t1\t1\t1\t1\t1\n"
        "b 2\tc 3\t0.75\t75\t\t\t\t\t\t\n");
    EXPECT_EQ(
        out.str(),
        "seq1\tseq2\tidentity\tpercent\taligned_columns\tmatches\tcoverage1\tcoverage2\texact\t"
        "compared_columns\n"
        "a 1\tb 2\t0.5\t50\t\t\t\t\t\t\n"
        "a 1\tc 3\t0.25\t25\t\t\t\t\t\t\n"
        "b 2\tc 3\t0.75\t75\t\t\t\t\t\t\n");
}

}  // namespace
}  // namespace kvr
