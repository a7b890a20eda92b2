// The alignment the built-in aligner writes when asked: its columns hold both sequences and give
// the very counts of the aligner (MUSCLE's on every reference pair), and the fast trace-back
// writes the reference's columns.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "align/align.h"
#include "align/hmm_model.h"
#include "align/mea.h"
#include "align/posterior.h"
#include "align/reference_pairs.h"
#include "align/sequence_helpers.h"

namespace kvr::align {
namespace {

// The counts read off the columns, as an aligned pair file is scored; "" or what is wrong.
std::string CheckColumns(const PairAlignment& al, std::string_view a, std::string_view b,
                         const PairCounts& counts) {
    if (al.a.size() != al.b.size()) return "rows of unequal length";
    if (testing::WithoutGaps(al.a) != a || testing::WithoutGaps(al.b) != b)
        return "residues lost or changed";
    PairCounts read;
    read.columns = static_cast<std::uint32_t>(al.a.size());
    for (std::size_t c = 0; c < al.a.size(); ++c) {
        if (al.a[c] == '-' && al.b[c] == '-') return "a column of two gaps";
        if (al.a[c] == '-' || al.b[c] == '-') continue;
        ++read.gapFreeColumns;
        if (al.a[c] == al.b[c]) ++read.matches;
        if (IsAmbiguityCode(al.a[c]) || IsAmbiguityCode(al.b[c])) continue;
        ++read.unambiguousColumns;
        if (al.a[c] == al.b[c]) ++read.unambiguousMatches;
    }
    if (read != counts) return "its columns do not give the counts";
    return {};
}

struct Named {
    std::string name, a, b;
    std::uint32_t matches = 0, gapFreeColumns = 0;  // MUSCLE's
};

TEST(PairAlignment, GivesMusclesCountsAndHoldsBothSequencesOnEveryReferencePair) {
    std::vector<Named> pairs;
    for (const auto& p : testing::LoadReferencePairs())
        pairs.push_back({p.dataset, p.a, p.b, p.matches, p.gapFreeColumns});
    for (const auto& p : testing::LoadEdgePairs())
        pairs.push_back({p.name, p.a, p.b, p.matches, p.gapFreeColumns});
    ASSERT_GE(pairs.size(), 975u);
    std::size_t muscles = 0;
    for (const Named& p : pairs) {
        PairAlignment alignment{"stale", "stale"};
        const PairCounts withAlignment = AlignPair(p.a, p.b, {}, alignment);
        ASSERT_EQ(withAlignment.status, Status::Ok) << p.name;
        EXPECT_EQ(withAlignment, AlignPair(p.a, p.b)) << p.name;
        EXPECT_EQ(CheckColumns(alignment, p.a, p.b, withAlignment), "") << p.name;
        if (withAlignment.matches == p.matches && withAlignment.gapFreeColumns == p.gapFreeColumns)
            ++muscles;
    }
    EXPECT_EQ(muscles, pairs.size());
}

// Pairs with runs of N and other codes, in both cases, in pieces (past kWholePairUpTo), in one
// band and in the whole matrix: the columns without an ambiguity code that the trace-back counts
// are those of the alignment it writes, and a pair left unaligned (equal letters) counts its own.
TEST(PairAlignment, CountsTheColumnsWithoutAnAmbiguityCode) {
    std::mt19937 random(7);
    const auto bases = [&random](std::size_t length) {
        std::string s(length, 'A');
        for (char& c : s) c = "ACGT"[random() % 4];
        return s;
    };
    const std::string genome = bases(26000);
    std::string partial = genome;
    for (std::size_t k = 2000; k < 9000; ++k) partial[k] = 'N';
    for (std::size_t k = 15000; k < 19000; ++k) partial[k] = 'n';
    for (std::size_t k = 5; k < partial.size(); k += 97) partial[k] = "RYKMSWBDHVXu"[k % 12];
    partial.erase(20000, 40);
    const struct {
        const char* name;
        std::string a, b;
        Options options;
    } cases[] = {
        {"pieces", genome, partial, {}},
        {"band", genome.substr(0, 3000), partial.substr(0, 2900), {}},
        {"whole matrix", genome.substr(0, 700), partial.substr(0, 650), {.band = false}},
        {"equal but case", "ACNNgtRu", "acNngtRu", {}},
    };
    for (const auto& c : cases) {
        PairAlignment alignment;
        const PairCounts counts = AlignPair(c.a, c.b, c.options, alignment);
        ASSERT_EQ(counts.status, Status::Ok) << c.name;
        EXPECT_EQ(CheckColumns(alignment, c.a, c.b, counts), "") << c.name;
        EXPECT_LT(counts.unambiguousColumns, counts.gapFreeColumns) << c.name;
        EXPECT_GT(counts.unambiguousMatches, 0u) << c.name;
    }
    PairAlignment equal;
    const PairCounts same = AlignPair("ACNNgtRu", "acNngtRu", {}, equal);
    EXPECT_EQ(same.unambiguousColumns, 5u);  // A C g t u: N, n and R are codes, U a base
    EXPECT_EQ(same.unambiguousMatches, 3u);  // g t u: case counts
}

struct Unaligned {
    const char* name;
    std::string a, b;
    Options options;
    PairAlignment expected;
};

TEST(PairAlignment, PairsNotAlignedGiveTheSequencesOrNothing) {
    const Unaligned cases[] = {
        // MUSCLE keeps sequences equal but for case as they are: every column, case kept.
        {"equal but case", "ACGTacgt", "acgtACGT", {}, {"ACGTacgt", "acgtACGT"}},
        {"empty", "", "ACGT", {}, {}},
    };
    for (const auto& c : cases) {
        PairAlignment alignment{"stale", "stale"};
        AlignPair(c.a, c.b, c.options, alignment);
        EXPECT_EQ(alignment.a, c.expected.a) << c.name;
        EXPECT_EQ(alignment.b, c.expected.b) << c.name;
    }
}

TEST(PairAlignment, FastTraceWritesTheReferenceColumns) {
    const auto its = testing::LoadSequences("orchid_its.fasta");
    const auto rrna = testing::LoadSequences("rrna5s_48.fasta");
    std::mt19937 rng(26);
    const std::pair<std::string, std::string> pairs[] = {
        {its[0], its[1]},
        {its[2], its[40]},
        {its[5].substr(100, 200), its[6]},  // a fragment: long end gaps
        {rrna[0], rrna[30]},
        {testing::RandomSequence(rng, 300, "ACGT"), testing::RandomSequence(rng, 250, "ACGT")},
    };
    PosteriorScratch scratch;
    MeaScratch mea;
    for (const auto& [a, b] : pairs) {
        const Alphabet alphabet = GuessAlphabet(a, b);
        SparsePosterior post;
        ASSERT_TRUE(PosteriorScalar(ModelFor(alphabet), a, b, scratch, nullptr, post));
        PairAlignment fast, reference;
        const PairCounts counts = MeaCounts(post, a, b, mea, &fast);
        EXPECT_EQ(counts, MeaCountsReference(post, a, b, mea, &reference));
        EXPECT_EQ(fast.a, reference.a);
        EXPECT_EQ(fast.b, reference.b);
        EXPECT_EQ(CheckColumns(fast, a, b, counts), "");
    }
}

}  // namespace
}  // namespace kvr::align
