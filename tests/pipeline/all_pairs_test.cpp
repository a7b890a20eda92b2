#include "pipeline/all_pairs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <set>

#include "engine_fixture.h"
#include "fakes/recording_window.h"
#include "io/number_text.h"
#include "io/tree_input.h"
#include "pipeline/tree_order.h"

namespace kvr {
namespace {

using testing::CopyAligner;
using testing::FakeRun;
using testing::PairFile;
using testing::PairOf;
using testing::StateWith;

// Sequence k of the ladder: ten bases, the first k of them C, so that sequences a and b differ
// in |a - b| columns.
Record Ladder(int k) {
    return {">s" + std::to_string(k), std::string(k, 'C') + std::string(10 - k, 'A')};
}

std::vector<Record> Ladders(int n) {
    std::vector<Record> records;
    for (int k = 0; k < n; ++k) records.push_back(Ladder(k));
    return records;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(AlignAllPairs, TwoSequencesMakeOneAlignmentAndTheDistanceFile) {
    FakeRun run;
    RecordingWindow window;
    RunState state = StateWith({{">a", "ACGT"}, {">b", "ACGA"}});
    WindowProgress progress(window, state.inputPath);
    ASSERT_EQ(AlignAllPairs(state, progress, run.context), PairsEnd::Completed);
    ASSERT_EQ(run.shell.commands.size(), 1u);
    EXPECT_EQ(run.shell.commands[0],
              "exec </dev/null >'1_2Aln.fas.log' 2>&1; muscle -align 1_2.fas -output 1_2Aln.fas "
              "-threads 1");
    EXPECT_EQ(run.shell.folders[0], run.root.Path());

    EXPECT_EQ(window.captionHistory[Control::lblProgress],
              (std::vector<std::string>{"Aligning 1 - 2", "Completed"}));
    EXPECT_EQ(window.captionHistory[Control::lblPrgPercent],
              (std::vector<std::string>{" 100%", ""}));
    EXPECT_EQ(window.valueHistory[Control::ProgressBar1], (std::vector<int>{100, 0}));
    EXPECT_EQ(
        window.Caption(Control::lblFilePath),
        "Pairwise identity calculation  for /data/in.fasta  Number of alignments:  1 out of  1");

    EXPECT_EQ(state.InputIdentity(0, 1), 0.75f);
    EXPECT_EQ(state.InputIdentity(1, 0), 0.75f);
    EXPECT_EQ(state.InputIdentity(0, 0), 1.0f);
    EXPECT_EQ(state.treeNames,
              (std::vector<std::string>{"0a        ", "1b        ", "out       "}));
    // The tree step's distance file, from this table.
    EXPECT_EQ(FormatDistanceFile(state.InputIdentity, state.treeNames, 2),
              "   3\r\n"
              "0a          0.0000  0.2500  1\r\n"
              "1b          0.2500  0.0000  1\r\n"
              "out         1  1  0\r\n");
    // The pair's files are gone; the tree step writes its own input when there is a tree.
    EXPECT_TRUE(FilesIn(run.root.Path()).empty());
}

TEST(AlignAllPairs, OneSequenceAlignsNothing) {
    FakeRun run;
    RecordingWindow window;
    RunState state = StateWith({{">a", "ACGT"}});
    EXPECT_EQ(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed);
    EXPECT_TRUE(run.shell.commands.empty());
    EXPECT_EQ(state.InputIdentity, IdentityTable(1, 1.0f));
    EXPECT_EQ(FormatDistanceFile(state.InputIdentity, state.treeNames, 1),
              "   2\r\n0a          0.0000  1\r\nout         1  0\r\n");
}

TEST(AlignAllPairs, TenSequencesFillTheTableWithProgressPerAlignment) {
    FakeRun run;
    RecordingWindow window;
    RunState state = StateWith(Ladders(10));
    WindowProgress progress(window, state.inputPath);
    ASSERT_EQ(AlignAllPairs(state, progress, run.context), PairsEnd::Completed);
    ASSERT_EQ(run.shell.commands.size(), 45u);
    EXPECT_EQ(PairOf(run.shell.commands.front()), std::make_pair(1, 2));
    EXPECT_EQ(PairOf(run.shell.commands.back()), std::make_pair(9, 10));
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 10; ++j) {
            const float expected = static_cast<float>(1.0 - std::abs(i - j) / 10.0);
            EXPECT_EQ(state.InputIdentity(i, j), expected) << i << "," << j;
        }
    }
    const auto& bar = window.valueHistory[Control::ProgressBar1];
    EXPECT_EQ(bar.front(), 2);  // 100 / 45, not 0
    EXPECT_EQ(bar[bar.size() - 2], 100);
    EXPECT_EQ(window.captionHistory[Control::lblPrgPercent].front(), " 2%");
    EXPECT_EQ(
        window.captionHistory[Control::lblFilePath].back(),
        "Pairwise identity calculation  for /data/in.fasta  Number of alignments:  45 out of  45");
    EXPECT_EQ(window.captionHistory[Control::lblProgress][9], "Aligning 2 - 3");
}

TEST(AlignAllPairs, TreeNamesAreTenCharactersWithTheSequenceNumber) {
    struct Case {
        const char* name;
        int index;
        const char* expected;
    };
    const Case cases[] = {
        {">Virus_strain_A", 0, "0Virus_str"},
        {">ab", 12, "12ab      "},
        {">a(b):c;[d]", 3, "3abcd     "},
        {">s,1", 4, "4s1       "},  // the tree program refuses commas in names
        {"noheader", 5, "5noheader "},
        {">_exactly9", 7, "7_exactly9"},
    };
    for (const Case& c : cases) EXPECT_EQ(MakeTreeName(c.name, c.index), c.expected) << c.name;
}

TEST(AlignAllPairs, TreeNamesThatWouldCollideGetTheirNumberAlone) {
    // ">0x" as sequence 1 and ">x" as sequence 10 both give "10x": the later one is renamed, so
    // that the leaves of the tree map back to the sequences one to one.
    RecordTable records(12, Record{">other", "ACGT"});
    records[1].name = ">0x";
    records[10].name = ">x";
    records[11].name = ">1abcdefghijk";  // cut to ten characters, still its own
    records[0].name = ">~10";            // what the renamed one is called, given as a name
    const auto names = MakeTreeNames(records, 12);
    ASSERT_EQ(names.size(), 13u);
    EXPECT_EQ(names[0], "0~10      ");
    EXPECT_EQ(names[1], "10x       ");
    EXPECT_EQ(names[10], "~10       ");
    EXPECT_EQ(names[11], "111abcdefg");
    EXPECT_EQ(names.back(), std::string(kOutgroupName));

    // A tree listing the taxa backwards (the outgroup last) gives that order back.
    std::string tree = "(";
    for (int a = 11; a >= 0; --a) tree += "(" + TreeNameKey(names[a]) + ":0.1,";
    tree += "out:1.0";
    for (int a = 0; a <= 12; ++a) tree += ")";
    tree += ";";
    const Result<std::vector<int>> order = ReadTreeOrder(tree, names);
    ASSERT_TRUE(order) << order.problem().message;
    std::vector<int> backwards(12);
    std::iota(backwards.rbegin(), backwards.rend(), 0);
    backwards.push_back(12);
    EXPECT_EQ(order.value(), backwards);
}

TEST(AlignAllPairs, ClustalWStopsAtTwoEqualNames) {
    FakeRun run;
    RecordingWindow window;
    RunState state = StateWith({{">x", "ACGT"}, {">y", "ACGA"}, {">x", "ACCA"}}, "clustalw");
    EXPECT_NE(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0],
              "Error with ClustalW2: two sequences with identical name '>x' were found. These are "
              "sequences number  1 and sequences number  3. Please rename all the duplicate names "
              "and try again.");
    EXPECT_EQ(run.shell.commands.size(), 1u);  // only pair 1 - 2 was aligned
    EXPECT_EQ(window.captionHistory[Control::lblProgress],
              (std::vector<std::string>{"Aligning 1 - 2", "Aligning 1 - 3", "Failed"}));
    EXPECT_EQ(window.Value(Control::ProgressBar1), 0);
    EXPECT_FALSE(std::filesystem::exists(run.root.File("infile")));

