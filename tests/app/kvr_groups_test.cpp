// kvr's exports for other programs, the programs themselves on real data: the groups table in
// input order whatever the tree's order, the square and PHYLIP matrices in either order, the
// Newick tree with the sequences' names, kvr split --groups, and the refusals before any work.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "io/file_io.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::RunProgram;
using testing::TempFolder;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Field(const std::string& line, int k) {
    std::istringstream in(line);
    std::string field;
    for (int i = 0; i <= k; ++i) std::getline(in, field, '\t');
    return field;
}

// families.fasta: A_1, C_1, A(2), C_2, A_3; the A and the C sequences are each other's kin.
TEST(KvrGroups, RunWritesGroupsMatricesAndTheTree) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto kvr = [&](std::vector<std::string> args) { return RunProgram("kvr", args); };
    const auto run = kvr({"run", input, "--aligner", "builtin", "--tree", "--quiet", "--groups",
                          folder.File("g.tsv"), "--groups-at", "70,95", "--square",
                          folder.File("sq.tsv"), "--phylip", folder.File("d.phy"), "--newick",
                          folder.File("t.nwk"), "--display-order"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> order = Lines(run.out);  // the display order, printed

    const std::vector<std::string> groups = Lines(*ReadWholeFile(folder.File("g.tsv")));
    ASSERT_EQ(groups.size(), 6u);
    EXPECT_EQ(groups[0],
              "name\tgroup_70\tsize_70\trepresentative_70\tgroup_95\tsize_95\trepresentative_95");
    // Input order, numbered by first members: the A family is group 1, the C family group 2.
    const std::vector<std::string> names = {"A_1", "C_1", "A(2)", "C_2", "A_3"};
    const std::vector<std::string> at70 = {"1", "2", "1", "2", "1"};
    for (std::size_t s = 0; s < names.size(); ++s) {
        EXPECT_EQ(Field(groups[s + 1], 0), names[s]);
        EXPECT_EQ(Field(groups[s + 1], 1), at70[s]) << groups[s + 1];
        EXPECT_EQ(Field(groups[s + 1], 2), s % 2 ? "2" : "3");
    }
    EXPECT_EQ(ReadWholeFile(folder.File("g.tsv"))->find('\r'), std::string::npos);

    // The matrices in display order: the tree's, as printed (the input's numbers from 1).
    const std::vector<std::string> square = Lines(*ReadWholeFile(folder.File("sq.tsv")));
    ASSERT_EQ(square.size(), 6u);
    ASSERT_EQ(order.size(), 5u);
    std::string header = "name";
    for (std::size_t d = 0; d < order.size(); ++d) {
        const std::string& name = names.at(std::stoul(order[d]) - 1);
        header += "\t" + name;
        EXPECT_EQ(Field(square[d + 1], 0), name);
        EXPECT_EQ(Field(square[d + 1], static_cast<int>(d) + 1), "100");
    }
    EXPECT_EQ(square[0], header);
    // "A(2)" has characters PHYLIP refuses: short names, and their table.
    const std::vector<std::string> phylip = Lines(*ReadWholeFile(folder.File("d.phy")));
    const std::vector<std::string> shortNames = Lines(*ReadWholeFile(folder.File("d.phy.names")));
    ASSERT_EQ(phylip.size(), 6u);
    ASSERT_EQ(shortNames.size(), 6u);
    EXPECT_EQ(phylip[0], "5");
    for (std::size_t d = 0; d < order.size(); ++d) {
        const std::string& name = names.at(std::stoul(order[d]) - 1);
        const std::string shortName = name == "A(2)" ? "A_2_~" + std::to_string(d + 1) : name;
        EXPECT_EQ(shortNames[d + 1], shortName + "\t" + name);
        EXPECT_EQ(phylip[d + 1].substr(0, 12), (shortName + "          ").substr(0, 10) + "  ");
    }

    // Every name back in quotes where Newick needs them, every branch with its length.
    const std::string tree = *ReadWholeFile(folder.File("t.nwk"));
    for (const char* label : {"'A_1'", "'C_1'", "'A(2)'", "'C_2'", "'A_3'"})
        EXPECT_NE(tree.find(std::string(label) + ":"), std::string::npos) << tree;
    EXPECT_EQ(tree.find("out"), std::string::npos) << tree;
    EXPECT_EQ(tree.substr(tree.size() - 2), ";\n");
}

TEST(KvrGroups, ShowSplitAndLongNames) {
    TempFolder folder;
    const std::string input = DataFile("its1_68.fasta");
    const std::string text = *ReadWholeFile(input);
    std::size_t ninth = 0;  // the first eight sequences
    for (int k = 0; k < 8; ++k) ninth = text.find('>', ninth + 1);
    const std::string eight = folder.Write("eight.fasta", text.substr(0, ninth));
    auto run = RunProgram("kvr", {"run", eight, "--quiet", "--session", folder.File("s.kvr")});
    ASSERT_EQ(run.status, 0) << run.err;

    // Groups to standard output: no display order mixed in.
    run = RunProgram("kvr", {"show", folder.File("s.kvr"), "--groups", "-", "--groups-at", "99"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> rows = Lines(run.out);
    ASSERT_EQ(rows.size(), 9u) << run.out;
    EXPECT_EQ(rows[0], "name\tgroup\tsize\trepresentative");
    std::vector<int> sizes;  // per group, from the table
    for (int s = 1; s <= 8; ++s) {
        const int g = std::stoi(Field(rows[s], 1));
        ASSERT_LE(g, static_cast<int>(sizes.size()) + 1) << "numbered by first members";
        if (g > static_cast<int>(sizes.size())) sizes.push_back(std::stoi(Field(rows[s], 2)));
    }
    EXPECT_GT(sizes.size(), 1u);
    EXPECT_LT(sizes.size(), 8u);

    // Names longer than 10: short names and their table beside the matrix.
    run = RunProgram("kvr", {"show", folder.File("s.kvr"), "--phylip", folder.File("d.phy")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> names = Lines(*ReadWholeFile(folder.File("d.phy.names")));
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names[0], "short\tname");
    EXPECT_EQ(Lines(*ReadWholeFile(folder.File("d.phy")))[1].substr(0, 10),
              (Field(names[1], 0) + "          ").substr(0, 10));
    // Standard output has no room for the names table.
    run = RunProgram("kvr", {"show", folder.File("s.kvr"), "--phylip", "-"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("give --phylip a file name"), std::string::npos) << run.err;

    // A file per group, groups of one included, numbered as --groups numbers them.
    run = RunProgram("kvr", {"split", folder.File("s.kvr"), "--groups", "--groups-at", "99", "-o",
                             folder.File("set")});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string files;
    for (std::size_t g = 1; g <= sizes.size(); ++g) {
        const std::string file = folder.File("set_group" + std::to_string(g) + ".fasta");
        files += file + "\n";
        const auto fasta = ReadWholeFile(file);
        ASSERT_TRUE(fasta) << file;
        EXPECT_EQ(std::count(fasta->begin(), fasta->end(), '>'), sizes[g - 1]) << file;
    }
    EXPECT_EQ(run.out, files);
    run = RunProgram("kvr", {"split", folder.File("s.kvr"), "--groups", "--groups-at", "0",
                             "--linkage", "single", "-o", folder.File("all")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, folder.File("all_group1.fasta") + "\n");
}

TEST(KvrGroups, RefusedBeforeAnyWork) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* said;
    };
    const Case cases[] = {
        {{"run", input, "--newick", folder.File("t.nwk")}, 2, "--newick needs --tree"},
        {{"run", input, "--groups", folder.File("x"), "--square", folder.File("x")},
         2,
         "named for two outputs"},
        {{"run", input, "--phylip", folder.File("x"), "--groups", folder.File("x.names")},
         2,
         "named for two outputs"},
        {{"run", input, "--groups", folder.File("g"), "--groups-at", "95,101"}, 2, "--groups-at"},
        {{"run", input, "--groups", folder.File("g"), "--linkage", "average"}, 2, "--linkage"},
        {{"run", input, "--square", folder.File("no/such/folder/sq.tsv")}, 1, "sq.tsv"},
        {{"split", "s.kvr", "--groups", "--min", "90", "-o", "b"}, 2, "--groups takes the place"},
        {{"split", "s.kvr", "--min", "90", "-o", "b"}, 2, "--max M is needed"},
    };
    for (const Case& c : cases) {
        const auto run = RunProgram("kvr", c.args);
        EXPECT_EQ(run.status, c.status) << c.args[2] << " " << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{}) << c.said;
    }
}

}  // namespace
}  // namespace kvr
