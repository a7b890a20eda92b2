// Groups at a threshold: the merges of complete linkage against the greedy method worked out by
// brute force, ties decided by the names whatever the input order, the threshold taken as the
// table's percent shows it, representatives and numbering.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <set>

#include "model/complete_linkage.h"
#include "model/threshold_groups.h"

namespace kvr {
namespace {

// A table from the identities in percent of the pairs (a, b), a > b, row by row.
IdentityTable TableOf(int n, const std::vector<float>& lowerPercent) {
    IdentityTable table(n, 1.0f);
    std::size_t k = 0;
    for (int a = 1; a < n; ++a)
        for (int b = 0; b < a; ++b) table(a, b) = lowerPercent.at(k++) / 100.0f;
    return table;
}

// The partition as sets of names, which neither numbering nor input order changes.
std::set<std::set<std::string>> Partition(const std::vector<int>& label,
                                          const std::vector<std::string>& names) {
    std::map<int, std::set<std::string>> groups;
    for (std::size_t s = 0; s < label.size(); ++s) groups[label[s]].insert(names[s]);
    std::set<std::set<std::string>> partition;
    for (const auto& group : groups) partition.insert(group.second);
    return partition;
}

// The greedy method by its definition: merge the two clusters of the highest complete linkage,
// equal linkages by the smaller, then the larger, of the clusters' smallest name ranks; stop when
// the highest is below the threshold.
std::vector<int> GreedyCompleteLinkage(const IdentityView& percent, const std::vector<int>& rank,
                                       float threshold) {
    const int n = percent.Size();
    std::vector<std::vector<int>> clusters(static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s) clusters[s] = {s};
    const auto key = [&](const std::vector<int>& c) {
        int k = n;
        for (int s : c) k = std::min(k, rank[s]);
        return k;
    };
    for (;;) {
        float best = -1;
        std::pair<int, int> bestKeys{n, n};
        std::size_t bi = 0, bj = 0;
        for (std::size_t i = 0; i < clusters.size(); ++i)
            for (std::size_t j = i + 1; j < clusters.size(); ++j) {
                float link = 101;
                for (int a : clusters[i])
                    for (int b : clusters[j]) link = std::min(link, percent.Percent(a, b));
                const std::pair<int, int> keys = std::minmax(key(clusters[i]), key(clusters[j]));
                if (link > best || (link == best && keys < bestKeys)) {
                    best = link;
                    bestKeys = keys;
                    bi = i;
                    bj = j;
                }
            }
        if (clusters.size() < 2 || best < threshold) break;
        clusters[bi].insert(clusters[bi].end(), clusters[bj].begin(), clusters[bj].end());
        clusters.erase(clusters.begin() + static_cast<std::ptrdiff_t>(bj));
    }
    std::vector<int> label(static_cast<std::size_t>(n));
    for (std::size_t c = 0; c < clusters.size(); ++c)
        for (int s : clusters[c]) label[s] = static_cast<int>(c);
    return label;
}

std::vector<int> Ranks(const std::vector<std::string>& names) {
    std::vector<int> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return names[a] < names[b]; });
    std::vector<int> rank(names.size());
    for (std::size_t r = 0; r < order.size(); ++r) rank[order[r]] = static_cast<int>(r);
    return rank;
}

// Random tables whose identities come from a few values, so that equal linkages are everywhere,
// and names with repeats: the chain's merges are the greedy method's, in any input order.
TEST(CompleteLinkage, MatchesTheGreedyMethodWithTiesInAnyInputOrder) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        const int n = 2 + static_cast<int>(random() % 14);
        const float levels[] = {80, 90, 95, 95, 97.5f, 100};
        const int spread = 1 + static_cast<int>(random() % 6);
        std::vector<float> lower;
        for (int k = 0; k < n * (n - 1) / 2; ++k) lower.push_back(levels[random() % spread]);
        std::vector<std::string> names;
        for (int s = 0; s < n; ++s)
            names.push_back(std::string(1, static_cast<char>('a' + random() % 8)));
        const IdentityTable table = TableOf(n, lower);
        const float threshold = levels[random() % 6];
        const IdentityView percent(table);
        const std::vector<int> greedy = GreedyCompleteLinkage(percent, Ranks(names), threshold);
        const std::vector<int> chain = CompleteLinkageClusters(percent, Ranks(names), threshold);
        ASSERT_EQ(Partition(chain, names), Partition(greedy, names)) << "round " << round;

        // The same set in another order, names distinct so that the partition says who is where.
        std::vector<std::string> unique = names;
        for (int s = 0; s < n; ++s) unique[s] += std::to_string(s);
        std::vector<int> rows(static_cast<std::size_t>(n));
        std::iota(rows.begin(), rows.end(), 0);
        std::shuffle(rows.begin(), rows.end(), random);
        std::vector<std::string> shuffledNames;
        for (int r : rows) shuffledNames.push_back(unique[r]);
        const Grouping before = GroupAtThreshold(percent, unique, threshold, Linkage::Complete);
        const Grouping after = GroupAtThreshold(IdentityView(table, rows), shuffledNames, threshold,
                                                Linkage::Complete);
        ASSERT_EQ(Partition(after.groupOf, shuffledNames), Partition(before.groupOf, unique))
            << "round " << round;
    }
}

