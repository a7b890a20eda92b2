// Sequences with the same residues: the built-in aligner aligns a repeated pair once, and every
// pair still gets the identity it has when aligned on its own.
#include <gtest/gtest.h>

#include <random>

#include "align/sequence_helpers.h"
#include "engine_fixture.h"
#include "fakes/recording_window.h"
#include "pipeline/all_pairs.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/twin_pairs.h"

namespace kvr {
namespace {

using testing::FakeRun;
using testing::StateWith;

// Fourteen sequences of 40 to 92 bases, records 5, 9 and 12 the same as 1, 3 and 1 with another
// name: 91 pairs, more than one batch of a one-thread run.
std::vector<Record> WithTwins() {
    std::mt19937 random(5);
    std::vector<Record> records;
    for (int k = 0; k < 14; ++k) {
        records.push_back(
            {">s" + std::to_string(k), align::testing::RandomSequence(random, 40 + 4 * k, "ACGT")});
    }
    records[5].residues = records[1].residues;
    records[9].residues = records[3].residues;
    records[12].residues = records[1].residues;
    return records;
}

TEST(TwinPairs, KeyThePairsATwinMayRepeatInTheirOwnOrder) {
    const std::vector<Record> records = WithTwins();
    const TwinPairs twins(records);
    const auto key = [&](int i, int j) {
        return twins.Key(records[i].residues, records[j].residues);
    };
    ASSERT_TRUE(key(1, 2));
    EXPECT_EQ(key(1, 2), key(5, 2));
    EXPECT_EQ(key(1, 2), key(12, 2));
    EXPECT_EQ(key(2, 9), key(2, 3));
    EXPECT_EQ(key(1, 3), key(12, 9));
    EXPECT_EQ(key(1, 5), key(12, 1));  // a twin with itself
    EXPECT_NE(key(1, 2), key(2, 1));   // the other order may align otherwise
    EXPECT_NE(key(1, 2), key(1, 4));
    EXPECT_FALSE(key(0, 2));                               // no twin: no pair repeats it
    EXPECT_FALSE(twins.Key(records[1].residues, "ACGT"));  // not a sequence of the run

    std::vector<Record> unique = records;
    unique[5].residues += "A";
    unique[9].residues += "C";
    unique[12].residues += "G";
    const TwinPairs none(unique);
    for (const Record& a : unique)
        for (const Record& b : unique) EXPECT_FALSE(none.Key(a.residues, b.residues));
}

TEST(TwinPairs, ARepeatedPairTakesTheCountsOfTheFirstWithinABatchAndAfter) {
    const std::vector<Record> records = WithTwins();
    std::vector<std::pair<const Record*, const Record*>> pairs = {{&records[1], &records[2]},
                                                                  {&records[5], &records[2]},
                                                                  {&records[2], &records[5]},
                                                                  {&records[12], &records[9]},
                                                                  {&records[0], &records[4]}};
    RecordingWindow window;
    StopRequest stop;
    BuiltinPool pool(2);
    const auto alone = AlignBuiltinPairs(pool, pairs, window.progress, stop);
    TwinPairs twins(records);
    const auto once = AlignBuiltinPairs(pool, pairs, window.progress, stop, 0, &twins);
    ASSERT_EQ(once.size(), pairs.size());
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        EXPECT_TRUE(once[k].outcome.Ok()) << k;
        EXPECT_EQ(once[k].identity, alone[k].identity) << k;
        EXPECT_EQ(once[k].counts.columns, alone[k].counts.columns) << k;
        EXPECT_EQ(once[k].command, alone[k].command) << k;
    }
    // The counts were kept for the later calls of the run, and are what those take.
    const auto key = twins.Key(records[1].residues, records[2].residues);
    ASSERT_TRUE(key);
    const auto kept = twins.Find(*key);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->columns, static_cast<std::uint32_t>(alone[0].counts.columns));
    EXPECT_FALSE(twins.Find(*twins.Key(records[0].residues, records[1].residues)));
    const align::PairCounts planted{align::Status::Ok, 10, 8, 6};
    twins.Keep(*twins.Key(records[0].residues, records[1].residues), planted);
    const auto later =
        AlignBuiltinPairs(pool, {{&records[0], &records[12]}}, window.progress, stop, 0, &twins);
    EXPECT_FLOAT_EQ(later[0].identity, 0.75f);
    EXPECT_EQ(later[0].counts.columns, 10);
}

// A whole run on one thread, several batches: the identity table of pairs aligned one by one.
TEST(TwinPairs, ARunWithTwinsHasTheIdentitiesOfEveryPairAlignedAlone) {
    const std::vector<Record> records = WithTwins();
    FakeRun run;
    run.context.jobs = 1;
    RecordingWindow window;
    RunState state = StateWith(records, "builtin");
    ASSERT_EQ(AlignAllPairs(state, window.progress, run.context), PairsEnd::Completed);

    std::vector<std::pair<const Record*, const Record*>> pairs;
    for (std::size_t i = 0; i < records.size(); ++i)
        for (std::size_t j = i + 1; j < records.size(); ++j)
            pairs.emplace_back(&records[i], &records[j]);
    StopRequest stop;
    BuiltinPool pool(2);
    const auto alone = AlignBuiltinPairs(pool, pairs, window.progress, stop);
    std::size_t k = 0;
    for (int i = 0; i < state.seqCount; ++i)
        for (int j = i + 1; j < state.seqCount; ++j, ++k) {
            EXPECT_EQ(state.InputIdentity(i, j), alone[k].identity) << i << " " << j;
            EXPECT_EQ(state.InputIdentity(j, i), alone[k].identity) << i << " " << j;
        }
}

}  // namespace
}  // namespace kvr
