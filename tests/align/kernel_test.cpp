// The SIMD kernels hold the scalar reference's posteriors bit for bit, on random and real pairs
// of mixed lengths sharing one batch.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "align/kernels.h"
#include "align/log_sum.h"
#include "align/posterior.h"
#include "align/reference_pairs.h"
#include "align/sequence_helpers.h"

namespace kvr::align {
namespace {

using testing::RandomSequence;
using testing::SameBits;

using KernelFn = bool (*)(const HmmModel&, const std::string_view*, const std::string_view*, int,
                          const std::atomic<bool>*, SparsePosterior*);

struct KernelCase {
    const char* name;
    Kernel kernel;
    KernelFn run;
    int lanes;
};

const KernelCase kSimdKernels[] = {
    {"avx2", Kernel::Avx2, PosteriorAvx2, kLanesAvx2},
    {"avx512", Kernel::Avx512, PosteriorAvx512, kLanesAvx512},
};

void ExpectKernelsMatchScalar(const std::vector<std::pair<std::string, std::string>>& pairs,
                              Alphabet alphabet) {
    const HmmModel& model = ModelFor(alphabet);
    for (const auto& k : kSimdKernels) {
        if (!KernelAvailable(k.kernel)) continue;
        for (std::size_t first = 0; first < pairs.size(); first += k.lanes) {
            const int count =
                static_cast<int>(std::min<std::size_t>(k.lanes, pairs.size() - first));
            std::vector<std::string_view> xs, ys;
            for (int l = 0; l < count; ++l) {
                xs.push_back(pairs[first + l].first);
                ys.push_back(pairs[first + l].second);
            }
            std::vector<SparsePosterior> lanes(count);
            ASSERT_TRUE(k.run(model, xs.data(), ys.data(), count, nullptr, lanes.data()));
            for (int l = 0; l < count; ++l) {
                PosteriorScratch scratch;
                SparsePosterior scalar;
                ASSERT_TRUE(PosteriorScalar(model, xs[l], ys[l], scratch, nullptr, scalar));
                EXPECT_TRUE(SameBits(scalar, lanes[l])) << k.name << " lane " << l << ", lengths "
                                                        << xs[l].size() << "/" << ys[l].size();
            }
        }
    }
}

std::string Mutate(std::mt19937& rng, const std::string& s, std::string_view letters) {
    std::string out;
    for (char c : s) {
        const unsigned r = rng() % 100;
        if (r < 3) continue;                                        // deletion
        if (r < 6) out.push_back(letters[rng() % letters.size()]);  // insertion
        out.push_back(r < 20 ? letters[rng() % letters.size()] : c);
    }
    return out.empty() ? s : out;
}

TEST(Kernels, RandomPairsOfMixedLengthsGiveTheScalarBits) {
    std::mt19937 rng(3);
    std::vector<std::pair<std::string, std::string>> dna, protein;
    for (int k = 0; k < 40; ++k) {
        const std::size_t n = 1 + rng() % (k < 8 ? 4 : 400);
        const std::string a = RandomSequence(rng, n, "ACGTN");
        dna.emplace_back(a, k % 5 == 0 ? RandomSequence(rng, 1 + rng() % 300, "acgtRY?")
                                       : Mutate(rng, a, "ACGT"));
        const std::string p = RandomSequence(rng, n, "ACDEFGHIKLMNPQRSTVWYX");
        protein.emplace_back(p, Mutate(rng, p, "ACDEFGHIKLMNPQRSTVWY"));
    }
    ExpectKernelsMatchScalar(dna, Alphabet::Nucleotide);
    ExpectKernelsMatchScalar(protein, Alphabet::Protein);
}

TEST(Kernels, RealPairsGiveTheScalarBits) {
    const auto seqs = testing::LoadSequences("orchid_its.fasta");
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t k = 0; k < 24; ++k)
        pairs.emplace_back(seqs[k], seqs[(k * 5 + 11) % seqs.size()]);
    ExpectKernelsMatchScalar(pairs, Alphabet::Nucleotide);
}

// Terms of a log-sum: log zero, equal terms, signed zeros, differences at and next to the ends of
// the cubic pieces and the cut-off, and random ones of every size.
std::vector<std::pair<float, float>> LogSumTerms() {
    std::vector<std::pair<float, float>> terms = {
        {kLogZero, kLogZero},
        {kLogZero, -3.0f},
        {-3.0f, kLogZero},
        {0.0f, -0.0f},
        {-0.0f, 0.0f},
        {-5.0f, -5.0f},
        {0.0f, kLogZero},
        {-1e6f, -1e6f + 8.0f},
        // Differences far past the cut-off, where a lane's piece is whatever it reads.
        {0.0f, -16.0f},
        {-1e7f, 0.0f},
        {0.0f, -3e38f},
    };
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> base(-400.0f, 10.0f), diff(0.0f, 9.0f);
    for (float d : {0.0f, 0.5f, 1.0f, 1.5f, 2.5f, 3.0f, 4.5f, 5.0f, 7.5f}) {
        // Differences exactly at each boundary and one step either side (terms near zero keep
        // them exact), then from random terms.
        for (float dd : {std::nextafter(d, -1.0f), d, std::nextafter(d, 10.0f)}) {
            terms.emplace_back(0.0f, -dd);
            terms.emplace_back(-dd, 0.0f);
        }
        for (int k = 0; k < 64; ++k) {
            const float x = base(rng);
            for (float dd : {std::nextafter(d, -1.0f), d, std::nextafter(d, 10.0f)}) {
                terms.emplace_back(x, x + dd);
                terms.emplace_back(x + dd, x);
            }
        }
    }
    for (int k = 0; k < 200000; ++k) {
        const float x = base(rng);
        const float y = rng() % 16 == 0 ? kLogZero : x + (rng() % 2 ? diff(rng) : -diff(rng));
        terms.emplace_back(x, y);
    }
    while (terms.size() % 16 != 0) terms.emplace_back(-1.0f, -2.0f);
    return terms;
}

TEST(Kernels, LogSumGivesTheScalarBitsOnEveryLane) {
    const auto terms = LogSumTerms();
    std::vector<float> x, y, out(terms.size());
    for (const auto& [a, b] : terms) {
        x.push_back(a);
        y.push_back(b);
    }
    for (Kernel kernel : {Kernel::Scalar, Kernel::Avx2, Kernel::Avx512}) {
        if (!KernelAvailable(kernel)) continue;
        LogSumLanes(kernel, x.data(), y.data(), out.data(), out.size());
        int wrong = 0;
        for (std::size_t k = 0; k < terms.size(); ++k) {
            const float want = LogSum(x[k], y[k]);
            if (std::memcmp(&want, &out[k], sizeof want) != 0 && ++wrong <= 5)
                ADD_FAILURE() << "kernel " << static_cast<int>(kernel) << ": LogSum(" << x[k]
                              << ", " << y[k] << ") = " << want << ", lanes give " << out[k];
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(Kernels, CancelStopsALaneBatch) {
    std::atomic<bool> cancel{true};
    const std::string a(500, 'A'), b(400, 'C');
    const std::string_view xs[] = {a}, ys[] = {b};
    SparsePosterior out[1];
    for (const auto& k : kSimdKernels) {
        if (!KernelAvailable(k.kernel)) continue;
        EXPECT_FALSE(k.run(ModelFor(Alphabet::Nucleotide), xs, ys, 1, &cancel, out)) << k.name;
    }
}

}  // namespace
}  // namespace kvr::align
