// The engine with Debian's aligners and neighbor, started for real on small real data.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "fakes/recording_window.h"
#include "io/fasta.h"
#include "io/file_io.h"
#include "io/program_folder.h"
#include "pipeline/aligner_version.h"
#include "pipeline/all_pairs.h"
#include "pipeline/pair_identity.h"
#include "pipeline/run_aligner.h"
#include "pipeline/tree_order.h"
#include "platform/posix_shell.h"
#include "support/process_watch.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::TempFolder;

// The first count records of a test data file, loaded as the program loads them.
RunState Load(const std::string& file, int count, const std::string& aligner) {
    const std::string text = *ReadWholeFile(DataFile(file));
    std::size_t end = 0;
    for (int k = 0; k <= count && end != std::string::npos; ++k)
        end = text.find('>', end + (k > 0));
    TempFolder folder;
    RunState state;
    RecordingWindow window;
    LoadFasta(state, window.progress, folder.Write("subset.fasta", text.substr(0, end)));
    EXPECT_EQ(state.seqCount, count);
    state.choices.AlignerKind = AlignerNamed(aligner);
    return state;
}

// The aligner's own answer for a pair, run by hand with its Debian command line.
float DirectIdentity(const std::string& aligner, const Record& first, const Record& second) {
    const std::string command = aligner == "muscle" ? "muscle -align p.fas -output q.fas"
                                : aligner == "clustalw"
                                    ? "clustalw p.fas -type=DNA -output=fasta -outfile=q.fas"
                                    : "mafft --localpair p.fas > q.fas";
    TempFolder folder;
    folder.Write("p.fas", FormatFastaRecord(first) + FormatFastaRecord(second));
    PosixShell shell;
    const ShellOutcome outcome = shell.Run("exec >/dev/null 2>&1; " + command, folder.Path());
    EXPECT_EQ(outcome.exitCode, 0) << command;
    const Result<float> score = PairIdentity(folder.File("q.fas"));
    EXPECT_TRUE(score.Ok()) << score.problem().message;  // read only on failure
    return score ? score.value() : -1.0f;
}

struct RealRun {
    TempFolder exchange;
    PosixShell shell;
    AlignerConfig programs = DefaultAlignerConfig(KVR_BIN_DIR);
    RunContext context{{shell, programs, exchange.Path()}, exchange.Path()};
};

TEST(RealAligners, EachAlignerStartsWithItsCommandLineInTheExchangeFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"muscle", "muscle -align 1_2.fas -output 1_2Aln.fas -threads 1"},
        {"clustalw", "clustalw 1_2.fas -type=DNA -output=fasta -outfile=1_2Aln.fas"},
        {"mafft", "mafft --localpair 1_2.fas > 1_2Aln.fas"},
    };
    for (const auto& [aligner, commandLine] : cases) {
        RealRun run;
        RunState state = Load("rrna5s_48.fasta", 2, aligner);
        WriteWholeFile(run.exchange.File("1_2.fas"),
                       FormatFastaRecord(state.InputSequences[0]) +
                           FormatFastaRecord(state.InputSequences[1]));
        const std::string before = CurrentDirectory();
        const PairResult result =
            RunAligner(run.context, *AlignerNamed(aligner), "1_2.fas", "1_2Aln.fas");
        EXPECT_TRUE(result.outcome.Ok()) << aligner << ": " << result.outcome.problem().message;
        EXPECT_EQ(result.command, commandLine);
        EXPECT_GT(result.processId, 0) << aligner;
        EXPECT_EQ(result.exitCode, 0) << aligner;
        EXPECT_EQ(CurrentDirectory(), before) << aligner;
        EXPECT_TRUE(PairIdentity(run.exchange.File("1_2Aln.fas")).Ok()) << aligner;
    }
}

TEST(RealAligners, TheTableHoldsTheIdentityOfEachAlignersOwnOutput) {
    for (const char* aligner : {"muscle", "clustalw", "mafft"}) {
        RealRun run;
        RecordingWindow window;
        // Three sequences: three pairs, each aligned twice, keep the test short.
        RunState state = Load("its1_68.fasta", 3, aligner);
        ASSERT_EQ(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed)
            << aligner << ": " << ::testing::PrintToString(window.messages);
        for (int i = 0; i < 3; ++i)
            for (int j = i + 1; j < 3; ++j)
                EXPECT_EQ(state.InputIdentity(i, j),
                          DirectIdentity(aligner, state.InputSequences[i], state.InputSequences[j]))
                    << aligner << " " << i << "," << j;
        // No pair file, log or ClustalW guide tree is left behind.
        EXPECT_TRUE(std::filesystem::is_empty(run.exchange.Path())) << aligner;
    }
}

TEST(RealAligners, SeveralAtOnceGiveTheTableOfOneAtATime) {
    for (const char* aligner : {"muscle", "clustalw", "mafft"}) {
        IdentityTable tables[2];
        std::vector<std::string> captions[2];
        for (const int jobs : {1, 3}) {
            RealRun run;
            run.context.jobs = jobs;
            RecordingWindow window;
            RunState state = Load("rrna5s_48.fasta", 3, aligner);  // three pairs, all at once
            EXPECT_EQ(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed)
                << aligner;
            tables[jobs > 1] = state.InputIdentity;
            captions[jobs > 1] = window.captionHistory[Control::lblProgress];
        }
        EXPECT_EQ(tables[1], tables[0]) << aligner;
        EXPECT_EQ(captions[1], captions[0]) << aligner;
    }
}

