// The pair table for pipelines: its header, names and numbers, byte for byte.
#include "files/pair_table.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kvr {
namespace {

TEST(PairTable, RowsHoldTheGivenNamesAndSixFields) {
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
         "sp|P1|A-B one (x)\tb\t0.9855072\t98.55072\t\t\n"},
        // A session knows only the cleaned name: without its ">".
        {{">a_1", "A"}, {">c", "A"}, 1.0f, "a_1\tc\t1\t100\t\t\n"},
        {{">a", "A"}, {">b", "A"}, 0.0f, "a\tb\t0\t0\t\t\n"},
        {{">a", "A"}, {">b", "A"}, 0.7f, "a\tb\t0.7\t70\t\t\n"},
        // Whatever a hand-made session holds, a row keeps its six fields and its one line.
        {{">a\tb", "A"}, {">c\rd\ne", "A"}, 0.5f, "a b\tc d e\t0.5\t50\t\t\n"},
        // Only the first ">" is the name line's own.
        {{">>x", "A"}, {">y,z", "A"}, 0.25f, ">x\ty,z\t0.25\t25\t\t\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(PairTableRow(c.first, c.second, c.identity), c.row);
}

TEST(PairTable, WritesTheHeaderAndEveryPairInRecordOrder) {
    const RecordTable records = {{">a", "A", "a 1"}, {">b", "C", "b 2"}, {">c", "G", "c 3"}};
    IdentityTable identity(3, 1.0f);
    identity(0, 1) = 0.5f;
    identity(0, 2) = 0.25f;
    identity(1, 2) = 0.75f;
    std::ostringstream out;
    ASSERT_TRUE(WritePairTable(out, records, identity, 3));
    EXPECT_EQ(out.str(),
              "seq1\tseq2\tidentity\tpercent\taligned_columns\tmatches\n"
              "a 1\tb 2\t0.5\t50\t\t\n"
              "a 1\tc 3\t0.25\t25\t\t\n"
              "b 2\tc 3\t0.75\t75\t\t\n");
}

}  // namespace
}  // namespace kvr
