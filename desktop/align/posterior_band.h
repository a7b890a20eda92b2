// The banded forward and backward passes (see band.h), N consecutive cells of an anti-diagonal
// per vector. Every cell runs the scalar reference's operations in its order, both sides of each
// branch computed and the reference's choice selected, so that a cell holds the reference's bits
// whenever no neighbour outside the band mattered.
//
// Included by one source file per instruction set, inside its target region.
#pragma once

#include <immintrin.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

#include "align/band.h"
#include "align/hmm_model.h"
#include "align/log_sum.h"
#include "align/posterior.h"
#include "align/simd_log_sum.h"

namespace kvr::align::lanes {

template <int N>
KVR_ALIGN_INLINE typename Vec<N>::F LoadF(const float* p) {
    typename Vec<N>::F v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <int N>
KVR_ALIGN_INLINE typename Vec<N>::I LoadI(const std::int32_t* p) {
    typename Vec<N>::I v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <int N>
KVR_ALIGN_INLINE void Store(float* p, typename Vec<N>::F v) {
    std::memcpy(p, &v, sizeof v);
}

// table[index] on every lane.
template <int N>
KVR_ALIGN_INLINE typename Vec<N>::F Gather(const float* table, typename Vec<N>::I index) {
    // Instantiated for 16 lanes only in the AVX-512 kernel, for 8 only in the AVX2 one.
    if constexpr (N == 16) {
        return (typename Vec<N>::F)_mm512_mask_i32gather_ps(_mm512_setzero_ps(), 0xffff,
                                                            (__m512i)index, table, 4);
    } else if constexpr (N == 8) {
        return (typename Vec<N>::F)_mm256_i32gather_ps(table, (__m256i)index, 4);
    } else {
        typename Vec<N>::F v;
        for (int l = 0; l < N; ++l) v[l] = table[index[l]];
        return v;
    }
}

// The match scores of the classes of a residue pair, by index (row class x class count + column
// class): from two registers by one permute when 16 lanes are held and the table has at most 32
// entries (the nucleotides' 25), where a gather costs more; else gathered.
template <int N>
class MatchScores {
  public:
    explicit MatchScores(const std::vector<float>& table) : table_(table.data()) {
        if constexpr (N == 16) {
            if (table.size() <= 2 * N) {
                float both[2 * N] = {};
                std::copy(table.begin(), table.end(), both);
                std::memcpy(&low_, both, sizeof low_);
                std::memcpy(&high_, both + N, sizeof high_);
                inRegisters_ = true;
            }
        }
    }
    KVR_ALIGN_INLINE typename Vec<N>::F operator()(typename Vec<N>::I index) const {
        if constexpr (N == 16) {
            if (inRegisters_)
                return (typename Vec<N>::F)_mm512_permutex2var_ps((__m512)low_, (__m512i)index,
                                                                  (__m512)high_);
        }
        return Gather<N>(table_, index);
    }

  private:
    const float* table_;
    bool inRegisters_ = false;
    typename Vec<N>::F low_{}, high_{};
};

// What the forward pass computes for G vectors of cells as for cells inside the matrix, and what
// its rules for the matrix's edge cells need besides.
template <int N, int G>
struct ForwardSums {
    using F = typename Vec<N>::F;
    F sum[G], ix[G], jx[G], iy[G], jy[G];  // the match's before its emission
    F emit[G], insX[G], insY[G], uIX[G], uJX[G], lIY[G], lJY[G];
};

// The same for the backward pass.
template <int N, int G>
struct BackwardSums {
    using F = typename Vec<N>::F;
    F m[G], ix[G], jx[G], iy[G], jy[G];
    F nextIX[G], nextJX[G], nextIY[G], nextJY[G];
};

// The vectors of an anti-diagonal's rows: two at a time where inside(k, 2N) holds, one where
// inside(k, N) does, the rest (the matrix's and the band's edges) one at a time by edge(k).
template <int N, typename Inside, typename Interior, typename Edge>
KVR_ALIGN_INLINE void EachVector(std::int32_t rows, const Inside& inside, const Interior& interior,
                                 const Edge& edge) {
    for (std::int32_t k = 0; k < rows;) {
        if (inside(k, 2 * N)) {
            interior(std::integral_constant<int, 2>{}, k);
            k += 2 * N;
        } else if (inside(k, N)) {
            interior(std::integral_constant<int, 1>{}, k);
            k += N;
        } else {
            edge(k);
            k += N;
        }
    }
}

// The ring's padding before the cells: one vector of the widest kernel.
inline constexpr std::size_t kRingPad = 16;

// The first 64-byte boundary in a ring's storage (allocated kRingPad floats longer).
inline float* AlignedRing(std::vector<float>& ring) {
    const auto at = reinterpret_cast<std::uintptr_t>(ring.data());
    return ring.data() + (((at + 63) & ~std::uintptr_t{63}) - at) / sizeof(float);
}

template <int N>
BandResult PosteriorBand(const HmmModel& m, std::string_view xv, std::string_view yv,
                         const Band& band, BandScratch& s, const std::atomic<bool>* cancel,
                         SparsePosterior& out) {
    using F = typename Vec<N>::F;
    using I = typename Vec<N>::I;
    const std::int32_t lx = static_cast<std::int32_t>(xv.size());
    const std::int32_t ly = static_cast<std::int32_t>(yv.size());
    // Rows of an anti-diagonal as whole vectors (16 rows, every kernel's lanes a divisor).
    const std::int32_t D = lx + ly, W = (band.widest + 15) / 16 * 16;
    // A ring slot: a vector of padding, then the cells, then room for the loads that reach past
    // them; the cell before the first and the one after the last hold log zero. Cells begin on a
    // 64-byte boundary, so that a vector of them is one cache line to store.
    const std::size_t stride = static_cast<std::size_t>(W) + 2 * kRingPad;

    // Per-row and per-column data, padded by P on both sides so that a band reaching outside the
    // matrix reads harmless values (its cells there are masked).
    const std::int32_t P = W + 2;
    s.insX.assign(static_cast<std::size_t>(lx + 2 * P + 2), 0.0f);
    s.xs.assign(s.insX.size(), 0);
    s.insY.assign(static_cast<std::size_t>(ly + 2 * P + 2), 0.0f);
    s.ys.assign(s.insY.size(), 0);
    for (std::int32_t i = 1; i <= lx; ++i) {
        const auto c = static_cast<unsigned char>(xv[static_cast<std::size_t>(i - 1)]);
        s.insX[static_cast<std::size_t>(P + i)] = m.insert[c];
        s.xs[static_cast<std::size_t>(P + i)] = m.classOf[c] * m.classes;
    }
    for (std::int32_t j = 1; j <= ly; ++j) {
        const auto c = static_cast<unsigned char>(yv[static_cast<std::size_t>(j - 1)]);
        s.insY[static_cast<std::size_t>(P + ly - j)] = m.insert[c];
        s.ys[static_cast<std::size_t>(P + ly - j)] = m.classOf[c];
    }
    const MatchScores<N> matchOf(m.classMatch);

    // The forward match scores the backward pass needs: every anti-diagonal's when they fit in
    // band.storeBytes; else blocks of `block` anti-diagonals, computed again during the backward
    // pass from checkpoints (the two anti-diagonals before each block, all five states).
    const std::size_t rowFloats = static_cast<std::size_t>(W), ringFloats = 3 * 5 * stride;
    const std::size_t allFloats = static_cast<std::size_t>(D + 1) * rowFloats;
    const bool keepAll = allFloats * sizeof(float) <= band.storeBytes;
    const std::int32_t block = keepAll ? D + 1
                                       : static_cast<std::int32_t>(std::clamp<std::size_t>(
                                             band.storeBytes / 2 / (rowFloats * sizeof(float)), 1,
                                             static_cast<std::size_t>(D + 1)));
    float* const stored =
        s.forwardMatch.Need(keepAll ? allFloats : static_cast<std::size_t>(block) * rowFloats);
    float* const checkpoints =
        keepAll ? nullptr : s.checkpoints.Need(static_cast<std::size_t>(D / block) * 10 * stride);
    s.slots.assign(ringFloats + kRingPad, kLogZero);
    float* const slots = AlignedRing(s.slots);
    s.edge.resize(static_cast<std::size_t>(D + 1) * 10);
    // The three anti-diagonals of a ring, five states each.
    const auto slotIn = [stride](float* ring, std::int32_t d, int state) {
        return ring + (static_cast<std::size_t>(d % 3) * 5 + state) * stride;
    };
    const auto slot = [&](std::int32_t d, int state) { return slotIn(slots, d, state); };
    const auto cancelled = [cancel] {
        return cancel != nullptr && cancel->load(std::memory_order_relaxed);
    };

    const F LZ = Splat<N>(kLogZero);
    const F tMM = Splat<N>(m.mm), tMI = Splat<N>(m.mShort), tMJ = Splat<N>(m.mLong);
    const F tII = Splat<N>(m.shortShort), tIM = Splat<N>(m.shortM);
    const F tJJ = Splat<N>(m.longLong), tJM = Splat<N>(m.longM);
    const F tSM = Splat<N>(m.startM), tSI = Splat<N>(m.startShort), tSJ = Splat<N>(m.startLong);
    I iota;
    for (int l = 0; l < N; ++l) iota[l] = l;

    // Forward, one anti-diagonal into a ring. Cell k of anti-diagonal d is row i = start + k,
    // column j = d - i; its diagonal neighbour is on d - 2, the ones above and to the left on
    // d - 1. The lanes of the last vector past the band's end, and the row after it, hold log
    // zero: they are the neighbours outside the band of the next anti-diagonals' cells.
    const auto forward = [&](std::int32_t d, float* ring, float* fm) {
        const std::int32_t sd = band.First(d), rows = band.Rows(d);
        const std::int32_t sh1 = sd - band.First(d - 1), sh2 = sd - band.First(d - 2);
        float* cur[5];
        const float *p1[5], *p2[5];
        for (int st = 0; st < 5; ++st) {
            cur[st] = slotIn(ring, d, st) + kRingPad;
            p1[st] = slotIn(ring, d + 2, st) + kRingPad - 1;  // d - 1
            p2[st] = slotIn(ring, d + 1, st) + kRingPad - 1;  // d - 2
        }
        // The sums of G vectors of cells from k as for cells inside the matrix.
        const auto sums = [&](auto group, std::int32_t k) {
            constexpr int G = decltype(group)::value;
            ForwardSums<N, G> r;
            F pM[G], pIX[G], pJX[G], pIY[G], pJY[G], uM[G], lM[G];
            for (int g = 0; g < G; ++g) {
                const std::int32_t kg = k + g * N;
                const std::size_t diag = static_cast<std::size_t>(kg + sh2);
                const std::size_t up = static_cast<std::size_t>(kg + sh1), left = up + 1;
                r.insX[g] = LoadF<N>(s.insX.data() + P + sd + kg);
                r.insY[g] = LoadF<N>(s.insY.data() + P + ly - d + sd + kg);
                r.emit[g] = matchOf(LoadI<N>(s.xs.data() + P + sd + kg) +
                                    LoadI<N>(s.ys.data() + P + ly - d + sd + kg));
                pM[g] = LoadF<N>(p2[0] + diag);
                pIX[g] = LoadF<N>(p2[1] + diag);
                pJX[g] = LoadF<N>(p2[2] + diag);
                pIY[g] = LoadF<N>(p2[3] + diag);
                pJY[g] = LoadF<N>(p2[4] + diag);
                uM[g] = LoadF<N>(p1[0] + up);
                r.uIX[g] = LoadF<N>(p1[1] + up);
                r.uJX[g] = LoadF<N>(p1[2] + up);
                lM[g] = LoadF<N>(p1[0] + left);
                r.lIY[g] = LoadF<N>(p1[3] + left);
                r.lJY[g] = LoadF<N>(p1[4] + left);
            }
            // The match's sum, pM + (pIX + (pJX + (pIY + pJY))) with its transitions, is a chain
            // of four log-sums; the inserts' sums fill its waits.
            for (int g = 0; g < G; ++g) r.sum[g] = LogSumV<N>(pIY[g] + tIM, pJY[g] + tJM);
            for (int g = 0; g < G; ++g)
                r.ix[g] = LogSumV<N>(r.uIX[g] + tII, uM[g] + tMI) + r.insX[g];
            for (int g = 0; g < G; ++g) r.sum[g] = LogSumV<N>(pJX[g] + tJM, r.sum[g]);
            for (int g = 0; g < G; ++g)
                r.jx[g] = LogSumV<N>(r.uJX[g] + tJJ, uM[g] + tMJ) + r.insX[g];
            for (int g = 0; g < G; ++g) r.sum[g] = LogSumV<N>(pIX[g] + tIM, r.sum[g]);
            for (int g = 0; g < G; ++g)
                r.iy[g] = LogSumV<N>(r.lIY[g] + tII, lM[g] + tMI) + r.insY[g];
            for (int g = 0; g < G; ++g) r.sum[g] = LogSumV<N>(pM[g] + tMM, r.sum[g]);
            for (int g = 0; g < G; ++g)
                r.jy[g] = LogSumV<N>(r.lJY[g] + tJJ, lM[g] + tMJ) + r.insY[g];
            return r;
        };
        const auto store = [&](std::int32_t k, F M, F IX, F JX, F IY, F JY) {
            Store<N>(cur[0] + k, M);
            Store<N>(cur[1] + k, IX);
            Store<N>(cur[2] + k, JX);
            Store<N>(cur[3] + k, IY);
            Store<N>(cur[4] + k, JY);
            Store<N>(fm + k, M);
        };
        // Most vectors lie inside the band and the matrix, away from its first row, column and
        // cell: two at a time there, so that each one's chain runs while the other's waits.
        const auto inside = [&](std::int32_t k, std::int32_t count) {
            const std::int32_t i0 = sd + k, j0 = d - i0;
            return k + count <= rows && i0 >= 1 && i0 + count - 1 <= lx && j0 - count + 1 >= 1 &&
                   j0 <= ly && d != 2;
        };
        const auto interior = [&](auto group, std::int32_t k) {
            const auto r = sums(group, k);
            for (int g = 0; g < decltype(group)::value; ++g)
                store(k + g * N, r.sum[g] + r.emit[g], r.ix[g], r.jx[g], r.iy[g], r.jy[g]);
        };
        EachVector<N>(rows, inside, interior, [&](std::int32_t k) {
            const auto r = sums(std::integral_constant<int, 1>{}, k);
            const F emit = r.emit[0], insX = r.insX[0], insY = r.insY[0];
            const I i = sd + k + iota;
            const I j = d - i;
            const auto row1 = i == 1, col1 = j == 1;
            const F mInner = (row1 & col1) ? tSM + emit : r.sum[0] + emit;
            // Row 0: y's inserts before x starts; column 0: x's inserts before y starts.
            const F iyRow0 = col1 ? tSI + insY : r.lIY[0] + tII + insY;
            const F jyRow0 = col1 ? tSJ + insY : r.lJY[0] + tJJ + insY;
            const F ixCol0 = row1 ? tSI + insX : r.uIX[0] + tII + insX;
            const F jxCol0 = row1 ? tSJ + insX : r.uJX[0] + tJJ + insX;
            const auto inRows = (i >= 0) & (i <= lx), inCols = (j >= 0) & (j <= ly);
            const auto inBand = k + iota < rows;
            const auto inner = (i >= 1) & (j >= 1) & (i <= lx) & (j <= ly) & inBand;
            const auto onRow0 = (i == 0) & (j >= 1) & inCols & inBand;
            const auto onCol0 = (j == 0) & (i >= 1) & inRows & inBand;
            store(k, inner ? mInner : LZ, inner ? r.ix[0] : (onCol0 ? ixCol0 : LZ),
                  inner ? r.jx[0] : (onCol0 ? jxCol0 : LZ),
                  inner ? r.iy[0] : (onRow0 ? iyRow0 : LZ),
                  inner ? r.jy[0] : (onRow0 ? jyRow0 : LZ));
        });
        float* e = s.edge.data() + static_cast<std::size_t>(d) * 10;
        for (int st = 0; st < 5; ++st) {
            cur[st][rows] = kLogZero;
            e[st] = cur[st][0];
            e[5 + st] = cur[st][rows - 1];
        }
    };
    for (std::int32_t d = 0; d <= D; ++d) {
        if (cancelled()) return BandResult::Cancelled;
        if (!keepAll && d % block == 0 && d > 0) {
            float* c = checkpoints + static_cast<std::size_t>(d / block - 1) * 10 * stride;
            std::copy_n(slot(d - 1, 0), 5 * stride, c);
            std::copy_n(slot(d - 2, 0), 5 * stride, c + 5 * stride);
        }
        // Kept, or written over in the first row of the block buffer.
        forward(d, slots, stored + (keepAll ? static_cast<std::size_t>(d) * W : 0));
    }
    // The block of forward rows held in `stored` begins at this anti-diagonal.
    std::int32_t blockStart = keepAll ? 0 : D + 1;
    const auto loadBlock = [&](std::int32_t d) {
        blockStart = d / block * block;
        std::fill(s.again.begin(), s.again.end(), kLogZero);
        float* ring = AlignedRing(s.again);
        if (blockStart > 0) {
            const float* c =
                checkpoints + static_cast<std::size_t>(blockStart / block - 1) * 10 * stride;
            std::copy_n(c, 5 * stride, slotIn(ring, blockStart - 1, 0));
            std::copy_n(c + 5 * stride, 5 * stride, slotIn(ring, blockStart - 2, 0));
        }
        const std::int32_t end = std::min(blockStart + block - 1, D);
        for (std::int32_t t = blockStart; t <= end; ++t) {
            if (cancelled()) return false;
            forward(t, ring, stored + static_cast<std::size_t>(t - blockStart) * W);
        }
        return true;
    };
    if (!keepAll) s.again.resize(ringFloats + kRingPad);
    float total;
    {
        const std::int32_t k = lx - band.First(D);
        float end[5];
        for (int st = 0; st < 5; ++st) end[st] = slot(D, st)[kRingPad + k];
        total = TotalScore(m, end);
    }

    // Backward, from the last cell; posteriors and the band's edges checked as each anti-diagonal
    // is done. Its neighbours: diagonal on d + 2, below and to the right on d + 1.
    std::fill(s.slots.begin(), s.slots.end(), kLogZero);
    s.rowOf.clear();
    s.colOf.clear();
    s.probOf.clear();
    // The posterior at the band's ends, summed (scores far below the limit add nothing that
    // matters).
    const double maxEdgeMass = std::exp(static_cast<double>(kBandEdgeScore));
    const auto edgeMassOf = [](float score) {
        return score < kBandEdgeScore - 30 ? 0.0 : std::exp(static_cast<double>(score));
    };
    double edgeMass = 0;
    const float minScore = MinPosteriorScore();
    const F minScoreV = Splat<N>(minScore), totalV = Splat<N>(total);
    for (std::int32_t d = D; d >= 2; --d) {
        if (cancelled()) return BandResult::Cancelled;
        const std::int32_t sd = band.First(d), rows = band.Rows(d);
        const std::int32_t sh1 = band.First(d + 1) - sd, sh2 = band.First(d + 2) - sd;
        float* cur[5];
        const float *n1[5], *n2[5];
        for (int st = 0; st < 5; ++st) {
            cur[st] = slot(d, st) + kRingPad;
            n1[st] = slot(d + 1, st) + kRingPad - 1;
            n2[st] = slot(d + 2, st) + kRingPad - 1;
        }
        if (d < blockStart && !loadBlock(d)) return BandResult::Cancelled;
        const float* fm = stored + static_cast<std::size_t>(d - blockStart) * W;
        const std::int32_t rowLo = std::max(1, d - ly), rowHi = std::min(d - 1, lx);
        // The sums of G vectors of cells from k as for cells inside the matrix, away from its
        // last row and column.
        const auto sums = [&](auto group, std::int32_t k) {
            constexpr int G = decltype(group)::value;
            BackwardSums<N, G> r;
            F nextM[G];
            for (int g = 0; g < G; ++g) {
                const std::int32_t kg = k + g * N;
                const std::size_t diag = static_cast<std::size_t>(kg + 2 - sh2);
                const std::size_t down = static_cast<std::size_t>(kg + 2 - sh1), right = down - 1;
                // Residue i + 1 of x and j + 1 of y.
                const F insX = LoadF<N>(s.insX.data() + P + sd + kg + 1);
                const F insY = LoadF<N>(s.insY.data() + P + ly - d + sd + kg - 1);
                const F emit = matchOf(LoadI<N>(s.xs.data() + P + sd + kg + 1) +
                                       LoadI<N>(s.ys.data() + P + ly - d + sd + kg - 1));
                nextM[g] = LoadF<N>(n2[0] + diag) + emit;
                r.nextIX[g] = LoadF<N>(n1[1] + down) + insX;
                r.nextJX[g] = LoadF<N>(n1[2] + down) + insX;
                r.nextIY[g] = LoadF<N>(n1[3] + right) + insY;
                r.nextJY[g] = LoadF<N>(n1[4] + right) + insY;
            }
            // As forward: the match's chain of four log-sums, the inserts' sums in its waits.
            for (int g = 0; g < G; ++g) r.m[g] = LogSumV<N>(tMI + r.nextIY[g], tMJ + r.nextJY[g]);
            for (int g = 0; g < G; ++g) r.ix[g] = LogSumV<N>(tII + r.nextIX[g], tIM + nextM[g]);
            for (int g = 0; g < G; ++g) r.m[g] = LogSumV<N>(tMJ + r.nextJX[g], r.m[g]);
            for (int g = 0; g < G; ++g) r.jx[g] = LogSumV<N>(tJJ + r.nextJX[g], tJM + nextM[g]);
            for (int g = 0; g < G; ++g) r.m[g] = LogSumV<N>(tMI + r.nextIX[g], r.m[g]);
            for (int g = 0; g < G; ++g) r.iy[g] = LogSumV<N>(tII + r.nextIY[g], tIM + nextM[g]);
            for (int g = 0; g < G; ++g) r.m[g] = LogSumV<N>(tMM + nextM[g], r.m[g]);
            for (int g = 0; g < G; ++g) r.jy[g] = LogSumV<N>(tJJ + r.nextJY[g], tJM + nextM[g]);
            return r;
        };
        // Stores a vector and keeps the posteriors of its valid cells that reach the minimum.
        const auto store = [&](std::int32_t k, I valid, F M, F IX, F JX, F IY, F JY) {
            Store<N>(cur[0] + k, M);
            Store<N>(cur[1] + k, IX);
            Store<N>(cur[2] + k, JX);
            Store<N>(cur[3] + k, IY);
            Store<N>(cur[4] + k, JY);
            const F score = LoadF<N>(fm + k) + M - totalV;
            const I keep = valid & (score >= minScoreV);
            if (!AnyLane<N>(keep)) return;
            for (int l = 0; l < N; ++l) {
                if (keep[l] == 0) continue;
                const float p = PosteriorOfScore(score[l]);
                if (p == 0) continue;
                const std::int32_t i = sd + k + l;
                s.rowOf.push_back(static_cast<std::uint32_t>(i - 1));
                s.colOf.push_back(static_cast<std::uint32_t>(d - i - 1));
                s.probOf.push_back(p);
            }
        };
        const auto inside = [&](std::int32_t k, std::int32_t count) {
            const std::int32_t i0 = sd + k, j0 = d - i0;
            return k + count <= rows && i0 >= 1 && i0 + count - 1 <= lx - 1 &&
                   j0 - count + 1 >= 1 && j0 <= ly - 1;
        };
        const I all = iota == iota;
        const auto interior = [&](auto group, std::int32_t k) {
            const auto r = sums(group, k);
            for (int g = 0; g < decltype(group)::value; ++g)
                store(k + g * N, all, r.m[g], r.ix[g], r.jx[g], r.iy[g], r.jy[g]);
        };
        EachVector<N>(rows, inside, interior, [&](std::int32_t k) {
            // At the matrix's edge or last row or column: the few vectors not wholly inside.
            if (sd + k + N - 1 < rowLo || sd + k > rowHi) {
                for (int st = 0; st < 5; ++st) Store<N>(cur[st] + k, LZ);
                return;
            }
            const auto r = sums(std::integral_constant<int, 1>{}, k);
            const F nextIX = r.nextIX[0], nextJX = r.nextJX[0];
            const F nextIY = r.nextIY[0], nextJY = r.nextJY[0];
            const I i = sd + k + iota;
            const I j = d - i;
            const auto lastRow = i == lx, lastCol = j == ly;
            const auto valid = (i >= 1) & (j >= 1) & (i <= lx) & (j <= ly) & (k + iota < rows);
            const auto corner = lastRow & lastCol;
            const auto onRow = lastRow & ~lastCol, onCol = lastCol & ~lastRow;
            const auto inner = valid & ~lastRow & ~lastCol;
            F M = valid ? r.m[0] : LZ;
            if (AnyLane<N>(valid & (lastRow | lastCol))) {
                const F mRow = LogSumV<N>(tMI + nextIY, tMJ + nextJY);
                const F mCol = LogSumV<N>(tMI + nextIX, tMJ + nextJX);
                M = valid ? (corner ? tSM : (onRow ? mRow : (onCol ? mCol : r.m[0]))) : LZ;
            }
            store(k, valid, M,
                  inner ? r.ix[0] : (valid & corner ? tSI : (valid & onCol ? tII + nextIX : LZ)),
                  inner ? r.jx[0] : (valid & corner ? tSJ : (valid & onCol ? tJJ + nextJX : LZ)),
                  inner ? r.iy[0] : (valid & corner ? tSI : (valid & onRow ? tII + nextIY : LZ)),
                  inner ? r.jy[0] : (valid & corner ? tSJ : (valid & onRow ? tJJ + nextJY : LZ)));
        });
        // The ends of the band that are not the matrix's own edge must carry next to no
        // probability, all of them together: on long pairs many small leaks add up.
        for (int st = 0; st < 5; ++st) cur[st][rows] = kLogZero;
        const float* e = s.edge.data() + static_cast<std::size_t>(d) * 10;
        const bool lowEdge = sd > std::max(0, d - ly);
        const bool highEdge = sd + rows - 1 < std::min(d, lx);
        for (int st = 0; st < 5; ++st) {
            if (lowEdge) edgeMass += edgeMassOf(e[st] + cur[st][0] - total);
            if (highEdge) edgeMass += edgeMassOf(e[5 + st] + cur[st][rows - 1] - total);
        }
        if (edgeMass > maxEdgeMass) return BandResult::Widen;
    }

    // Entries came by descending anti-diagonal, so by descending column within a row.
    out.rows = static_cast<std::uint32_t>(lx);
    out.cols = static_cast<std::uint32_t>(ly);
    out.rowStart.assign(out.rows + 1, 0);
    for (std::uint32_t r : s.rowOf) ++out.rowStart[r + 1];
    for (std::uint32_t r = 0; r < out.rows; ++r) out.rowStart[r + 1] += out.rowStart[r];
    const std::size_t n = s.rowOf.size();
    out.col.resize(n);
    out.prob.resize(n);
    std::vector<std::uint32_t> next(out.rowStart.begin() + 1, out.rowStart.end());
    for (std::size_t q = 0; q < n; ++q) {
        const std::uint32_t at = --next[s.rowOf[q]];
        out.col[at] = s.colOf[q];
        out.prob[at] = s.probOf[q];
    }
    return BandResult::Done;
}

}  // namespace kvr::align::lanes
