// kvr align: the alignment of one pair by each aligner gives the identity kvr run writes for the
// pair; names as the file has them; a missing name said with the nearest ones; the pair view.
#include <gtest/gtest.h>

#include <sstream>

#include "io/file_io.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::RunProgram;
using testing::TempFolder;

// The records of a FASTA text, name line and residues as the text has them.
std::string FirstRecords(const std::string& text, int count) {
    std::size_t end = 0;
    for (int k = 0; k < count && end != std::string::npos; ++k) end = text.find('>', end + 1);
    return text.substr(0, end);
}

// The score table's identity text of the pair of 1-based numbers i < j among n sequences.
std::string ScoreOf(const std::string& table, int n, int i, int j) {
    std::istringstream lines(table);
    std::string line;
    std::getline(lines, line);  // the header
    for (int a = 1; a < n; ++a) {
        for (int b = a + 1; b <= n; ++b) {
            std::getline(lines, line);
            if (a == i && b == j)
                return line.substr(line.rfind(',') + 1, line.find('\r') - line.rfind(',') - 1);
        }
    }
    return "missing";
}

std::string Line(const std::string& text, const std::string& start) {
    const auto at = text.find(start);
    if (at == std::string::npos) return "no " + start;
    return text.substr(at + start.size(), text.find('\n', at) - at - start.size());
}

TEST(KvrAlign, EachAlignerGivesTheIdentityOfTheRunForThePair) {
    TempFolder folder;
    const auto all = ReadWholeFile(DataFile("its1_68.fasta"));
    ASSERT_TRUE(all.has_value());
    const std::string input = folder.Write("six.fasta", FirstRecords(*all, 6));
    const std::pair<int, int> pairs[] = {{1, 2}, {5, 2}, {3, 6}};
    for (const char* aligner : {"builtin", "muscle", "clustalw", "mafft"}) {
        const std::string scores = folder.File(std::string(aligner) + "_col.txt");
        const auto run =
            RunProgram("kvr", {"run", input, "--aligner", aligner, "--scores", scores, "--quiet"});
        ASSERT_EQ(run.status, 0) << run.err;
        const auto table = ReadWholeFile(scores);
        ASSERT_TRUE(table.has_value());
        for (const auto& [i, j] : pairs) {
            const std::string expected = ScoreOf(*table, 6, std::min(i, j), std::max(i, j));
            const std::string what =
                std::string(aligner) + " " + std::to_string(i) + "," + std::to_string(j);
            const auto fasta =
                RunProgram("kvr", {"align", input, std::to_string(i), std::to_string(j),
                                   "--aligner", aligner, "--format", "fasta"});
            ASSERT_EQ(fasta.status, 0) << what << fasta.err;
            EXPECT_EQ(Line(fasta.err, "identity: ").substr(0, expected.size() + 1), expected + " ")
                << what;
            // The aligned FASTA scores the same in kvr identity.
            const auto again = RunProgram("kvr", {"identity", folder.Write("pair.fas", fasta.out)});
            EXPECT_EQ(again.out, expected + "\n") << what;
            const auto pair = RunProgram("kvr", {"align", input, std::to_string(i),
                                                 std::to_string(j), "--aligner", aligner});
            ASSERT_EQ(pair.status, 0) << what << pair.err;
            EXPECT_EQ(Line(pair.out, "identity: ").substr(0, expected.size() + 1), expected + " ")
                << what;
        }
    }
}

TEST(KvrAlign, FindsNamesWithSpacesCommasAndMarks) {
    TempFolder folder;
    const std::string input = folder.Write("names.fasta",
                                           ">Orchis mascula (ITS), clone 3\nACGTACGTACGTTTGA\n"
                                           ">left>right\nACGTACCTACGTTGA\n"
                                           ">AB123.1 Dactylorhiza majalis\nACGAACGTACGTTTGA\n");
    struct Case {
        std::string first, second;
        const char* firstLine;  // the name lines of the aligned FASTA
        const char* secondLine;
    };
    const Case cases[] = {
        {"Orchis mascula (ITS), clone 3", "left>right", ">Orchis_mascula__ITS_,_clone_3\r",
         ">left>right\r"},
        {">left>right", "right", ">left>right\r", ">right\r"},
        {"AB123.1", ">Orchis mascula (ITS), clone 3", ">AB123.1_Dactylorhiza_majalis\r",
         ">Orchis_mascula__ITS_,_clone_3\r"},
    };
    for (const Case& c : cases) {
        const auto result = RunProgram("kvr", {"align", input, c.first, c.second, "--aligner",
                                               "builtin", "--format", "fasta"});
        ASSERT_EQ(result.status, 0) << c.first << ": " << result.err;
        std::istringstream lines(result.out);
        std::string name1, row1, name2;
        std::getline(lines, name1);
        std::getline(lines, row1);
        std::getline(lines, name2);
        EXPECT_EQ(name1, c.firstLine);
        EXPECT_EQ(name2, c.secondLine);
    }
}

