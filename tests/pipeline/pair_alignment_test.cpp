// One pair aligned on demand: the run's identity for it, the rows in the order asked whatever
// order the aligner gives them back in, coverage, and the failures said.
#include "pipeline/pair_alignment.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "fakes/recording_window.h"
#include "io/fasta.h"
#include "pipeline/builtin_pairs.h"

namespace kvr {
namespace {

using testing::FakeRun;
using testing::PairFile;
using testing::PairOf;

RecordTable FirstRecords(const std::string& file, std::size_t count) {
    const auto text = ReadWholeFile(testing::DataFile(file));
    EXPECT_TRUE(text.has_value());
    RecordTable records(static_cast<std::size_t>(std::count(text->begin(), text->end(), '>')));
    int maxNameLen = 0;
    EXPECT_TRUE(ParseFastaRecords(CleanFastaText(*text), records, 0, maxNameLen));
    records.resize(std::min(count, records.size()));
    return records;
}

TEST(AlignRecordPair, BuiltinGivesTheRunsIdentityOfEveryPairInEitherOrder) {
    const RecordTable records = FirstRecords("orchid_its.fasta", 10);
    std::vector<std::pair<const Record*, const Record*>> pairs;
    for (std::size_t i = 0; i < records.size(); ++i)
        for (std::size_t j = i + 1; j < records.size(); ++j)
            pairs.emplace_back(&records[i], &records[j]);
    RecordingWindow window;
    StopRequest stop;
    BuiltinPool pool(2);
    const std::vector<PairResult> run = AlignBuiltinPairs(pool, pairs, window.progress, stop);

    FakeRun fake;
    const PairAlignmentSetup setup{fake.shell, fake.programs, fake.root.Path()};
    std::size_t k = 0;
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        for (int j = i + 1; j < static_cast<int>(records.size()); ++j, ++k) {
            ASSERT_TRUE(run[k].outcome.Ok());
            const AlignedPair pair = AlignRecordPair(setup, Aligner::Builtin, records, i, j);
            ASSERT_TRUE(pair.outcome.Ok()) << pair.outcome.problem().message;
            EXPECT_EQ(pair.identity, run[k].identity) << i << "," << j;
            const AlignedPair back = AlignRecordPair(setup, Aligner::Builtin, records, j, i);
            EXPECT_EQ(back.identity, pair.identity);
            EXPECT_EQ(back.first, pair.second);
            EXPECT_EQ(back.second, pair.first);
            EXPECT_EQ(back.coverage.first, pair.coverage.second);
        }
    }
    EXPECT_TRUE(fake.shell.commands.empty());
}

// An aligner that gives the pair back the other way round, with a column of gaps ahead.
ShellOutcome SwappingAligner(const std::string& command, const std::string& folder) {
    const auto pair = ReadWholeFile(PairFile(folder, command, ".fas"));
    const auto second = pair->find('>', 1);
    const auto line = [](const std::string& record) {
        const auto end = record.find('\n');
        return record.substr(0, end + 1) + "-" + record.substr(end + 1);
    };
    WriteWholeFile(PairFile(folder, command, "Aln.fas"),
                   line(pair->substr(second)) + line(pair->substr(0, second)));
    return {ShellOutcome::Status::Ended, 4242, 0, {}};
}

TEST(AlignRecordPair, ExternalRowsComeInTheOrderAskedFromThePairFileOfTheRun) {
    const RecordTable records = {{">a", "ACGTACGTAA"}, {">b", "CCCC"}, {">c", "ACGTACGTTA"}};
    FakeRun fake(SwappingAligner);
    const PairAlignmentSetup setup{fake.shell, fake.programs, fake.root.Path()};
    const AlignedPair pair = AlignRecordPair(setup, Aligner::Muscle, records, 2, 0);
    ASSERT_TRUE(pair.outcome.Ok()) << pair.outcome.problem().message;
    ASSERT_EQ(fake.shell.commands.size(), 1u);
    EXPECT_EQ(PairOf(fake.shell.commands[0]), std::make_pair(1, 3));  // as the run names it
    EXPECT_EQ(pair.first, "-ACGTACGTTA");
    EXPECT_EQ(pair.second, "-ACGTACGTAA");
    EXPECT_EQ(pair.counts, (ColumnCounts{11, 10, 9, true, 10, 9}));  // no ambiguity code
    EXPECT_EQ(pair.identity, 0.9f);
}

TEST(AlignRecordPair, SaysWhyAPairHasNoAlignment) {
    const RecordTable records = {{">a", "ACGT"}, {">a", "ACGA"}, {">c", "ACCA"}};
    FakeRun silent([](const std::string&, const std::string&) {
        return ShellOutcome{ShellOutcome::Status::Ended, 1, 0, {}};
    });
    const PairAlignmentSetup setup{silent.shell, silent.programs, silent.root.Path()};
    struct Case {
        const char* kind;
        int i, j;
        ProblemKind problem;
        const char* said;
    };
    const Case cases[] = {
        {"muscle", 0, 2, ProblemKind::NoOutput, "wrote no output file 1_3Aln.fas"},
        {"clustalw", 1, 0, ProblemKind::NotStarted, "two sequences of the same name (>a)"},
        {"muscle", 1, 1, ProblemKind::NotStarted, "two different sequences"},
        {"builtin", 0, 3, ProblemKind::NotStarted, "two different sequences"},
    };
    for (const Case& c : cases) {
        const AlignedPair pair = AlignRecordPair(setup, *AlignerNamed(c.kind), records, c.i, c.j);
        EXPECT_TRUE(pair.outcome.Is(c.problem)) << c.kind << c.i << c.j;
        EXPECT_NE(pair.outcome.problem().message.find(c.said), std::string::npos)
            << pair.outcome.problem().message;
        EXPECT_TRUE(pair.first.empty() && pair.second.empty());
    }
    EXPECT_EQ(silent.shell.commands.size(), 1u);  // ClustalW was not started
}

TEST(CoverageOf, IsTheGapFreeColumnsOverEachLength) {
    struct Case {
        long gapFree;
        std::size_t first, second;
        double expectFirst, expectSecond;
    };
    const Case cases[] = {
        {60, 60, 600, 1.0, 0.1},  // a fragment covers a tenth of its partner
        {3, 4, 6, 0.75, 0.5},
        {0, 5, 0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        const PairCoverage coverage = CoverageOf(c.gapFree, c.first, c.second);
        EXPECT_DOUBLE_EQ(coverage.first, c.expectFirst);
        EXPECT_DOUBLE_EQ(coverage.second, c.expectSecond);
    }
}

}  // namespace
}  // namespace kvr
