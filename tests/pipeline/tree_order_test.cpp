#include "pipeline/tree_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>

#include "engine_fixture.h"
#include "fakes/recording_window.h"
#include "io/tree_input.h"
#include "platform/posix_shell.h"

namespace kvr {
namespace {

using testing::FakeRun;
using testing::StateWith;
using testing::TempFolder;

const std::vector<std::string> kTreeNamesABC = {"0A        ", "1B        ", "2C        ",
                                                "out       "};

// Three sequences A, B, C after a run: identities A-B 0.9, A-C 0.8, B-C 0.7.
RunState StateABC(bool useTree) {
    RunState state = StateWith({{">A", "AAAA"}, {">B", "CCCC"}, {">C", "GGGG"}});
    state.InputIdentity = IdentityTable(3, 1.0f);
    state.InputIdentity(0, 1) = state.InputIdentity(1, 0) = 0.9f;
    state.InputIdentity(0, 2) = state.InputIdentity(2, 0) = 0.8f;
    state.InputIdentity(1, 2) = state.InputIdentity(2, 1) = 0.7f;
    state.treeNames = kTreeNamesABC;
    state.choices.useTree = useTree;
    return state;
}

// A tree program that leaves the given tree text, after checking what it was handed.
FakeShell::Action WritesTree(std::string tree, std::string* config = nullptr) {
    return [tree = std::move(tree), config](const std::string&, const std::string& folder) {
        const bool stale = std::filesystem::exists(folder + "/outtree");
        if (config != nullptr) *config = ReadWholeFile(folder + "/config").value_or("none");
        if (!stale && std::filesystem::exists(folder + "/infile") && !tree.empty())
            WriteWholeFile(folder + "/outtree", tree);
        WriteWholeFile(folder + "/outfile", "report");
        return ShellOutcome{ShellOutcome::Status::Ended, 99, 0, {}};
    };
}

std::vector<std::string> Names(const RecordTable& records) {
    std::vector<std::string> names;
    for (const Record& r : records) names.push_back(r.name);
    return names;
}

bool FolderEmpty(const std::string& folder) {
    return std::filesystem::directory_iterator(folder) == std::filesystem::directory_iterator();
}

TEST(ReadTreeOrder, TakesTheLeavesFromLeftToRight) {
    struct Case {
        const char* tree;
        std::vector<int> order;
    };
    const Case cases[] = {
        {"((0A:0.1,1B:0.2):0.05,2C:0.3,out:0.9);", {0, 1, 2, 3}},
        {"((2C:0.1,0A:0.2):0.05,1B:0.3,out:0.9);", {2, 0, 1, 3}},
        {"((2C:0.1,\n0A:0.2):0.05, 1B:0.3,\r\n   out:0.9);\n", {2, 0, 1, 3}},  // wrapped, spaced
        {"((2C,0A),1B,out);", {-1}},  // no branch lengths: the ";" stays on the last leaf
    };
    for (const Case& c : cases) {
        const Result<std::vector<int>> read = ReadTreeOrder(c.tree, kTreeNamesABC);
        if (c.order == std::vector<int>{-1}) {
            EXPECT_FALSE(read) << c.tree;
            continue;
        }
        ASSERT_TRUE(read) << c.tree << ": " << read.problem().message;
        EXPECT_EQ(read.value(), c.order) << c.tree;
    }
}

TEST(ReadTreeOrder, RefusesATreeThatWouldGiveAWrongOrder) {
    struct Case {
        const char* tree;
        std::vector<std::string> names;
        const char* failure;
    };
    const Case cases[] = {
        {"((0A:0.1,9Z:0.2):0.05,2C:0.3,out:0.9);", kTreeNamesABC,
         "the leaf '9Z' of the tree matches none of the sequences"},
        {"((0A:0.1,0A:0.2):0.05,2C:0.3,out:0.9);", kTreeNamesABC,
         "the leaf '0A' appears twice in the tree"},
        {"((0A:0.1,out:0.2):0.05,2C:0.3,1B:0.9);", kTreeNamesABC,
         "the outgroup 'out' is not the last leaf of the tree"},
        {"((0A:0.1,1B:0.2):0.05,out:0.9);", kTreeNamesABC, "the tree has 3 leaves instead of 4"},
        {"", kTreeNamesABC, "the leaf '' of the tree matches none of the sequences"},
        {"((12x:0.1,12x:0.2):0.05,out:0.9);",
         {"12x       ", "12x       ", "out       "},
         "sequences 1 and 2 have the same tree name '12x', so the tree cannot tell them apart"},
    };
    for (const Case& c : cases) {
        const Result<std::vector<int>> read = ReadTreeOrder(c.tree, c.names);
        ASSERT_FALSE(read) << c.tree;
        EXPECT_EQ(read.problem().message, c.failure) << c.tree;
    }
}

TEST(OrderByTree, RebuildsTheListAndTheMatrixInTreeOrder) {
    std::string config;
    FakeRun run(WritesTree("((2C:0.1,0A:0.2):0.05,1B:0.3,out:0.9);", &config));
    WriteWholeFile(run.root.File("infile"), "distances");
    WriteWholeFile(run.root.File("outtree"), "stale");  // must be gone before the program runs
    RecordingWindow window;
    RunState state = StateABC(true);
    const Result<void> outcome = OrderByTree(state, window.progress, run.context);

    EXPECT_TRUE(outcome.Ok()) << outcome.problem().message;
    EXPECT_EQ(config, "O\r\n4\r\nY\r\n");
    EXPECT_EQ(state.treeOrder, (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(Names(state.SequenceList), (std::vector<std::string>{">C", ">A", ">B"}));
    EXPECT_EQ(state.IdentityMatrix(0, 0), 1.0f);  // C with C, A and B
    EXPECT_EQ(state.IdentityMatrix(0, 1), 0.8f);
    EXPECT_EQ(state.IdentityMatrix(0, 2), 0.7f);
    EXPECT_EQ(state.IdentityMatrix(2, 1), 0.9f);
    EXPECT_EQ(window.captionHistory[Control::lblProgress],
              (std::vector<std::string>{"Drawing tree", "Rearranging Sequences", "Saving scores",
                                        "Completed"}));
    ASSERT_EQ(run.shell.commands.size(), 1u);
    EXPECT_EQ(run.shell.folders[0], run.root.Path());
    EXPECT_TRUE(run.shell.commands[0].ends_with("/RunNeighbor.sh'")) << run.shell.commands[0];
    EXPECT_TRUE(window.messages.empty());
    EXPECT_TRUE(FolderEmpty(run.root.Path()));  // infile, config, outfile, outtree all removed
}

// The table is reordered in place; it must hold what a copy in the new order holds.
TEST(ApplyDisplayOrder, ReordersTheTableAsACopyInTheNewOrderWould) {
    std::mt19937 random(7);
    for (const int n : {1, 2, 3, 8, 41}) {
        for (int round = 0; round < 4; ++round) {
            std::vector<Record> records;
            for (int k = 0; k < n; ++k) records.push_back({">s" + std::to_string(k), "ACGT"});
            RunState state = StateWith(records);
            IdentityTable input(n, 1.0f);
            for (int a = 0; a < n; ++a)
                for (int b = 0; b < a; ++b) input(a, b) = static_cast<float>(a * 1000 + b) / 1e6f;
            state.InputIdentity = input;
            std::vector<int> order(static_cast<std::size_t>(n));
            std::iota(order.begin(), order.end(), 0);
            if (round > 0) std::shuffle(order.begin(), order.end(), random);
            if (round == 3) std::reverse(order.begin(), order.end());
            order.push_back(n);  // the outgroup, as the tree gives it

            ApplyDisplayOrder(state, order);
            EXPECT_TRUE(state.InputIdentity.Empty());
            ASSERT_EQ(state.IdentityMatrix.Size(), n);
            for (int a = 0; a < n; ++a) {
                EXPECT_EQ(state.SequenceList[a], records[order[a]]) << n << " " << round;
                for (int b = 0; b < n; ++b)
                    ASSERT_EQ(state.IdentityMatrix(a, b), input(order[a], order[b]))
                        << n << " " << round << " " << a << "," << b;
            }
        }
    }
}

TEST(OrderByTree, ConfigRootsTheTreeOnTheLastTaxon) {
    EXPECT_EQ(FormatTreeConfig(10), "O\r\n11\r\nY\r\n");
}

TEST(OrderByTree, WithTheOptionOffTheTreeRunsButTheInputOrderStays) {
    FakeRun run(WritesTree("((2C:0.1,0A:0.2):0.05,1B:0.3,out:0.9);"));
    WriteWholeFile(run.root.File("infile"), "distances");
    RecordingWindow window;
    RunState state = StateABC(false);
    OrderByTree(state, window.progress, run.context);

    EXPECT_EQ(run.shell.commands.size(), 1u);
    EXPECT_EQ(state.SequenceList, state.InputSequences);
    EXPECT_EQ(state.IdentityMatrix, StateABC(false).InputIdentity);
    EXPECT_TRUE(FolderEmpty(run.root.Path()));
}

TEST(OrderByTree, AnUnusableTreeIsReportedAndTheInputOrderKept) {
    struct Case {
        const char* what;
        FakeShell::Action program;
        const char* reason;
    };
    const Case cases[] = {
        {"no outtree", WritesTree(""), "the tree program wrote no \"outtree\""},
        {"unmatched leaf", WritesTree("((0A:0.1,9Z:0.2):0.05,2C:0.3,out:0.9);"),
         "the leaf '9Z' of the tree matches none of the sequences"},
        {"program failed",
         [](const std::string&, const std::string& folder) {
             WriteWholeFile(folder + "/RunNeighbor.log",
                            "Neighbor-Joining\nERROR: Species name may not contain characters\n\n");
             return ShellOutcome{ShellOutcome::Status::Ended, 5, 255, {}};
         },
         "the tree program failed (exit status 255): ERROR: Species name may not contain "
         "characters"},
    };
    for (const Case& c : cases) {
        FakeRun run(c.program);
        WriteWholeFile(run.root.File("infile"), "distances");
        RecordingWindow window;
        RunState state = StateABC(true);
        const Result<void> outcome = OrderByTree(state, window.progress, run.context);

        EXPECT_FALSE(outcome.Ok()) << c.what;
        EXPECT_EQ(window.messages,
                  std::vector<std::string>{
                      "The sequences could not be ordered by the tree: " + std::string(c.reason) +
                      ". They are shown in their input order."})
            << c.what;
        EXPECT_EQ(state.SequenceList, state.InputSequences) << c.what;
        EXPECT_EQ(state.IdentityMatrix, StateABC(false).InputIdentity) << c.what;
        EXPECT_TRUE(FolderEmpty(run.root.Path())) << c.what;

        // Nobody asked for the tree: nothing to report.
        FakeRun quiet(c.program);
        RecordingWindow quietWindow;
        RunState unordered = StateABC(false);
        OrderByTree(unordered, quietWindow.progress, quiet.context);
        EXPECT_TRUE(quietWindow.messages.empty()) << c.what;
        EXPECT_EQ(unordered.SequenceList, unordered.InputSequences) << c.what;
    }
}

TEST(OrderByTree, ACancelWhileTheTreeIsMadeLeavesTheDisplayAsItWas) {
    FakeShell* shell = nullptr;
    FakeRun run([&](const std::string&, const std::string& folder) {
        WriteWholeFile(folder + "/outtree", "((2C:0.1,0A:0.2):0.05,1B:0.3,out:0.9);");
        shell->Stop().Raise();
        return ShellOutcome{ShellOutcome::Status::Running, 0, -1, {}};  // never ends by itself
    });
    shell = &run.shell;
    WriteWholeFile(run.root.File("infile"), "distances");
    RecordingWindow window;
    RunState state = StateABC(true);
    state.SequenceList = {{">shown", "ACGT"}};
    state.IdentityMatrix = IdentityTable(1, 1.0f);
    state.treeOrder = {0, 1};
    const RunState before = state;

    const Result<void> outcome = OrderByTree(state, window.progress, run.context);
    EXPECT_TRUE(outcome.Is(ProblemKind::Cancelled));
    EXPECT_EQ(run.shell.endedEarly, run.shell.processIds);
    EXPECT_EQ(state.SequenceList, before.SequenceList);
    EXPECT_EQ(state.IdentityMatrix, before.IdentityMatrix);
    EXPECT_EQ(state.treeOrder, before.treeOrder);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.captionHistory[Control::lblProgress],
              (std::vector<std::string>{"Drawing tree", "Cancelled"}));
    EXPECT_TRUE(FolderEmpty(run.root.Path()));
}

TEST(OrderByTree, ASingleSequenceNeedsNoTree) {
    FakeRun run(WritesTree("(0A:0.5,out:0.5);"));
    WriteWholeFile(run.root.File("infile"), "distances");
    RecordingWindow window;
    RunState state = StateWith({{">A", "ACGT"}});
    state.InputIdentity = IdentityTable(1, 1.0f);
    state.treeNames = {"0A        ", "out       "};
    state.choices.useTree = true;
    EXPECT_TRUE(OrderByTree(state, window.progress, run.context).Ok());
    EXPECT_TRUE(run.shell.commands.empty());  // neighbor refuses fewer than three taxa
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(state.treeOrder, (std::vector<int>{0, 1}));
    EXPECT_EQ(state.SequenceList, state.InputSequences);
    EXPECT_TRUE(FolderEmpty(run.root.Path()));
}

// Two families of sequences, interleaved in the input; names with characters the tree program
// refuses. Debian's neighbor must bring each family together.
TEST(OrderByTree, RealNeighborGroupsEachFamily) {
    const int n = 6;
    RunState state = StateWith({{">a,1", "A"},
                                {">b(1)", "C"},
                                {">a:2", "A"},
                                {">b[2]", "C"},
                                {">a;3", "A"},
                                {">b]3", "C"}});
    state.InputIdentity = IdentityTable(n, 1.0f);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j)
                state.InputIdentity(i, j) =
                    i % 2 == j % 2 ? 0.9f + 0.01f * static_cast<float>(std::min(i, j)) : 0.6f;
    state.treeNames = MakeTreeNames(state.InputSequences, n);
    state.choices.useTree = true;

    TempFolder exchange;
    WriteWholeFile(exchange.File("infile"),
                   FormatDistanceFile(state.InputIdentity, state.treeNames, n));
    PosixShell shell;
    const AlignerConfig programs = DefaultAlignerConfig(KVR_BIN_DIR);
    RecordingWindow window;
    const Result<void> outcome = OrderByTree(
        state, window.progress, RunContext{{shell, programs, exchange.Path()}, exchange.Path()});

    ASSERT_TRUE(outcome.Ok()) << outcome.problem().message;
    EXPECT_TRUE(window.messages.empty());
    std::vector<int> sorted(state.treeOrder.begin(), state.treeOrder.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> all(n + 1);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(sorted, all);
    EXPECT_EQ(state.treeOrder.back(), n);
    // Each family fills three neighbouring places.
    int changes = 0;
    for (int a = 1; a < n; ++a) changes += state.treeOrder[a] % 2 != state.treeOrder[a - 1] % 2;
    EXPECT_EQ(changes, 1) << ::testing::PrintToString(state.treeOrder);
    EXPECT_TRUE(FolderEmpty(exchange.Path()));
}

}  // namespace
}  // namespace kvr
