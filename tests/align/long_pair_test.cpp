// Whole genomes: pairs past MUSCLE's length aligned piece by piece between anchors, and the memory
// budget that bounds a pair's band.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "align/align.h"
#include "align/band.h"
#include "align/hmm_model.h"
#include "align/segments.h"
#include "align/sequence_helpers.h"

namespace kvr::align {
namespace {

using testing::RandomSequence;
using testing::WithoutGaps;

// A copy of s with one residue in `every` (at random) changed, and the residues equal in both
// counted.
std::string Substituted(std::mt19937& rng, const std::string& s, unsigned every,
                        std::uint32_t& same) {
    std::string out = s;
    for (char& c : out)
        if (rng() % every == 0) c = c == 'A' ? 'C' : 'A';
    same = 0;
    for (std::size_t p = 0; p < out.size(); ++p) same += out[p] == s[p];
    return out;
}

// Past 20 kb the passes' single-precision sums drift along the path: aligned whole, a 40 kb pair
// of 90 % identity came out as unrelated sequences. Piece by piece, a pair differing only by
// substitutions aligns without a gap, every column counted; the columns written are the counts'.
TEST(LongPair, AlignsPiecesWhoseColumnsAddUp) {
    std::mt19937 rng(40);
    const std::string a = RandomSequence(rng, 45000, "ACGT");
    std::uint32_t same = 0;
    const std::string b = Substituted(rng, a, 9, same);
    PairAlignment alignment;
    const PairCounts counts = AlignPair(a, b, {}, alignment);
    EXPECT_EQ(counts, (PairCounts{Status::Ok, 45000, 45000, same, 45000, same}));
    EXPECT_EQ(alignment.a, a);
    EXPECT_EQ(alignment.b, b);

    // An insertion and a deletion: the residues kept, the columns consistent.
    std::string c = b;
    c.insert(30000, RandomSequence(rng, 700, "ACGT"));
    c.erase(12000, 400);
    const PairCounts gapped = AlignPair(a, c, {}, alignment);
    ASSERT_EQ(gapped.status, Status::Ok);
    EXPECT_TRUE(gapped.exact);
    EXPECT_EQ(WithoutGaps(alignment.a), a);
    EXPECT_EQ(WithoutGaps(alignment.b), c);
    EXPECT_EQ(gapped.columns, alignment.a.size());
    EXPECT_EQ(gapped.columns, 45000u + 700u);
    EXPECT_GE(gapped.matches, same - 400 - 50);
}

// Cuts lie on the path the sequences were made with, inside both, strictly increasing; across a
// long run of N between anchors on one diagonal they follow that diagonal.
TEST(LongPair, CutsFollowThePathAndBridgeRunsOfN) {
    std::mt19937 rng(41);
    const std::string a = RandomSequence(rng, 60000, "ACGT");
    std::uint32_t same = 0;
    std::string b = Substituted(rng, a, 11, same);
    b.replace(20000, 15000, 15000, 'N');
    const std::string inserted = RandomSequence(rng, 500, "ACGT");
    b.insert(45000, inserted);
    const std::vector<Cut> cuts = PieceCuts(a, b, Alphabet::Nucleotide);
    ASSERT_GE(cuts.size(), 12u);
    std::size_t inRun = 0;
    Cut last;
    for (const Cut& c : cuts) {
        EXPECT_GT(c.i, last.i);
        EXPECT_GT(c.j, last.j);
        EXPECT_LT(c.i, 60000);
        EXPECT_LT(c.j, 60500);
        // Before the insertion on the main diagonal, after it 500 further in b.
        EXPECT_EQ(c.j - c.i, c.i < 45000 ? 0 : 500) << c.i;
        inRun += c.i > 20000 && c.i < 35000;
        last = c;
    }
    EXPECT_GE(inRun, 3u);
}

// Unrelated long sequences share hits by chance only: their pairs are cut along the straight line
// between anchors (chance hits far apart), into pieces of about kStraightPieceRows whatever the
// two lengths, marked straight; a diverged stretch of related sequences and a long insertion
// between related stretches are not.
TEST(LongPair, UnrelatedPairsAreCutAlongTheStraightLine) {
    std::mt19937 rng(43);
    const std::string a = RandomSequence(rng, 40000, "ACGT");
    const std::string b = RandomSequence(rng, 25000, "ACGT");
    const std::vector<Cut> cuts = PieceCuts(a, b, Alphabet::Nucleotide);
    ASSERT_FALSE(cuts.empty());
    Cut last;
    std::size_t straight = 0;
    for (std::size_t c = 0; c <= cuts.size(); ++c) {
        const Cut to = c < cuts.size() ? cuts[c] : Cut{40000, 25000};
        EXPECT_GT(to.i, last.i);
        EXPECT_GT(to.j, last.j);
        EXPECT_FALSE(to.i - last.i > kLongestPiece && to.j - last.j > kLongestPiece) << c;
        if (to.straight || last.straight) {
            EXPECT_LE(std::max(to.i - last.i, to.j - last.j), kStraightPieceRows + 1) << c;
        }
        straight += to.straight;
        last = to;
    }
    EXPECT_GE(straight, 40000u / kStraightPieceRows / 2);

    // A diverged stretch of related sequences: 7 kb where every 15th residue differs hold no
    // anchor (no exact match of 19) but a chained 12-mer every few residues; it stays whole.
    std::string diverged = a.substr(0, 21000);
    for (std::size_t p = 7000; p < 14000; p += 15) diverged[p] = diverged[p] == 'A' ? 'C' : 'A';
    for (const Cut& cut : PieceCuts(a.substr(0, 21000), diverged, Alphabet::Nucleotide)) {
        EXPECT_FALSE(cut.straight) << cut.i;
        EXPECT_EQ(cut.j, cut.i);
    }

    // 9 kb inserted into a copy of 95 % identity: the path runs along the insertion's edge, and no
    // cut lies inside it.
    std::uint32_t same = 0;
    std::string c = Substituted(rng, a, 20, same);
    c.insert(20000, RandomSequence(rng, 9000, "ACGT"));
    for (const Cut& cut : PieceCuts(a, c, Alphabet::Nucleotide)) {
        EXPECT_FALSE(cut.straight) << cut.i;
        EXPECT_EQ(cut.j - cut.i, cut.i < 20000 ? 0 : 9000) << cut.i;
    }
}

// A band's work space stays within the budget: an unrelated pair, whose exact band is the whole
// matrix, gets the widest band that fits and is marked; a related pair within the same budget
// keeps the whole matrix's bits; nothing fits a budget below the narrowest band.
TEST(LongPair, BudgetBoundsTheBandAndMarksThePair) {
    std::mt19937 rng(42);
    const std::string a = RandomSequence(rng, 3000, "ACGT");
    const std::string unrelated = RandomSequence(rng, 3000, "ACGT");
    std::uint32_t same = 0;
    const std::string related = Substituted(rng, a, 7, same);
    const HmmModel& model = ModelFor(Alphabet::Nucleotide);
    const std::size_t budget = std::size_t{1} << 20;
    const Kernel kernel = KernelAvailable(Kernel::Avx2) ? Kernel::Avx2 : Kernel::Scalar;
    BandScratch scratch;
    SparsePosterior banded, whole;
    PosteriorScratch wholeScratch;

    EXPECT_EQ(PosteriorBanded(model, a, unrelated, Alphabet::Nucleotide, kernel, scratch, nullptr,
                              banded, kBandStoreBytes, budget),
              BandResult::Bounded);
    EXPECT_LE(scratch.forwardMatch.Bytes() + scratch.checkpoints.Bytes(), budget);
    EXPECT_EQ(PosteriorBanded(model, a, unrelated, Alphabet::Nucleotide, kernel, scratch, nullptr,
                              banded, kBandStoreBytes, std::size_t{1} << 30),
              BandResult::Done);

    EXPECT_EQ(PosteriorBanded(model, a, related, Alphabet::Nucleotide, kernel, scratch, nullptr,
                              banded, kBandStoreBytes, budget),
              BandResult::Done);
    ASSERT_TRUE(PosteriorScalar(model, a, related, wholeScratch, nullptr, whole));
    EXPECT_TRUE(testing::SameBits(whole, banded));

    Options options;
    options.memoryBudget = budget;
    const PairCounts bounded = AlignPair(a, unrelated, options);
    EXPECT_EQ(bounded.status, Status::Ok);
    EXPECT_FALSE(bounded.exact);
    EXPECT_TRUE(AlignPair(a, unrelated).exact);
    EXPECT_TRUE(AlignPair(a, related, options).exact);
    options.memoryBudget = 1000;
    EXPECT_EQ(AlignPair(a, unrelated, options).status, Status::NoMemory);
}

// A long pair is stopped in its midst: a cancel raised 100 ms or more into a 200 kb pair of
// unrelated genomes (seconds of work) returns within half a second, the pair marked Cancelled.
// Meanwhile its progress moves, piece by piece and pass by pass, and a finished pair reaches both
// its lengths.
TEST(LongPair, CancelAndProgressReachIntoThePair) {
    std::mt19937 rng(44);
    const std::string x = RandomSequence(rng, 200000, "ACGT"),
                      y = RandomSequence(rng, 200000, "ACGT");
    const std::vector<PairTask> tasks{{x, y}};
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> progress{0};
    std::vector<PairCounts> out;
    std::atomic<bool> done{false};
    std::chrono::steady_clock::time_point raised, returned;
    std::thread aligner([&] {
        AlignPairs(tasks, {}, 1, &cancel, out, &progress);
        returned = std::chrono::steady_clock::now();
        done = true;
    });
    std::set<std::uint64_t> seen;
    const auto start = std::chrono::steady_clock::now();
    // At least 100 ms in, and until the progress has moved twice (a loaded machine may give the
    // aligner's thread little time at first).
    while (!done && (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(100) ||
                     (seen.size() < 3 &&
                      std::chrono::steady_clock::now() - start < std::chrono::seconds(20)))) {
        seen.insert(progress.load());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    raised = std::chrono::steady_clock::now();
    cancel = true;
    aligner.join();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].status, Status::Cancelled);
    EXPECT_LT(std::chrono::duration<double>(returned - raised).count(), 0.5);
    EXPECT_GE(seen.size(), 3u);
    EXPECT_LT(progress.load(), 400000u);

    // Done: exactly the sum of the lengths, whether aligned in pieces, whole or in lanes.
    std::uint32_t same = 0;
    const std::string a = RandomSequence(rng, 30000, "ACGT"), b = Substituted(rng, a, 10, same);
    const std::vector<PairTask> pairs{
        {a, b},
        {std::string_view(a).substr(0, 5000), std::string_view(y).substr(0, 4000)},
        {"ACGTTGCA", "ACGTAGCA"},
        {"ACGT", "acgt"}};
    progress = 0;
    ASSERT_EQ(AlignPairs(pairs, {}, 2, nullptr, out, &progress), Status::Ok);
    EXPECT_EQ(progress.load(), 60000u + 9000u + 16u + 8u);
}

}  // namespace
}  // namespace kvr::align
