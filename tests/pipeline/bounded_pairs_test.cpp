// The pairs a run aligns in a bounded band are marked in its analysis, by input order: looked up by
// the cells on display whatever order shows them, kept for the old pairs of an append (whose input
// order is the display order it extends), and gone after a run that aligns them whole.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "fakes/recording_window.h"
#include "model/bounded_pairs.h"
#include "pipeline/all_pairs.h"
#include "pipeline/tree_order.h"
#include "support/bounded_genomes.h"
#include "ui/window_progress.h"

namespace kvr {
namespace {

using testing::FakeRun;
using testing::RandomGenome;
using testing::RelatedGenome;
using MarkList = std::vector<IndexPair>;

TEST(BoundedPairs, ARunMarksThemAndAnAppendKeepsThoseOfItsOldPairsAtTheirRows) {
    const std::string a = RandomGenome(78), u = RandomGenome(79);
    FakeRun run;
    run.context.pairMemoryMegabytes = testing::kBoundingMegabytes;
    RecordingWindow window;
    WindowProgress progress(window);
    RunState state =
        testing::StateWith({{">a", a}, {">b", RelatedGenome(a, 7)}, {">u", u}}, "builtin");
    ASSERT_EQ(AlignAllPairs(state, progress, run.context), PairsEnd::Completed);
    EXPECT_EQ(state.boundedPairs, (MarkList{{0, 2}, {1, 2}}));
    EXPECT_EQ(state.builtinNotes.bounded, 2);

    // Shown as u, a, b: each cell finds its pair's mark, either way round.
    state.treeOrder = {2, 0, 1, 3};
    ApplyDisplayOrder(state, state.treeOrder);
    const struct {
        int row, column;
        bool bounded;
    } cells[] = {{0, 1, true},  {1, 0, true},  {0, 2, true},
                 {2, 1, false}, {1, 2, false}, {0, 0, false}};
    for (const auto& c : cells)
        EXPECT_EQ(IsBoundedPair(state, c.row, c.column), c.bounded) << c.row << "," << c.column;
    EXPECT_EQ(BoundedPairsInDisplayOrder(state), (MarkList{{0, 1}, {0, 2}}));

    // Appended c, like a: its pair with u is bounded, and u's old pairs stay marked at u's row.
    state.InputSequences = state.SequenceList;
    state.InputSequences.push_back({">c", RelatedGenome(a, 11)});
    state.seqCount = 4;
    state.appendCount = 1;
    ASSERT_EQ(AlignNewPairs(state, progress, run.context), PairsEnd::Completed);
    EXPECT_EQ(state.boundedPairs, (MarkList{{0, 1}, {0, 2}, {0, 3}}));
    EXPECT_EQ(state.builtinNotes.pairs, 3);
    EXPECT_EQ(state.builtinNotes.bounded, 1);

    // All of them aligned again within the default budget: none is bounded.
    run.context.pairMemoryMegabytes = kPairMemoryMegabytes;
    ASSERT_EQ(AlignAllPairs(state, progress, run.context), PairsEnd::Completed);
    EXPECT_EQ(state.boundedPairs, MarkList{});
}

}  // namespace
}  // namespace kvr