// a-b and b-c at 96, a-c at 90: complete linkage joins one pair only, the one whose names come
// first, wherever the names stand in the input; single linkage joins all three.
TEST(ThresholdGroups, ChainOfThreeBySingleAndCompleteLinkage) {
    struct Case {
        std::vector<std::string> names;  // in the table's order a, b, c
        std::vector<int> complete;
        std::vector<int> single;
    };
    const Case cases[] = {
        {{"a", "b", "c"}, {1, 1, 2}, {1, 1, 1}},
        {{"c", "b", "a"}, {1, 2, 2}, {1, 1, 1}},  // b-c now "b"-"a": the first names' pair
        {{"x", "m", "x"}, {1, 1, 2}, {1, 1, 1}},  // equal names: the first in the input ranks first
    };
    const IdentityTable table = TableOf(3, {96, 90, 96});  // (b,a), (c,a), (c,b)
    for (const Case& c : cases) {
        const IdentityView percent(table);
        EXPECT_EQ(GroupAtThreshold(percent, c.names, 95, Linkage::Complete).groupOf, c.complete)
            << c.names[0];
        EXPECT_EQ(GroupAtThreshold(percent, c.names, 95, Linkage::Single).groupOf, c.single);
    }
}

// Nothing at the threshold is one group a sequence, each its own representative; a group of
// every sequence at a threshold at or below every identity.
TEST(ThresholdGroups, NoPairOrEveryPairAtTheThreshold) {
    const IdentityTable table = TableOf(4, {50, 60, 70, 80, 85, 90});
    const std::vector<std::string> names = {"d", "c", "b", "a"};
    for (const Linkage linkage : {Linkage::Complete, Linkage::Single}) {
        const Grouping apart = GroupAtThreshold(IdentityView(table), names, 95, linkage);
        EXPECT_EQ(apart.groupOf, (std::vector<int>{1, 2, 3, 4}));
        EXPECT_EQ(apart.sizes, (std::vector<int>{1, 1, 1, 1}));
        EXPECT_EQ(apart.representatives, (std::vector<int>{0, 1, 2, 3}));
        const Grouping together = GroupAtThreshold(IdentityView(table), names, 50, linkage);
        EXPECT_EQ(together.groupOf, (std::vector<int>{1, 1, 1, 1}));
        EXPECT_EQ(together.sizes, (std::vector<int>{4}));
    }
    const Grouping none =
        GroupAtThreshold(IdentityView(IdentityTable()), {}, 95, Linkage::Complete);
    EXPECT_EQ(none.Count(), 0);
}

// The threshold compares the percent the table shows: 0.95f is 95 % (though below 0.95 as a
// double), and the next single below it is not.
TEST(ThresholdGroups, APairExactlyAtTheThresholdJoins) {
    const float below = std::nextafter(0.95f, 0.0f);
    for (const Linkage linkage : {Linkage::Complete, Linkage::Single}) {
        IdentityTable table(2, 1.0f);
        table(1, 0) = 0.95f;
        EXPECT_EQ(GroupAtThreshold(IdentityView(table), {"p", "q"}, 95, linkage).Count(), 1);
        table(1, 0) = below;
        EXPECT_EQ(GroupAtThreshold(IdentityView(table), {"p", "q"}, 95, linkage).Count(), 2);
    }
}

// The representative has the highest mean identity to the others, the first of equals; groups
// are numbered by their first members, in the order of the set (rows when given).
TEST(ThresholdGroups, RepresentativesAndNumbers) {
    // 0, 2, 4 one group (0-2 97, 0-4 96, 2-4 99: 2 has the highest mean), 1 and 3 another at 98
    // each way (equal: the first, 1), everything else 50.
    IdentityTable table(5, 1.0f);
    for (int a = 1; a < 5; ++a)
        for (int b = 0; b < a; ++b) table(a, b) = 0.5f;
    table(2, 0) = 0.97f;
    table(4, 0) = 0.96f;
    table(4, 2) = 0.99f;
    table(3, 1) = 0.98f;
    const std::vector<std::string> names = {"s0", "s1", "s2", "s3", "s4"};
    for (const Linkage linkage : {Linkage::Complete, Linkage::Single}) {
        const Grouping g = GroupAtThreshold(IdentityView(table), names, 95, linkage);
        EXPECT_EQ(g.groupOf, (std::vector<int>{1, 2, 1, 2, 1}));
        EXPECT_EQ(g.sizes, (std::vector<int>{3, 2}));
        EXPECT_EQ(g.representatives, (std::vector<int>{2, 1}));
        // The set in the order 3, 4, 1, 0, 2: group 1 is now 3's, its representative at place 0.
        const Grouping r = GroupAtThreshold(IdentityView(table, {3, 4, 1, 0, 2}),
                                            {"s3", "s4", "s1", "s0", "s2"}, 95, linkage);
        EXPECT_EQ(r.groupOf, (std::vector<int>{1, 2, 1, 2, 2}));
        EXPECT_EQ(r.representatives, (std::vector<int>{0, 4}));
    }
}

TEST(ThresholdGroups, LinkageNames) {
    EXPECT_EQ(LinkageNamed("complete"), Linkage::Complete);
    EXPECT_EQ(LinkageNamed("single"), Linkage::Single);
    EXPECT_FALSE(LinkageNamed("average"));
    EXPECT_FALSE(LinkageNamed("Complete"));
}

}  // namespace
}  // namespace kvr
