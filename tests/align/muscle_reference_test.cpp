// The built-in aligner against MUSCLE 5.1's own alignments of real pairs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string_view>

#include "align/align.h"
#include "align/reference_pairs.h"

namespace kvr::align {
namespace {

TEST(MuscleReference, IdentitiesEqualMuscleOnAtLeast995PerMilleAndNeverFarOff) {
    const auto pairs = testing::LoadReferencePairs();
    ASSERT_EQ(pairs.size(), 905u);
    // Through the batch and its fastest kernel, which the kernel tests hold to the scalar bits.
    std::vector<PairTask> tasks;
    for (const auto& p : pairs) tasks.push_back({p.a, p.b});
    std::vector<PairCounts> counts;
    ASSERT_EQ(AlignPairs(tasks, {}, 2, nullptr, counts), Status::Ok);
    std::size_t equal = 0;
    float worst = 0;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto& p = pairs[k];
        const PairCounts& c = counts[k];
        ASSERT_EQ(c.status, Status::Ok);
        const float ours = testing::IdentityOf(c.matches, c.gapFreeColumns);
        const float theirs = testing::IdentityOf(p.matches, p.gapFreeColumns);
        if (ours == theirs) {
            ++equal;
        } else {
            std::printf("%s len %zu/%zu: ours %u/%u, MUSCLE %u/%u\n", p.dataset.c_str(), p.a.size(),
                        p.b.size(), c.matches, c.gapFreeColumns, p.matches, p.gapFreeColumns);
        }
        worst = std::max(worst, std::fabs(ours - theirs) * 100);
    }
    std::printf("%zu of %zu pairs equal, worst difference %.4f points\n", equal, pairs.size(),
                worst);
    EXPECT_GE(equal * 1000, pairs.size() * 995);
    EXPECT_LE(worst, 0.5f);
}

// The program scores a set's pairs with the set's alphabet, not MUSCLE's guess pair by pair: on
// the reference sets both take the nucleotide model for every pair, so the program's default
// gives the numbers above, MUSCLE's.
TEST(MuscleReference, TheSetsAlphabetIsMusclesGuessOnEveryReferencePair) {
    std::map<std::string, std::vector<std::string_view>> sets;
    const auto pairs = testing::LoadReferencePairs();
    for (const auto& p : pairs) {
        EXPECT_EQ(GuessAlphabet(p.a, p.b), Alphabet::Nucleotide) << p.dataset;
        sets[p.dataset].push_back(p.a);
        sets[p.dataset].push_back(p.b);
    }
    EXPECT_GE(sets.size(), 2u);
    for (const auto& [name, sequences] : sets)
        EXPECT_EQ(SetAlphabet(sequences), Alphabet::Nucleotide) << name;
}

}  // namespace
}  // namespace kvr::align

namespace kvr::align {
namespace {

// Lower case, N runs, "?", ambiguity codes, protein, RNA, fragments, long and one-residue pairs.
TEST(MuscleReference, HardPairsGiveMusclesCounts) {
    const auto pairs = testing::LoadEdgePairs();
    ASSERT_GE(pairs.size(), 70u);
    for (const auto& p : pairs) {
        const PairCounts c = AlignPair(p.a, p.b);
        ASSERT_EQ(c.status, Status::Ok) << p.name;
        EXPECT_EQ(c.matches, p.matches) << p.name << " " << p.a.size() << "/" << p.b.size();
        EXPECT_EQ(c.gapFreeColumns, p.gapFreeColumns) << p.name;
    }
}

}  // namespace
}  // namespace kvr::align

namespace kvr::align {
namespace {

// Genome-like pairs with runs of N or of other ambiguity codes over half or more of one sequence,
// and N scattered over both: MUSCLE takes most for protein. Each with MUSCLE's guess, and where
// that is nucleotide, with the set's alphabet too (MUSCLE has no option to choose it).
TEST(MuscleReference, HeavyNPairsGiveMusclesCountsUnderBothAlphabetRules) {
    const auto pairs = testing::LoadEdgePairs("heavy_n_pairs.csv");
    ASSERT_GE(pairs.size(), 8u);
    int nucleotide = 0;
    for (const auto& p : pairs) {
        std::vector<Alphabet> rules{Alphabet::Guess};
        if (GuessAlphabet(p.a, p.b) == Alphabet::Nucleotide) {
            rules.push_back(SetAlphabet({p.a, p.b}));
            ++nucleotide;
        }
        for (const Alphabet rule : rules) {
            Options options;
            options.alphabet = rule;
            const PairCounts c = AlignPair(p.a, p.b, options);
            ASSERT_EQ(c.status, Status::Ok) << p.name;
            EXPECT_TRUE(c.exact) << p.name;
            EXPECT_EQ(c.matches, p.matches) << p.name << " " << p.a.size() << "/" << p.b.size();
            EXPECT_EQ(c.gapFreeColumns, p.gapFreeColumns) << p.name;
        }
    }
    EXPECT_GE(nucleotide, 2);
    EXPECT_LT(nucleotide, static_cast<int>(pairs.size()));
}

}  // namespace
}  // namespace kvr::align