TEST(KvrAlign, SaysWhatIsWrong) {
    TempFolder folder;
    const std::string input = folder.Write("few.fasta",
                                           ">AB123.1 Dactylorhiza majalis\nACGTACGTAC\n"
                                           ">AB124.1 Dactylorhiza incarnata\nACGTACGAAC\n"
                                           ">Orchis\nACGTTCGTAC\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* said;
    };
    const Case cases[] = {
        {{"align", input, "AB125.1", "Orchis"},
         1,
         "no sequence is named 'AB125.1'; the nearest names: 1 (>AB123.1_Dactylorhiza_majalis), 2 "
         "(>AB124.1_Dactylorhiza_incarnata)"},
        {{"align", input, "Orchis", "4"},
         1,
         "there is no sequence number 4: the file holds 3 sequences"},
        {{"align", input, "Orchis", "3"}, 1, "are the same sequence (number 3)"},
        {{"align", input, "1"}, 2, "two sequences are needed"},
        {{"align", input, "1", "2", "3"}, 2, "'3' is one too many"},
        {{"align", input, "1", "2", "--format", "clustal"}, 2, "--format needs pair or fasta"},
        {{"align", input, "1", "2", "--aligner", "blast"}, 2, "blast"},
        {{"align", folder.File("missing.fasta"), "1", "2"}, 1, "missing.fasta"},
    };
    for (const Case& c : cases) {
        const auto result = RunProgram("kvr", c.args);
        EXPECT_EQ(result.status, c.status) << c.said;
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    }
}

TEST(KvrAlign, PairViewWrapsAtSixtyColumnsWithPositions) {
    TempFolder folder;
    // A fragment of 70 residues inside a sequence of 150: one gap at each end of the fragment.
    std::string longer;
    unsigned seed = 26;
    for (int k = 0; k < 150; ++k) longer += "ACGT"[(seed = seed * 1103515245u + 12345u) >> 30];
    const std::string fragment = longer.substr(40, 70);
    const std::string input =
        folder.Write("fragment.fasta", ">long\n" + longer + "\n>frag\n" + fragment + "\n");
    const auto result = RunProgram("kvr", {"align", input, "frag", "long", "--aligner", "builtin"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::istringstream lines(result.out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_GE(got.size(), 16u);
    EXPECT_EQ(got[0], "frag   1 " + std::string(40, '-') + fragment.substr(0, 20) + " 20");
    EXPECT_EQ(got[1], std::string(9 + 40, ' ') + std::string(20, '|'));
    EXPECT_EQ(got[2], "long   1 " + longer.substr(0, 60) + " 60");
    EXPECT_EQ(got[3], "");
    EXPECT_EQ(got[4], "frag  21 " + fragment.substr(20, 50) + std::string(10, '-') + " 70");
    EXPECT_EQ(got[6], "long  61 " + longer.substr(60, 60) + " 120");
    EXPECT_EQ(got[8], "frag  70 " + std::string(30, '-') + " 70");
    EXPECT_EQ(got[10], "long 121 " + longer.substr(120) + " 150");
    EXPECT_EQ(got[12], "identity: 1 (100.00 %)");
    EXPECT_EQ(got[13], "gap-free columns: 70 of 150");
    EXPECT_EQ(got[14], "matches: 70");
    EXPECT_EQ(got[15], "coverage of >frag: 100.00 % (70 of 70 residues)");
    EXPECT_EQ(got[16], "coverage of >long: 46.67 % (70 of 150 residues)");
}

}  // namespace
}  // namespace kvr
