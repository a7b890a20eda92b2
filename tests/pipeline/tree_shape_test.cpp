// The tree read for drawing beside the rows: depths with negative branches as none, heights in
// rows, quoted names, deep trees, and only a tree whose leaves are the rows on display.
#include "io/tree_shape.h"

#include <gtest/gtest.h>

#include "support/analysis_state.h"

namespace kvr {
namespace {

TEST(TreeShape, DepthsAndRowsOfEveryNode) {
    const auto tree = ReadTreeShape("((a:0.1,'b c':0.3):0.2,\n(d:-0.05,'it''s':0.1):0.1);");
    ASSERT_TRUE(tree.has_value());
    EXPECT_EQ(tree->leaves, (std::vector<std::string>{"a", "b c", "d", "it's"}));
    // Preorder: root, (a,b c), a, b c, (d,it's), d, it's.
    ASSERT_EQ(tree->nodes.size(), 7u);
    struct Expected {
        int parent;
        double depth, y, firstY, lastY;
        bool leaf;
    };
    const Expected expected[] = {
        {-1, 0.0, 2.0, 1.0, 3.0, false}, {0, 0.2, 1.0, 0.5, 1.5, false},
        {1, 0.3, 0.5, 0.5, 0.5, true},   {1, 0.5, 1.5, 1.5, 1.5, true},
        {0, 0.1, 3.0, 2.5, 3.5, false},  {4, 0.1, 2.5, 2.5, 2.5, true},  // -0.05 drawn as 0
        {4, 0.2, 3.5, 3.5, 3.5, true},
    };
    for (std::size_t k = 0; k < 7; ++k) {
        const TreeShape::Node& node = tree->nodes[k];
        EXPECT_EQ(node.parent, expected[k].parent) << k;
        EXPECT_DOUBLE_EQ(node.depth, expected[k].depth) << k;
        EXPECT_DOUBLE_EQ(node.y, expected[k].y) << k;
        EXPECT_DOUBLE_EQ(node.firstY, expected[k].firstY) << k;
        EXPECT_DOUBLE_EQ(node.lastY, expected[k].lastY) << k;
        EXPECT_EQ(node.leaf, expected[k].leaf) << k;
    }
    EXPECT_DOUBLE_EQ(tree->height, 0.5);

    // Three children at the root, as a neighbour-joining tree has them; no lengths at all.
    const auto flat = ReadTreeShape("(x,y,z);");
    ASSERT_TRUE(flat.has_value());
    EXPECT_DOUBLE_EQ(flat->height, 0);
    EXPECT_DOUBLE_EQ(flat->nodes[0].firstY, 0.5);
    EXPECT_DOUBLE_EQ(flat->nodes[0].lastY, 2.5);
}

TEST(TreeShape, RefusesWhatIsNoTree) {
    for (const char* text : {"(a,b", "(a,b));", "(a,);", "(a:x,b);", "('a,b);", "", "a,b;"})
        EXPECT_FALSE(ReadTreeShape(text).has_value()) << text;
}

TEST(TreeShape, ReadsACaterpillarOfThousandsOfLeaves) {
    constexpr int kLeaves = 50000;
    std::string text;
    for (int k = 1; k < kLeaves; ++k) text += "(s" + std::to_string(k) + ":1,";
    text += "s" + std::to_string(kLeaves) + ":1";
    for (int k = 2; k < kLeaves; ++k) text += "):1";  // every inner node a unit below its parent
    text += ");";
    const auto tree = ReadTreeShape(text);
    ASSERT_TRUE(tree.has_value());
    EXPECT_EQ(tree->leaves.size(), static_cast<std::size_t>(kLeaves));
    EXPECT_DOUBLE_EQ(tree->height, kLeaves - 1);
}

TEST(TreeShape, TheAnalysisTreeOnlyWhenItsLeavesAreTheRows) {
    RunState state = testing::MakeAnalysis(3, [](int, int) { return 0.9f; });
    EXPECT_FALSE(AnalysisTree(state).has_value()) << "no tree ordered it";
    state.provenance.tree = "((seq_1:0.1,seq_2:0.2):0.05,seq_3:0.3);";
    const auto tree = AnalysisTree(state);
    ASSERT_TRUE(tree.has_value());
    EXPECT_EQ(tree->leaves, (std::vector<std::string>{"seq_1", "seq_2", "seq_3"}));
    // A session keeps the run's names with "_" for blanks, slashes and brackets.
    state.provenance.tree = "(('seq 1':0.1,'seq/2':0.2):0.05,seq_3:0.3);";
    EXPECT_TRUE(AnalysisTree(state).has_value());
    for (const char* other : {"((seq_2:0.1,seq_1:0.2):0.05,seq_3:0.3);",  // another order
                              "(seq_1:0.1,seq_2:0.2);",                   // a row left out
                              "(seq_1:0.1,seq_2:0.2,seq_3:0.1"}) {        // unreadable
        state.provenance.tree = other;
        EXPECT_FALSE(AnalysisTree(state).has_value()) << other;
    }
}

}  // namespace
}  // namespace kvr
