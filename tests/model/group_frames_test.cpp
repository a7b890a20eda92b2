// The blocks of each group's cells in display order: one square for a group kept together, and
// for a group split into runs a square per run and a block per two runs; groups of one have none.
#include "model/group_frames.h"

#include <gtest/gtest.h>

#include "model/identity_table.h"

namespace kvr {
namespace {

TEST(GroupBlocks, FramesEveryRunOfAGroupAndEveryTwoRuns) {
    struct Case {
        const char* name;
        std::vector<int> groupAt;  // per display position
        std::vector<CellBlock> blocks;
    };
    const Case cases[] = {
        {"groups kept together", {1, 1, 2, 2, 2}, {{0, 1, 0, 1, 1}, {2, 4, 2, 4, 2}}},
        {"groups of one are not framed", {1, 2, 2, 3}, {{1, 2, 1, 2, 2}}},
        {"one group split in two runs",
         {1, 2, 1},
         {{0, 0, 0, 0, 1}, {0, 0, 2, 2, 1}, {2, 2, 2, 2, 1}}},
        {"two groups split",
         {2, 1, 1, 2, 1, 3},
         {{1, 2, 1, 2, 1},
          {1, 2, 4, 4, 1},
          {4, 4, 4, 4, 1},
          {0, 0, 0, 0, 2},
          {0, 0, 3, 3, 2},
          {3, 3, 3, 3, 2}}},
        {"every sequence alone", {1, 2, 3}, {}},
        {"no sequence", {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(GroupBlocks(c.groupAt), c.blocks) << c.name;
}

// Two families, A (input 0, 1, 2) and B (3, 4), and a loner (5), shown in an order that puts B's
// first member between A's: the groups are made in input order (as --groups makes them) and
// their blocks found in the display order.
TEST(GroupBlocks, AnalysisBlocksFollowTheDisplayOrder) {
    const std::vector<int> family = {0, 0, 0, 1, 1, 2};
    const std::vector<int> display = {0, 1, 3, 2, 4, 5};  // input index at each row
    Analysis analysis;
    analysis.seqCount = 6;
    analysis.treeOrder = display;
    analysis.IdentityMatrix = IdentityTable(6, 1.0f);
    for (int d = 0; d < 6; ++d) {
        analysis.SequenceList.push_back({">s" + std::to_string(display[d]), "ACGT"});
        for (int e = 0; e < 6; ++e)
            if (d != e)
                analysis.IdentityMatrix(d, e) =
                    family[display[d]] == family[display[e]] ? 0.96f : 0.5f;
    }
    const std::vector<std::string> names = {"s0", "s1", "s2", "s3", "s4", "s5"};
    EXPECT_EQ(AnalysisGroupBlocks(analysis, names, 95, Linkage::Complete),
              (std::vector<CellBlock>{{0, 1, 0, 1, 1},
                                      {0, 1, 3, 3, 1},
                                      {3, 3, 3, 3, 1},
                                      {2, 2, 2, 2, 2},
                                      {2, 2, 4, 4, 2},
                                      {4, 4, 4, 4, 2}}));
    // Above every identity of the families: nothing to frame.
    EXPECT_TRUE(AnalysisGroupBlocks(analysis, names, 97, Linkage::Single).empty());
}

}  // namespace
}  // namespace kvr