    // The other aligners do not mind equal names.
    FakeRun muscleRun;
    RecordingWindow muscleWindow;
    state = StateWith({{">x", "ACGT"}, {">y", "ACGA"}, {">x", "ACCA"}}, "muscle");
    EXPECT_EQ(AlignAllPairs(state, muscleWindow.progress, muscleRun.context), PairsEnd::Completed);
    EXPECT_EQ(muscleRun.shell.commands.size(), 3u);
}

TEST(AlignAllPairs, APairThatCannotBeScoredStopsTheRunAndSaysWhy) {
    using Action =
        std::function<ShellOutcome(const std::string& folder, const std::string& command)>;
    const ShellOutcome ended{ShellOutcome::Status::Ended, 7, 0, {}};
    struct Case {
        const char* what;
        Action action;
        const char* reason;
    };
    const Case cases[] = {
        {"no output", [&](auto&, auto&) { return ended; },
         "the aligner wrote no output file 2_3Aln.fas"},
        {"empty output",
         [&](const std::string& folder, const std::string& command) {
             WriteWholeFile(PairFile(folder, command, "Aln.fas"), "");
             return ended;
         },
         "the output file 2_3Aln.fas is empty"},
        {"one record",
         [&](const std::string& folder, const std::string& command) {
             WriteWholeFile(PairFile(folder, command, "Aln.fas"), ">b\nACGT\n");
             return ended;
         },
         "fewer than two sequences"},
        {"no gap-free column",
         [&](const std::string& folder, const std::string& command) {
             WriteWholeFile(PairFile(folder, command, "Aln.fas"), ">b\n--GT\n>c\nAC--\n");
             return ended;
         },
         "no column free of gaps"},
        {"failed",
         [&](const std::string& folder, const std::string& command) {
             WriteWholeFile(PairFile(folder, command, "Aln.fas"), ">b\nACGT\n>c\nACGT\n");
             WriteWholeFile(PairFile(folder, command, "Aln.fas.log"),
                            "MUSCLE v5\n\n---Fatal error---\nCannot open 2_3.fas\n");
             return ShellOutcome{ShellOutcome::Status::Ended, 7, 1, {}};
         },
         "the aligner failed with exit status 1: ---Fatal error--- / Cannot open 2_3.fas"},
        {"not found",
         [&](const std::string& folder, const std::string& command) {
             WriteWholeFile(PairFile(folder, command, "Aln.fas.log"), "sh: 1: muscle: not found\n");
             return ShellOutcome{ShellOutcome::Status::Ended, 7, 127, {}};
         },
         "the program was not found (exit status 127): sh: 1: muscle: not found"},
        {"not started",
         [&](auto&, auto&) {
             return ShellOutcome{ShellOutcome::Status::NotStarted, 0, -1, "cannot start /bin/sh"};
         },
         "could not be started: cannot start /bin/sh"},
    };
    for (const Case& c : cases) {
        FakeRun run([&](const std::string& command, const std::string& folder) {
            return PairOf(command) == std::make_pair(2, 3) ? c.action(folder, command)
                                                           : CopyAligner(command, folder);
        });
        // An output left from earlier must not be taken for this run's.
        WriteWholeFile(run.root.File("2_3Aln.fas"), ">b\nACGT\n>c\nACGA\n");
        RecordingWindow window;
        RunState state = StateWith({{">a", "ACGT"}, {">b", "ACGA"}, {">c", "ACCA"}});
        EXPECT_NE(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed)
            << c.what;
        ASSERT_EQ(window.messages.size(), 1u) << c.what;
        const std::string& message = window.messages[0];
        for (const std::string& part :
             {std::string("sequences 2 and 3"), std::string("with MUSCLE"), std::string(c.reason),
              std::string("Sequence 2: >b"), std::string("Sequence 3: >c"),
              std::string("Command: muscle -align 2_3.fas -output 2_3Aln.fas -threads 1")})
            EXPECT_NE(message.find(part), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(window.Caption(Control::lblProgress), "Failed") << c.what;
        EXPECT_EQ(state.InputIdentity(1, 2), 0.0f) << c.what;
        EXPECT_EQ(state.InputIdentity(2, 1), 0.0f) << c.what;
        EXPECT_TRUE(FilesIn(run.root.Path()).empty()) << c.what;  // no pair file, no "infile"
    }
}

TEST(AlignNewPairs, AppendingOneSequenceToNineAlignsNinePairs) {
    FakeRun run;
    RecordingWindow window;
    RunState state = StateWith(Ladders(10));
    state.appendCount = 1;
    state.IdentityMatrix = IdentityTable(9, 1.0f);
    for (int i = 0; i < 9; ++i)
        for (int j = 0; j < 9; ++j)
            if (i != j) state.IdentityMatrix(i, j) = 0.5f + 0.01f * static_cast<float>(i + j);
    WriteWholeFile(run.root.File("Simularity_scores_col.txt"), "old");
    WindowProgress progress(window, state.inputPath);
    ASSERT_EQ(AlignNewPairs(state, progress, run.context), PairsEnd::Completed);
    ASSERT_EQ(run.shell.commands.size(), 9u);
    for (std::size_t k = 0; k < 9; ++k)
        EXPECT_EQ(PairOf(run.shell.commands[k]), std::make_pair(static_cast<int>(k) + 1, 10));
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 10; ++j) {
            const float expected = i == j ? 1.0f
                                   : i < 9 && j < 9
                                       ? state.IdentityMatrix(i, j)
                                       : static_cast<float>(1.0 - std::abs(i - j) / 10.0);
            EXPECT_EQ(state.InputIdentity(i, j), expected) << i << "," << j;
        }
    }
    EXPECT_EQ(window.captionHistory[Control::lblProgress].front(), "Pairwise identity calculation");
    EXPECT_EQ(window.captionHistory[Control::lblProgress][1], "Aligning 1 - 10");
    // The count and the total are the whole matrix's: the 36 old pairs are done from the start.
    EXPECT_EQ(window.valueHistory[Control::ProgressBar1].front(), 82);  // 100 x 37 / 45
    EXPECT_EQ(
        window.captionHistory[Control::lblFilePath].front(),
        "Pairwise identity calculation  for /data/in.fasta  Number of alignments:  37 out of  45");
    EXPECT_EQ(
        window.captionHistory[Control::lblFilePath].back(),
        "Pairwise identity calculation  for /data/in.fasta  Number of alignments:  45 out of  45");

    EXPECT_FALSE(std::filesystem::exists(run.root.File("Simularity_scores_col.txt")));
    const auto table = ReadWholeFile(run.root.File("Identity_scores_col.txt"));
    ASSERT_TRUE(table);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < table->size();) {
        const auto end = table->find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        lines.push_back(table->substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 46u);
    EXPECT_EQ(lines[0], "First Sequence,Second Sequence,Identity Score");
    EXPECT_EQ(lines[1], ">s0,>s1," + PlainSingle(0.51f));  // copied
    EXPECT_EQ(lines[9], ">s0,>s9,0.1");                    // aligned
    EXPECT_EQ(lines[45], ">s8,>s9,0.9");
}

