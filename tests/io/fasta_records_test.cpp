#include "io/fasta_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvr {
namespace {

// A record as the tests compare it: every field but the views' addresses.
struct Seen {
    std::string nameLine;
    std::string residues;
    std::size_t offset;
    std::size_t line;
    std::size_t end;
    bool ended;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << "{" << s.nameLine << "|" << s.residues << "|" << s.offset << "," << s.line << ","
               << s.end << "," << s.ended << "}";
}

std::vector<Seen> Walk(std::string_view text, FastaRecordRules rules = {}) {
    std::vector<Seen> seen;
    FastaRecords records(text, rules);
    for (FastaRecord r; records.Next(r);)
        seen.push_back({std::string(r.nameLine), std::string(r.residues), r.offset, r.line, r.end,
                        r.nameLineEnded});
    return seen;
}

TEST(FastaRecords, MarksLayout) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<Seen> expected;
    };
    const Case cases[] = {
        {"empty input", "", {}},
        {"no mark at all", "ACGT\nACGT\n", {}},
        {"two records, lines joined later",
         ">a\nAC\nGT\n>b\nTT\n",
         {{">a", "AC\nGT", 0, 1, 9, true}, {">b", "TT\n", 9, 4, 15, true}}},
        {"no final line feed",
         ">a\nAC\n>b\nTT",
         {{">a", "AC", 0, 1, 6, true}, {">b", "TT", 6, 3, 11, true}}},
        {"name line without line feed",
         ">a\nAC\n>b",
         {{">a", "AC", 0, 1, 6, true}, {">b", "", 6, 3, 8, false}}},
        {"CR LF kept",
         ">a\r\nAC\r\n>b\r\nT\r\n",
         {{">a\r", "AC\r", 0, 1, 8, true}, {">b\r", "T\r\n", 8, 3, 15, true}}},
        {"blank lines",
         "\n\n>a\n\nAC\n\n>b\n\nT",
         {{">a", "\nAC\n", 2, 3, 10, true}, {">b", "\nT", 10, 7, 15, true}}},
        {"empty name and empty residues",
         ">\n>\nA",
         {{">", "", 0, 1, 2, true}, {">", "A", 2, 2, 5, true}}},
        {"text before the first record is no record",
         "note\n>a\nAC",
         {{">a", "AC", 5, 2, 10, true}}},
        // The byte before the next ">" ends the residues, whatever it is.
        {"mark among residues",
         ">a\nACG>b\nT",
         {{">a", "AC", 0, 1, 6, true}, {">b", "T", 6, 2, 10, true}}},
        // Each ">" of a name line starts a record with the rest of the line, sharing the residues.
        {"marks on a name line",
         ">a>b\nAC\n>c\nG",
         {{">a>b", "AC", 0, 1, 8, true}, {">b", "AC", 2, 1, 8, true}, {">c", "G", 8, 3, 12, true}}},
        {"marks on an unended name line",
         "x>a>",
         {{">a>", "", 1, 1, 4, false}, {">", "", 3, 1, 4, false}}},
    };
    for (const Case& c : cases) EXPECT_EQ(Walk(c.text), c.expected) << c.what;
}

TEST(FastaRecords, MarksDropOneCarriageReturnFromTheNameWhenAsked) {
    const FastaRecordRules rules{FastaLayout::Marks, true};
    const auto seen = Walk(">a\r\nAC\r\n>b\r\r\nT\n>c\r", rules);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].nameLine, ">a");
    EXPECT_EQ(seen[0].residues, "AC\r");  // the residues are the caller's to clean
    EXPECT_EQ(seen[1].nameLine, ">b\r");  // one carriage return only
    EXPECT_EQ(seen[2].nameLine, ">c");    // at the end of the text too
    EXPECT_FALSE(seen[2].ended);
}

TEST(FastaRecords, LongLinesAndManyMarksAreWalkedWhole) {
    const std::string residues(3'000'000, 'A');
    const auto seen = Walk(">" + std::string(100'000, 'n') + "\n" + residues + "\n>b\nC\n");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].nameLine.size(), 100'001u);
    EXPECT_EQ(seen[0].residues, residues);
    EXPECT_EQ(seen[1].line, 3u);

    // A line of 200 000 ">" is 200 000 records sharing one line feed and the residues after it.
    const std::string marks = std::string(200'000, '>') + "\nACGT\n";
    FastaRecords records(marks);
    std::size_t count = 0;
    for (FastaRecord r; records.Next(r); ++count) {
        if (r.residues != "ACGT\n" || r.line != 1 || r.end != marks.size()) {
            ADD_FAILURE() << "record " << count;
            break;
        }
    }
    EXPECT_EQ(count, 200'000u);
    EXPECT_EQ(CountFastaRecords(marks), 200'000u);
}

TEST(FastaRecords, LinePairsLayout) {
    const FastaRecordRules rules{FastaLayout::LinePairs, false};
    const std::string text = "[[[>a\r\nAC\r\n\r\n>b>\nG]]]\r\n0.5\r\nrest";
    FastaRecords records(text, rules);
    FastaRecord r;
    ASSERT_TRUE(records.Next(r));
    EXPECT_EQ(r.nameLine, "[[[>a");  // whatever the line holds
    EXPECT_EQ(r.residues, "AC");
    EXPECT_EQ(r.line, 1u);
    ASSERT_TRUE(records.Next(r));
    EXPECT_EQ(r.nameLine, "");  // a blank line is a line
    EXPECT_EQ(r.residues, ">b>");
    EXPECT_EQ(r.line, 3u);
    EXPECT_EQ(r.offset, 11u);
    ASSERT_TRUE(records.Next(r));
    EXPECT_EQ(r.residues, "0.5");
    // One line left: no record, and the lines go on from there.
    EXPECT_FALSE(records.Next(r));
    EXPECT_EQ(records.Lines().Number(), 7u);
    EXPECT_TRUE(records.Lines().Remaining() == 0);
}

TEST(FastaRecords, LinePairsHandTheLinesOn) {
    const std::string text = ">a\nAC\n0.5\r\n1";
    FastaRecords records(text, {FastaLayout::LinePairs, false});
    FastaRecord r;
    ASSERT_TRUE(records.Next(r));
    TextLines& lines = records.Lines();
    std::string_view line;
    ASSERT_TRUE(lines.Next(line));
    EXPECT_EQ(line, "0.5");
    EXPECT_EQ(lines.Number(), 3u);
    EXPECT_TRUE(lines.Ended());
    ASSERT_TRUE(lines.Next(line));
    EXPECT_EQ(line, "1");
    EXPECT_FALSE(lines.Ended());  // cut short
    EXPECT_FALSE(lines.Next(line));
}

TEST(AppendWithoutLineFeeds, KeepsEveryOtherByte) {
    std::string out = "x";
    AppendWithoutLineFeeds("A\nC\r\n \n", out);
    EXPECT_EQ(out, "xAC\r ");
}

}  // namespace
}  // namespace kvr