// Aligners that take long, each with a child of its own (as MAFFT's script has): a cancel ends
// them all and removes every file of their pairs.
TEST(RealAligners, ACancelEndsEveryRunningAlignerAndItsChildren) {
    TempFolder watch;
    RealRun run;
    run.context.jobs = 2;
    run.programs.muscle.value = "sleep 30 & echo $! >> " + watch.File("pids") + "; echo $$ >> " +
                                watch.File("pids") + "; wait";
    RunState state = Load("rrna5s_48.fasta", 4, "muscle");
    state.IdentityMatrix = IdentityTable(2, 0.5f);
    const IdentityTable shown = state.IdentityMatrix;
    std::thread cancel([&] {
        testing::WaitForIds(watch.File("pids"), 4);
        run.shell.Stop().Raise();
    });
    RecordingWindow window;
    const PairsEnd end = AlignAllPairs(state, window.progress, run.context);
    cancel.join();
    EXPECT_EQ(end, PairsEnd::Cancelled);
    EXPECT_EQ(window.Caption(Control::lblProgress), "Cancelled");
    EXPECT_EQ(state.IdentityMatrix, shown);
    const auto ids = testing::ReadIds(watch.File("pids"));
    EXPECT_EQ(ids.size(), 4u);  // two aligners at once, none started after the cancel
    EXPECT_EQ(testing::StillRunning(ids), std::vector<int>{});
    EXPECT_TRUE(std::filesystem::is_empty(run.exchange.Path()));
}

TEST(RealAligners, ClustalWRefusesTwoEqualNames) {
    TempFolder folder;
    RunState state;
    RecordingWindow window;
    ASSERT_EQ(LoadFasta(state, window.progress,
                        folder.Write("dup.fasta",
                                     ">one\nACGTACGTTT\n>two\nACGTACGAAA\n>one\nACGAACGTTT\n")),
              LoadEnd::Loaded);
    state.choices.AlignerKind = Aligner::Clustalw;
    RealRun run;
    EXPECT_NE(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].find("identical name '>one'"), std::string::npos)
        << window.messages[0];
    EXPECT_FALSE(std::filesystem::exists(run.exchange.File("infile")));
}

TEST(RealAligners, AFreshRunThenTheTreeOfNeighbor) {
    for (const int n : {2, 8}) {
        RealRun run;
        RecordingWindow window;
        RunState state = Load("rrna5s_48.fasta", n, "muscle");
        state.choices.useTree = true;
        ASSERT_EQ(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed) << n;
        const IdentityTable inputOrder = state.InputIdentity;
        const Result<void> tree = OrderByTree(state, window.progress, run.context);
        ASSERT_TRUE(tree.Ok()) << n << ": " << tree.problem().message;
        EXPECT_TRUE(window.messages.empty()) << n;
        EXPECT_EQ(state.treeOrder.back(), n);
        for (int a = 0; a < n; ++a) {
            EXPECT_EQ(state.SequenceList[a], state.InputSequences[state.treeOrder[a]]);
            for (int b = 0; b < n; ++b)
                EXPECT_EQ(state.IdentityMatrix(a, b),
                          inputOrder(state.treeOrder[a], state.treeOrder[b]));
        }
        EXPECT_TRUE(std::filesystem::is_empty(run.exchange.Path())) << n;
    }
}

TEST(RealAligners, AppendingOneSequenceToNineKeepsTheOldScores) {
    RealRun run;
    RecordingWindow window;
    RunState state = Load("rrna5s_48.fasta", 10, "muscle");
    const Record appended = state.InputSequences.back();
    state.InputSequences.pop_back();
    state.seqCount = 9;
    ASSERT_EQ(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed);
    OrderByTree(state, window.progress,
                run.context);  // display order = input order (tree option off)
    const IdentityTable before = state.IdentityMatrix;

    // The append puts the display order first, then the new record.
    state.InputSequences = state.SequenceList;
    state.InputSequences.push_back(appended);
    state.seqCount = 10;
    state.appendCount = 1;
    ASSERT_EQ(AlignNewPairs(state, window.progress, run.context), PairsEnd::Completed)
        << ::testing::PrintToString(window.messages);
    for (int i = 0; i < 9; ++i) {
        for (int j = 0; j < 9; ++j) EXPECT_EQ(state.InputIdentity(i, j), before(i, j));
        EXPECT_EQ(state.InputIdentity(i, 9),
                  DirectIdentity("muscle", state.InputSequences[i], appended))
            << i;
    }
    const auto table = ReadWholeFile(run.exchange.File("Identity_scores_col.txt"));
    ASSERT_TRUE(table);
    EXPECT_EQ(std::count(table->begin(), table->end(), '\n'), 46);
}

// Each of Debian's aligners names its release in the line kept for the session's record.
TEST(RealAligners, EachAlignerReportsItsVersion) {
    RealRun run;
    const struct {
        const char* kind;
        const char* starts;
    } cases[] = {{"muscle", "muscle 5."}, {"clustalw", "CLUSTAL 2."}, {"mafft", "v7."}};
    for (const auto& c : cases) {
        const std::string version =
            AlignerVersion(run.shell, run.programs, *AlignerNamed(c.kind), run.exchange.Path());
        EXPECT_TRUE(version.starts_with(c.starts)) << c.kind << ": " << version;
    }
}

}  // namespace
}  // namespace kvr