TEST(AlignNewPairs, ClustalWNamesTheDuplicatePairItsOwnWay) {
    FakeRun run;
    RecordingWindow window;
    RunState state = StateWith({{">x", "ACGT"}, {">y", "ACGA"}, {">x", "ACCA"}}, "clustalw");
    state.appendCount = 1;
    state.IdentityMatrix = IdentityTable(2, 1.0f);
    state.IdentityMatrix(0, 1) = state.IdentityMatrix(1, 0) = 0.75f;
    EXPECT_NE(AlignNewPairs(state, window.progress, run.context), PairsEnd::Completed);
    EXPECT_EQ(window.messages,
              std::vector<std::string>{
                  "Error with ClustalW2: two sequences with identical name were found "
                  " 1 and 3 : >x. Please rename all the duplicate names and try again."});
    EXPECT_TRUE(run.shell.commands.empty());
    EXPECT_EQ(ReadWholeFile(run.root.File("Identity_scores_col.txt")),
              "First Sequence,Second Sequence,Identity Score\r\n>x,>y,0.75\r\n");
    EXPECT_FALSE(std::filesystem::exists(run.root.File("infile")));
}

TEST(AlignNewPairs, RefusesPreviousIdentitiesOfAnotherSize) {
    FakeRun run;
    RecordingWindow window;
    RunState state = StateWith(Ladders(4));
    state.appendCount = 1;
    state.IdentityMatrix = IdentityTable(2, 1.0f);  // should be 3 x 3
    EXPECT_NE(AlignNewPairs(state, window.progress, run.context), PairsEnd::Completed);
    EXPECT_EQ(window.messages.size(), 1u);
    EXPECT_TRUE(run.shell.commands.empty());
}

}  // namespace
}  // namespace kvr
