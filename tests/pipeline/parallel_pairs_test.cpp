// The all-pairs run with several aligners at once, on the fake shell: the results, the window's
// progress, the score table and the failure reported are those of one job at a time, whatever
// order the pairs end in; cancelling and the time limit per pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>

#include "align/sequence_helpers.h"
#include "engine_fixture.h"
#include "fakes/recording_window.h"
#include "pipeline/all_pairs.h"
#include "pipeline/builtin_pairs.h"

namespace kvr {
namespace {

using testing::CopyAligner;
using testing::FakeRun;
using testing::PairOf;
using testing::StateWith;

// Seven sequences of different lengths and contents, so that every pair has its own identity.
std::vector<Record> Mixed() {
    std::vector<Record> records;
    for (int k = 0; k < 7; ++k) {
        std::string residues;
        for (int p = 0; p < 12; ++p) residues += "ACGT"[(p * (k + 1) + k) % 4];
        records.push_back({">m" + std::to_string(k), residues});
    }
    return records;
}

// Everything a run leaves that a user or the next step can see.
struct RunTrace {
    PairsEnd end = PairsEnd::Completed;
    IdentityTable identity;
    std::map<Control, std::vector<std::string>> captions;
    std::map<Control, std::vector<int>> values;
    std::vector<std::string> messages;
    std::string scoreTable;
    std::vector<std::string> filesLeft;
    int mostRunning = 0;
};

RunTrace Trace(int jobs, FakeShell::Finish finish, FakeShell::Action action = CopyAligner,
               int appended = 0, const std::string& aligner = "muscle") {
    FakeRun run(std::move(action));
    run.shell.finish = finish;
    run.context.jobs = jobs;
    RecordingWindow window;
    RunState state = StateWith(Mixed(), aligner);
    if (aligner == "clustalw") state.InputSequences[4].name = ">m1";  // pair 2 - 5: equal names
    RunTrace trace;
    WindowProgress progress(window, state.inputPath);
    if (appended > 0) {
        state.appendCount = appended;
        const int old = state.seqCount - appended;
        state.IdentityMatrix = IdentityTable(old, 1.0f);
        for (int i = 0; i < old; ++i)
            for (int j = 0; j < old; ++j)
                if (i != j) state.IdentityMatrix(i, j) = 0.25f + 0.05f * static_cast<float>(i + j);
        trace.end = AlignNewPairs(state, progress, run.context);
    } else {
        trace.end = AlignAllPairs(state, progress, run.context);
    }
    trace.identity = state.InputIdentity;
    trace.captions = window.captionHistory;
    trace.values = window.valueHistory;
    trace.messages = window.messages;
    trace.scoreTable = ReadWholeFile(run.root.File("Identity_scores_col.txt")).value_or("");
    for (const auto& entry : std::filesystem::directory_iterator(run.root.Path()))
        trace.filesLeft.push_back(entry.path().filename().string());
    std::sort(trace.filesLeft.begin(), trace.filesLeft.end());
    trace.mostRunning = run.shell.mostRunning;
    return trace;
}

void ExpectSameRun(const RunTrace& parallel, const RunTrace& sequential, const std::string& what) {
    EXPECT_EQ(parallel.end, sequential.end) << what;
    EXPECT_EQ(parallel.identity, sequential.identity) << what;
    EXPECT_EQ(parallel.captions, sequential.captions) << what;
    EXPECT_EQ(parallel.values, sequential.values) << what;
    EXPECT_EQ(parallel.messages, sequential.messages) << what;
    EXPECT_EQ(parallel.scoreTable, sequential.scoreTable) << what;
    EXPECT_EQ(parallel.filesLeft, sequential.filesLeft) << what;
}

// A fake aligner that fails on the given pairs (1-based) with exit status 1 and copies the rest.
FakeShell::Action FailsOn(std::vector<std::pair<int, int>> failing) {
    return [failing](const std::string& command, const std::string& folder) {
        for (const auto& pair : failing)
            if (PairOf(command) == pair) return ShellOutcome{ShellOutcome::Status::Ended, 0, 1, {}};
        return CopyAligner(command, folder);
    };
}

TEST(ParallelPairs, GiveTheRunOfOneJobWhateverOrderThePairsEndIn) {
    struct Case {
        const char* what;
        FakeShell::Action action;
        int appended;
        std::string aligner;
    };
    const Case cases[] = {
        {"every pair", CopyAligner, 0, "muscle"},
        {"after an append of two", CopyAligner, 2, "muscle"},
        {"one failing pair", FailsOn({{2, 5}}), 0, "muscle"},
        // The later pair ends first when the newest end first: the earlier one is reported.
        {"two failing pairs", FailsOn({{3, 4}, {2, 5}}), 0, "muscle"},
        {"a failing pair after an append", FailsOn({{4, 7}}), 2, "muscle"},
        {"equal names with ClustalW", FailsOn({{3, 4}}), 0, "clustalw"},
        {"a failing pair before equal names", FailsOn({{1, 7}}), 0, "clustalw"},
    };
    for (const Case& c : cases) {
        const RunTrace sequential =
            Trace(1, FakeShell::Finish::InStartOrder, c.action, c.appended, c.aligner);
        for (const int jobs : {2, 3, 8}) {
            for (const auto finish :
                 {FakeShell::Finish::InStartOrder, FakeShell::Finish::NewestFirst}) {
                const RunTrace parallel = Trace(jobs, finish, c.action, c.appended, c.aligner);
                ExpectSameRun(
                    parallel, sequential,
                    std::string(c.what) + ", jobs " + std::to_string(jobs) +
                        (finish == FakeShell::Finish::NewestFirst ? ", newest first" : ""));
                EXPECT_LE(parallel.mostRunning, jobs) << c.what;
            }
        }
        EXPECT_EQ(sequential.mostRunning, 1) << c.what;
    }
}

TEST(ParallelPairs, RunAsManyAlignersAsAllowedAndReportTheFirstFailureInLoopOrder) {
    const RunTrace all = Trace(4, FakeShell::Finish::NewestFirst);
    EXPECT_EQ(all.end, PairsEnd::Completed);
    EXPECT_EQ(all.mostRunning, 4);
    EXPECT_EQ(all.captions.at(Control::lblProgress).front(), "Aligning 1 - 2");
    EXPECT_EQ(all.captions.at(Control::lblProgress)[20], "Aligning 6 - 7");
    EXPECT_EQ(
        all.captions.at(Control::lblFilePath).back(),
        "Pairwise identity calculation  for /data/in.fasta  Number of alignments:  21 out of  21");
    EXPECT_TRUE(all.filesLeft.empty());  // every pair's files removed

    const RunTrace failing = Trace(4, FakeShell::Finish::NewestFirst, FailsOn({{1, 5}, {1, 4}}));
    EXPECT_EQ(failing.end, PairsEnd::Failed);
    ASSERT_EQ(failing.messages.size(), 1u);
    EXPECT_TRUE(failing.messages[0].starts_with(
        "The identity of sequences 1 and 4 could not be computed with MUSCLE: the aligner failed "
        "with exit status 1.\nSequence 1: >m0\nSequence 4: >m3\n"
        "Command: muscle -align 1_4.fas -output 1_4Aln.fas -threads 1\n"))
        << failing.messages[0];
    EXPECT_EQ(failing.captions.at(Control::lblProgress).back(), "Failed");
    EXPECT_EQ(failing.captions.at(Control::lblProgress).end()[-2], "Aligning 1 - 4");
    EXPECT_TRUE(failing.filesLeft.empty());  // no pair file of a pair ended early
}

TEST(ParallelPairs, ACancelEndsTheRunningAlignersAndLeavesTheAnalysisOnDisplay) {
    for (const int jobs : {1, 3}) {
        FakeShell* shell = nullptr;
        FakeRun run([&](const std::string& command, const std::string& folder) {
            // The user cancels while pair 2 - 3 runs; it never ends by itself.
            if (PairOf(command) == std::make_pair(2, 3)) {
                shell->Stop().Raise();
                return ShellOutcome{ShellOutcome::Status::Running, 0, -1, {}};
            }
            return CopyAligner(command, folder);
        });
        shell = &run.shell;
        run.context.jobs = jobs;
        RecordingWindow window;
        RunState state = StateWith(Mixed());
        state.SequenceList = {{">shown", "ACGT"}};
        state.IdentityMatrix = IdentityTable(1, 1.0f);
        const RunState before = state;

        EXPECT_EQ(AlignAllPairs(state, window.progress, run.context), PairsEnd::Cancelled) << jobs;
        EXPECT_TRUE(window.messages.empty()) << jobs;
        EXPECT_EQ(window.Caption(Control::lblProgress), "Cancelled");
        EXPECT_EQ(window.Value(Control::ProgressBar1), 0);
        EXPECT_EQ(window.Caption(Control::lblPrgPercent), "");
        EXPECT_EQ(state.SequenceList, before.SequenceList);
        EXPECT_EQ(state.IdentityMatrix, before.IdentityMatrix);
        EXPECT_EQ(state.treeNames, before.treeNames);
        // Every process still running was ended: the hanging one and those started after it.
        const std::size_t hanging = static_cast<std::size_t>(7 - 1);  // pairs 1-2 ... 1-7 first
        ASSERT_GT(run.shell.commands.size(), hanging) << jobs;
        EXPECT_EQ(PairOf(run.shell.commands[hanging]), std::make_pair(2, 3));
        EXPECT_NE(std::find(run.shell.endedEarly.begin(), run.shell.endedEarly.end(),
                            run.shell.processIds[hanging]),
                  run.shell.endedEarly.end())
            << jobs;
        EXPECT_EQ(run.shell.commands.size(), hanging + 1) << jobs;  // none after the cancel
        EXPECT_TRUE(std::filesystem::is_empty(run.root.Path())) << jobs;
    }

    // A stop requested before the run starts nothing.
    FakeRun early;
    early.shell.Stop().Raise();
    RecordingWindow window;
    RunState state = StateWith(Mixed());
    EXPECT_EQ(AlignAllPairs(state, window.progress, early.context), PairsEnd::Cancelled);
    EXPECT_TRUE(early.shell.commands.empty());
}

TEST(ParallelPairs, APairPastItsTimeLimitIsEndedAndNamed) {
    FakeRun run([](const std::string& command, const std::string& folder) {
        if (PairOf(command) == std::make_pair(3, 6))
            return ShellOutcome{ShellOutcome::Status::Running, 0, -1, {}};
        return CopyAligner(command, folder);
    });
    run.context.jobs = 3;
    run.context.pairTimeoutSeconds = 2.5;
    RecordingWindow window;
    RunState state = StateWith(Mixed());
    EXPECT_EQ(AlignAllPairs(state, window.progress, run.context), PairsEnd::Failed);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(
        window.messages[0],
        "The identity of sequences 3 and 6 could not be computed with MUSCLE: the aligner "
        "was still running after 2.5 seconds, the time limit for one pair, and has been "
        "ended.\nSequence 3: >m2\nSequence 6: >m5\n"
        "Command: muscle -align 3_6.fas -output 3_6Aln.fas -threads 1\nThe run has been stopped.");
    EXPECT_FALSE(run.shell.endedEarly.empty());
    EXPECT_TRUE(std::filesystem::is_empty(run.root.Path()));
}

// The built-in aligner keeps the time limit too: the pair still aligning at the limit fails as
// timed out, the pairs after it are not started, and the wait is the limit, not the pair's time.
TEST(ParallelPairs, TheBuiltInAlignerKeepsThePairTimeLimit) {
    std::mt19937 random(21);
    const auto bases = [&random](std::size_t n) {
        return align::testing::RandomSequence(random, n, "ACGT");
    };
    const Record shortA{">a", "ACGTACGTTAGC"}, shortB{">b", "ACGTTCGTTAGC"};
    // Two unrelated 20 kb sequences take over a second even on fast processors: far past the
    // limit, wherever the test runs.
    const Record longA{">la", bases(20000)}, longB{">lb", bases(20000)};
    const std::vector<std::pair<const Record*, const Record*>> pairs = {
        {&shortA, &shortB}, {&longA, &longB}, {&shortA, &longB}, {&shortB, &shortA}};
    RecordingWindow window;
    StopRequest stop;
    const auto start = std::chrono::steady_clock::now();
    BuiltinPool pool(2);
    const auto results = AlignBuiltinPairs(pool, pairs, window.progress, stop, 0.3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(results.size(), 4u);
    EXPECT_TRUE(results[0].outcome.Ok());
    EXPECT_FLOAT_EQ(results[0].identity, 11.0f / 12);
    EXPECT_TRUE(results[1].outcome.Is(ProblemKind::TimedOut));
    EXPECT_EQ(results[1].outcome.problem().message,
              "the built-in aligner was still aligning the pair after 0.3 seconds, the time "
              "limit for one pair, and has been stopped");
    EXPECT_TRUE(results[2].outcome.Is(ProblemKind::Cancelled));
    EXPECT_TRUE(results[3].outcome.Is(ProblemKind::Cancelled));
    // Without a limit, and with pairs within it, every pair is aligned.
    for (const double limit : {0.0, 30.0}) {
        const auto quick = AlignBuiltinPairs(pool, {{&shortA, &shortB}, {&shortB, &shortA}},
                                             window.progress, stop, limit);
        EXPECT_TRUE(quick[1].outcome.Ok()) << limit;
    }
}

// A long pair moves the progress while it is aligned (piece by piece, pass by pass), so that the
// bar does not stand still for the seconds it takes; done, the pairs count whole.
TEST(ParallelPairs, TheBuiltInAlignerTellsItsProgressWithinAPair) {
    std::mt19937 random(22);
    // Unrelated 100 kb genomes: about a second of work, many of the 40 ms ticks.
    const Record a{">a", align::testing::RandomSequence(random, 100000, "ACGT")};
    const Record b{">b", align::testing::RandomSequence(random, 100000, "ACGT")};
    RecordingWindow window;
    StopRequest stop;
    BuiltinPool pool(1);
    std::vector<double> told;
    const auto results =
        AlignBuiltinPairs(pool, {{&a, &b}}, window.progress, stop, 0, nullptr, AmbiguityRule::Count,
                          [&](double done) { told.push_back(done); });
    ASSERT_TRUE(results[0].outcome.Ok());
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_GE(std::count_if(told.begin(), told.end(), [](double d) { return d > 0 && d < 1; }), 3);
    EXPECT_LE(told.back(), 1.0);
}

// The built-in aligner's threads are started once and serve every batch of the run, with the
// results of one thread.
TEST(ParallelPairs, TheBuiltInPoolKeepsItsThreadsForEveryBatch) {
    const auto threads = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                             std::filesystem::directory_iterator());
    };
    std::mt19937 random(3);
    std::vector<Record> records;
    for (int k = 0; k < 12; ++k) {
        records.push_back(
            {">r" + std::to_string(k), align::testing::RandomSequence(random, 60 + 7 * k, "ACGT")});
    }
    std::vector<std::pair<const Record*, const Record*>> pairs;
    for (std::size_t a = 0; a < records.size(); ++a)
        for (std::size_t b = a + 1; b < records.size(); ++b)
            pairs.emplace_back(&records[a], &records[b]);

    const auto before = threads();
    BuiltinPool pool(3);
    BuiltinPool one(1);
    EXPECT_EQ(threads(), before + 4);
    RecordingWindow window;
    StopRequest stop;
    const auto alone = AlignBuiltinPairs(one, pairs, window.progress, stop);
    for (int batch = 0; batch < 4; ++batch) {
        const auto results = AlignBuiltinPairs(pool, pairs, window.progress, stop);
        ASSERT_EQ(results.size(), pairs.size());
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            EXPECT_TRUE(results[k].outcome.Ok()) << k;
            EXPECT_EQ(results[k].identity, alone[k].identity) << k;
        }
        EXPECT_EQ(threads(), before + 4) << batch;
    }
}

}  // namespace
}  // namespace kvr
