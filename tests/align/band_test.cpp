// The band gives the whole matrix's posteriors bit for bit, on every kernel, on real and random
// pairs (very unequal lengths among them); the fast expected-accuracy pass makes the reference's
// choices.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "align/align.h"
#include "align/band.h"
#include "align/mea.h"
#include "align/posterior.h"
#include "align/reference_pairs.h"
#include "align/sequence_helpers.h"

namespace kvr::align {
namespace {

using testing::RandomSequence;
using testing::SameBits;

// Substitutions, and insertions and deletions of one to `run` residues.
std::string Mutate(std::mt19937& rng, const std::string& s, std::string_view letters, int percent,
                   int run) {
    std::string out;
    for (std::size_t k = 0; k < s.size(); ++k) {
        const int r = static_cast<int>(rng() % 1000);
        if (r < 5) {
            k += rng() % run;  // deletion
            continue;
        }
        if (r < 10) out += RandomSequence(rng, 1 + rng() % run, letters);  // insertion
        out.push_back(r < 10 * percent ? letters[rng() % letters.size()] : s[k]);
    }
    return out.empty() ? s : out;
}

struct Pair {
    std::string name, a, b;
    Alphabet alphabet;
};

const Kernel kBandKernels[] = {Kernel::Scalar, Kernel::Avx2, Kernel::Avx512};

void ExpectBandEqualsWholeMatrix(const std::vector<Pair>& pairs) {
    PosteriorScratch scratch;
    BandScratch bandScratch;
    MeaScratch mea;
    for (const Pair& p : pairs) {
        const HmmModel& model = ModelFor(p.alphabet);
        SparsePosterior whole;
        ASSERT_TRUE(PosteriorScalar(model, p.a, p.b, scratch, nullptr, whole));
        const PairCounts reference = MeaCountsReference(whole, p.a, p.b, mea);
        EXPECT_EQ(MeaCounts(whole, p.a, p.b, mea), reference) << p.name;
        for (const Kernel kernel : kBandKernels) {
            if (!KernelAvailable(kernel)) continue;
            // Every forward row kept, and rows computed again from checkpoints in small blocks.
            for (const std::size_t storeBytes : {kBandStoreBytes, std::size_t{48} << 10}) {
                SparsePosterior banded;
                ASSERT_EQ(PosteriorBanded(model, p.a, p.b, p.alphabet, kernel, bandScratch, nullptr,
                                          banded, storeBytes),
                          BandResult::Done);
                EXPECT_TRUE(SameBits(whole, banded))
                    << p.name << " kernel " << static_cast<int>(kernel) << ", store " << storeBytes
                    << ", lengths " << p.a.size() << "/" << p.b.size();
            }
        }
    }
}

TEST(Band, RealPairsGiveTheWholeMatrixBits) {
    std::vector<Pair> pairs;
    const auto refs = testing::LoadReferencePairs();
    for (std::size_t k = 0; k < refs.size(); k += 7)
        pairs.push_back({refs[k].dataset + " " + std::to_string(k), refs[k].a, refs[k].b,
                         GuessAlphabet(refs[k].a, refs[k].b)});
    for (const auto& e : testing::LoadEdgePairs())
        pairs.push_back({e.name, e.a, e.b, GuessAlphabet(e.a, e.b)});
    ExpectBandEqualsWholeMatrix(pairs);
}

TEST(Band, RandomPairsGiveTheWholeMatrixBits) {
    std::mt19937 rng(5);
    std::vector<Pair> pairs;
    const auto seqs = testing::LoadSequences("orchid_its.fasta");
    for (int k = 0; k < 24; ++k) {
        const std::string dna = RandomSequence(rng, 50 + rng() % 900, "ACGT");
        const std::string protein = RandomSequence(rng, 30 + rng() % 400, "ACDEFGHIKLMNPQRSTVWY");
        const std::string& its = seqs[rng() % seqs.size()];
        const std::size_t from = rng() % (its.size() / 2), length = 20 + rng() % 200;
        const std::string tag = " " + std::to_string(k);
        pairs.push_back({"similar dna" + tag, dna, Mutate(rng, dna, "ACGT", 1 + k % 20, 1 + k % 30),
                         Alphabet::Nucleotide});
        pairs.push_back({"unrelated dna" + tag, dna, RandomSequence(rng, 50 + rng() % 900, "ACGT"),
                         Alphabet::Nucleotide});
        pairs.push_back({"fragment" + tag, its.substr(from, length), its, Alphabet::Nucleotide});
        pairs.push_back({"fragment second" + tag, Mutate(rng, its, "ACGT", 2, 5),
                         its.substr(from, length), Alphabet::Nucleotide});
        pairs.push_back({"protein" + tag, protein,
                         Mutate(rng, protein, "ACDEFGHIKLMNPQRSTVWY", 2 + k % 30, 1 + k % 8),
                         Alphabet::Protein});
    }
    // A tandem duplication: a second copy of 150 residues only in one sequence.
    const std::string& its = seqs[0];
    pairs.push_back(
        {"duplication", its, its.substr(0, 400) + its.substr(250), Alphabet::Nucleotide});
    // A long insertion far from the seeds on either side.
    const std::string kept = Mutate(rng, its, "ACGT", 25, 3);
    pairs.push_back({"long insertion",
                     its.substr(0, 300) + RandomSequence(rng, 400, "ACGT") + its.substr(300), kept,
                     Alphabet::Nucleotide});
    ExpectBandEqualsWholeMatrix(pairs);
}

// Alike pairs whose chain breaks over runs of N or a long insertion take a band as wide as each
// stretch needs, widened where it leaked: still the whole matrix's bits.
TEST(Band, LocalBandsAcrossRunsOfNGiveTheWholeMatrixBits) {
    std::mt19937 rng(23);
    std::vector<Pair> pairs;
    for (int k = 0; k < 2; ++k) {
        const std::string dna = RandomSequence(rng, 2800 + 400 * static_cast<unsigned>(k), "ACGT");
        std::string masked = Mutate(rng, dna, "ACGT", 10, 4);
        masked.replace(400 + 200 * static_cast<unsigned>(k), 900, 900, 'N');
        masked.replace(2000, 300 + 100 * static_cast<unsigned>(k), 300, 'N');
        pairs.push_back({"runs of N " + std::to_string(k), dna, masked, Alphabet::Nucleotide});
    }
    std::string inserted = pairs[0].a;
    inserted.insert(1500, RandomSequence(rng, 1000, "ACGT"));
    pairs.push_back(
        {"long insertion", Mutate(rng, inserted, "ACGT", 12, 4), pairs[0].a, Alphabet::Nucleotide});
    for (const Pair& p : pairs) ASSERT_TRUE(SeedPath(p.a, p.b, p.alphabet).local) << p.name;
    ExpectBandEqualsWholeMatrix(pairs);
}

// The width chosen up front across runs of N (from the log of each crossing's rows, narrowing
// towards its ends) on the shapes partial genomes take: runs parted by a short island of residues
// (one crossing), a run too short to count as one before, runs in both sequences, flanks 98 %
// alike: still the whole matrix's bits.
TEST(Band, CrossingsOfRunsOfNGiveTheWholeMatrixBits) {
    std::mt19937 rng(41);
    std::vector<Pair> pairs;
    const std::string dna = RandomSequence(rng, 3200, "ACGT");
    std::string islands = Mutate(rng, dna, "ACGT", 2, 2);
    islands.replace(300, 800, 800, 'N');
    islands.replace(1120, 600, 600, 'N');  // 20 residues between the runs
    islands.replace(2400, 120, 120, 'N');
    pairs.push_back({"runs parted by an island", dna, islands, Alphabet::Nucleotide});
    std::string other = Mutate(rng, dna, "ACGT", 2, 2);
    other.replace(800, 1200, 1200, 'N');  // overlaps the first run of N above
    pairs.push_back({"runs in both", other, islands, Alphabet::Nucleotide});
    std::string longRun = Mutate(rng, dna, "ACGT", 10, 3);
    longRun.replace(200, 2600, 2600, 'N');
    pairs.push_back({"one long run", longRun, dna, Alphabet::Nucleotide});
    for (const Pair& p : pairs) ASSERT_TRUE(SeedPath(p.a, p.b, p.alphabet).local) << p.name;
    ExpectBandEqualsWholeMatrix(pairs);
}

// Pairs with many N, MUSCLE's protein model for most: no chain of k-mers holds their path, and on
// one (1,296 against 2,197 residues) a chance k-mer laid the first band beside it, and the band
// passed its edge check with the better path outside, 19 in log probability above the band's.
TEST(Band, HeavyNPairsGiveTheWholeMatrixBits) {
    std::vector<Pair> pairs;
    for (const auto& e : testing::LoadEdgePairs("heavy_n_pairs.csv"))
        if (e.a.size() * e.b.size() < 4'000'000)  // the whole matrix is slow beyond
            pairs.push_back({e.name, e.a, e.b, GuessAlphabet(e.a, e.b)});
    ASSERT_FALSE(pairs.empty());
    EXPECT_TRUE(SeedPath(pairs[0].a, pairs[0].b, pairs[0].alphabet).loose);
    ExpectBandEqualsWholeMatrix(pairs);
}

// The edge check: a narrow band on unrelated sequences loses probability at its edge, and on a
// pair with one short gap it does not; the band that covers the matrix never does.
TEST(Band, ProbabilityAtTheEdgeAsksForAWiderBand) {
    std::mt19937 rng(13);
    const std::string a = RandomSequence(rng, 400, "ACGT");
    const std::string gapped = a.substr(0, 150) + a.substr(153);
    const HmmModel& model = ModelFor(Alphabet::Nucleotide);
    const struct {
        const char* name;
        std::string y;
        BandResult expected;
    } cases[] = {
        {"unrelated", RandomSequence(rng, 400, "ACGT"), BandResult::Widen},
        {"one short gap", gapped, BandResult::Done},
    };
    using BandFn = BandResult (*)(const HmmModel&, std::string_view, std::string_view, const Band&,
                                  BandScratch&, const PassWatch&, SparsePosterior&);
    const std::pair<Kernel, BandFn> kernels[] = {{Kernel::Scalar, PosteriorBandPortable},
                                                 {Kernel::Avx2, PosteriorBandAvx2},
                                                 {Kernel::Avx512, PosteriorBandAvx512}};
    for (const auto& c : cases) {
        const SeedRows seed = SeedPath(a, c.y, Alphabet::Nucleotide);
        const auto lx = static_cast<std::int32_t>(a.size()),
                   ly = static_cast<std::int32_t>(c.y.size());
        const Band narrow = SeedBand(seed, 32, lx, ly);
        PosteriorScratch wholeScratch;
        SparsePosterior whole;
        ASSERT_TRUE(PosteriorScalar(model, a, c.y, wholeScratch, nullptr, whole));
        for (const auto& [kernel, run] : kernels) {
            if (!KernelAvailable(kernel)) continue;
            SparsePosterior out;
            BandScratch scratch;
            EXPECT_EQ(run(model, a, c.y, narrow, scratch, nullptr, out), c.expected) << c.name;
            // A band wider than the matrix is cut to it and has no edge: never too narrow, and
            // the whole matrix, with every forward row kept or computed again from checkpoints.
            for (const std::size_t store : {kBandStoreBytes, std::size_t{1}}) {
                const Band cover = SeedBand(seed, 2 * (lx + ly), lx, ly, store);
                EXPECT_TRUE(cover.whole);
                EXPECT_EQ(run(model, a, c.y, cover, scratch, nullptr, out), BandResult::Done)
                    << c.name;
                EXPECT_TRUE(SameBits(whole, out)) << c.name << " covered, store " << store;
            }
            std::atomic<bool> cancel{true};
            EXPECT_EQ(run(model, a, c.y, narrow, scratch, &cancel, out), BandResult::Cancelled);
        }
    }
}

// A band holds the rows asked for that lie in the matrix, and no others outside it; its ends move
// down by 0 or 1 row from one anti-diagonal to the next (what the edge check relies on).
TEST(Band, HoldsTheRowsAskedForWithEndsMovingByOneRowAtMost) {
    std::mt19937 rng(17);
    for (int round = 0; round < 200; ++round) {
        const std::int32_t lx = 1 + static_cast<std::int32_t>(rng() % 300);
        const std::int32_t ly = 1 + static_cast<std::int32_t>(rng() % 300);
        const std::int32_t D = lx + ly;
        std::vector<std::int32_t> lo(static_cast<std::size_t>(D) + 1), hi(lo.size());
        for (std::int32_t d = 0; d <= D; ++d) {
            // Anywhere near the matrix, in any order of size.
            lo[d] = static_cast<std::int32_t>(rng() % (lx + 40)) - 20;
            hi[d] = lo[d] + static_cast<std::int32_t>(rng() % 60) - 10;
        }
        const Band band = BandHolding(lo, hi, lx, ly);
        std::int32_t widest = 0;
        bool whole = true;
        for (std::int32_t d = 0; d <= D; ++d) {
            const std::int32_t top = std::max(0, d - ly), bottom = std::min(d, lx);
            const std::int32_t first = band.First(d), last = first + band.Rows(d) - 1;
            ASSERT_LE(top, first) << round << " " << d;
            ASSERT_LE(first, last) << round << " " << d;
            ASSERT_LE(last, bottom) << round << " " << d;
            // Every wanted row of the matrix is held.
            if (std::max(lo[d], top) <= std::min(hi[d], bottom)) {
                ASSERT_LE(first, std::max(lo[d], top)) << round << " " << d;
                ASSERT_GE(last, std::min(hi[d], bottom)) << round << " " << d;
            }
            if (d > 0) {
                const std::int32_t firstStep = first - band.First(d - 1);
                const std::int32_t lastStep = last - (band.First(d - 1) + band.Rows(d - 1) - 1);
                ASSERT_TRUE(firstStep == 0 || firstStep == 1) << round << " " << d;
                ASSERT_TRUE(lastStep == 0 || lastStep == 1) << round << " " << d;
            }
            widest = std::max(widest, band.Rows(d));
            whole = whole && first == top && last == bottom;
        }
        EXPECT_EQ(band.widest, widest);
        EXPECT_EQ(band.whole, whole);
    }
    // Asking for every row gives the whole matrix.
    const Band all =
        BandHolding(std::vector<std::int32_t>(31, -5), std::vector<std::int32_t>(31, 99), 10, 20);
    EXPECT_TRUE(all.whole);
}

TEST(SeedPath, RunsFromCornerToCornerInsideTheMatrix) {
    std::mt19937 rng(9);
    const std::string a = RandomSequence(rng, 300, "ACGT");
    const struct {
        const char* name;
        std::string x, y;
    } cases[] = {
        {"same", a, a},
        {"fragment of y", a.substr(100, 50), a},
        {"fragment of x", a, a.substr(200, 40)},
        {"unrelated", a, RandomSequence(rng, 120, "ACGT")},
        {"one residue", "A", "C"},
    };
    for (const auto& c : cases) {
        const SeedRows seed = SeedPath(c.x, c.y, Alphabet::Nucleotide);
        const auto lx = static_cast<std::int32_t>(c.x.size());
        const auto ly = static_cast<std::int32_t>(c.y.size());
        ASSERT_EQ(seed.lo.size(), c.x.size() + c.y.size() + 1) << c.name;
        ASSERT_EQ(seed.hi.size(), seed.lo.size()) << c.name;
        EXPECT_EQ(seed.lo.front(), 0) << c.name;
        EXPECT_EQ(seed.hi.front(), 0) << c.name;
        EXPECT_EQ(seed.lo.back(), lx) << c.name;
        EXPECT_EQ(seed.hi.back(), lx) << c.name;
        for (std::int32_t d = 0; d <= lx + ly; ++d) {
            ASSERT_LE(std::max(0, d - ly), seed.lo[d]) << c.name << " at " << d;
            ASSERT_LE(seed.lo[d], seed.hi[d]) << c.name << " at " << d;
            ASSERT_LE(seed.hi[d], std::min(d, lx)) << c.name << " at " << d;
        }
    }
    // A fragment's path crosses the anti-diagonal of its middle where the fragment sits, and
    // keeps to its few rows before it starts.
    const SeedRows seed = SeedPath(a.substr(100, 50), a, Alphabet::Nucleotide);
    EXPECT_NEAR(seed.lo[25 + 125], 25, 3);
    EXPECT_NEAR(seed.hi[25 + 125], 25, 3);
    EXPECT_LE(seed.hi[100], 8);
}

// Between seeds on different diagonals the path takes one of them, or moves from one to the other
// anywhere: the rows of both, where a straight line between the seeds would miss the path by
// hundreds of rows.
TEST(SeedPath, HoldsBothDiagonalsAcrossAnInsertionBetweenSeeds) {
    std::mt19937 rng(23);
    const std::string p = RandomSequence(rng, 200, "ACGT"), s = RandomSequence(rng, 200, "ACGT");
    // No k-mer in common between the shared ends; 600 residues inserted in x.
    const std::string x = p + RandomSequence(rng, 300, "ACGT") + RandomSequence(rng, 600, "ACGT") +
                          RandomSequence(rng, 300, "ACGT") + s;
    const std::string y = p + RandomSequence(rng, 600, "ACGT") + s;
    const SeedRows seed = SeedPath(x, y, Alphabet::Nucleotide);
    // Midway: the shared start's diagonal is at row 750, the shared end's at 1050.
    EXPECT_LE(seed.lo[1500], 750);
    EXPECT_GE(seed.hi[1500], 1050);
    // Where seeds lie on one diagonal, one row.
    EXPECT_EQ(seed.lo[200], seed.hi[200]);
}

// Distant relatives share few k-mers, and a chance match of two unrelated places can be among
// them: the path keeps to the relatives' diagonal instead of bending hundreds of rows towards it.
TEST(SeedPath, IgnoresAChanceMatchFarFromTheOtherHits) {
    std::mt19937 rng(21);
    const std::string x = RandomSequence(rng, 3000, "ACGT");
    std::string y = x;
    for (std::size_t k = 0; k < y.size(); ++k)  // substitutions only: the path is the diagonal
        if (rng() % 100 < 75) y[k] = "ACGT"[rng() % 4];
    for (const std::size_t at : {300, 1500}) y.replace(at, 40, x.substr(at, 40));  // true hits
    const struct {
        const char* name;
        std::size_t inX, inY;
    } chance[] = {{"near the end", 2900, 2200}, {"near the start", 100, 800}};
    for (const auto& c : chance) {
        std::string z = y;
        z.replace(c.inY, 14, x.substr(c.inX, 14));
        const SeedRows seed = SeedPath(x, z, Alphabet::Nucleotide);
        // The chance match lies 350 rows or more off the diagonal; between hits far apart the
        // rows leave a few dozen on either side for the path to wander.
        for (std::size_t d = 0; d < seed.lo.size(); d += 50) {
            ASSERT_NEAR(seed.lo[d], static_cast<double>(d) / 2, 80) << c.name << " at " << d;
            ASSERT_NEAR(seed.hi[d], static_cast<double>(d) / 2, 80) << c.name << " at " << d;
        }
    }
}

}  // namespace
}  // namespace kvr::align
