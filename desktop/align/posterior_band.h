// The banded posteriors (see band.h): the forward pass, then the backward pass with each cell's
// posterior and the check of the band's edges, over the cells of band_cells.h.
//
// Included by one source file per instruction set, inside its target region.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "align/band.h"
#include "align/band_cells.h"
#include "align/hmm_model.h"
#include "align/log_sum.h"
#include "align/posterior.h"
#include "align/progress.h"

namespace kvr::align::lanes {

template <int N>
BandResult PosteriorBand(const HmmModel& m, std::string_view xv, std::string_view yv,
                         const Band& band, BandScratch& s, const PassWatch& watch,
                         SparsePosterior& out) {
    using F = typename Vec<N>::F;
    using I = typename Vec<N>::I;
    const BandCells<N> cells(m, xv, yv, band, s);
    const std::int32_t lx = static_cast<std::int32_t>(xv.size());
    const std::int32_t ly = static_cast<std::int32_t>(yv.size());
    const std::int32_t D = lx + ly, W = cells.Width();
    const std::size_t stride = cells.Stride();

    // The forward match scores the backward pass needs: every anti-diagonal's, or blocks of them
    // computed again during the backward pass from checkpoints (StoreOf).
    const std::size_t ringFloats = 3 * 5 * stride;
    const BandStore store = StoreOf(band);
    const bool keepAll = store.keepAll;
    const std::int32_t block = store.block;
    float* const stored = s.forwardMatch.Need(store.storedFloats);
    float* const checkpoints = keepAll ? nullptr : s.checkpoints.Need(store.checkpointFloats);
    s.slots.assign(ringFloats + kRingPad, kLogZero);
    float* const slots = AlignedRing(s.slots);
    s.edge.resize(static_cast<std::size_t>(D + 1) * 10);
    // The three anti-diagonals of a ring, five states each.
    const auto slotIn = [stride](float* ring, std::int32_t d, int state) {
        return ring + (static_cast<std::size_t>(d % 3) * 5 + state) * stride;
    };
    const auto slot = [&](std::int32_t d, int state) { return slotIn(slots, d, state); };
    const auto cancelled = [&watch] { return watch.Cancelled(); };
    // Progress: the forward pass the first half of the steps, the backward pass the second.
    const std::int64_t steps = 2 * (static_cast<std::int64_t>(D) + 1);

    // Forward, one anti-diagonal into a ring; its ends kept for the edge check.
    const auto forward = [&](std::int32_t d, float* ring, float* fm) {
        float* cur[5];
        const float *p1[5], *p2[5];
        for (int st = 0; st < 5; ++st) {
            cur[st] = slotIn(ring, d, st) + kRingPad;
            p1[st] = slotIn(ring, d + 2, st) + kRingPad - 1;  // d - 1
            p2[st] = slotIn(ring, d + 1, st) + kRingPad - 1;  // d - 2
        }
        cells.Forward(d, cur, p1, p2, fm);
        const std::int32_t rows = band.Rows(d);
        float* e = s.edge.data() + static_cast<std::size_t>(d) * 10;
        for (int st = 0; st < 5; ++st) {
            e[st] = cur[st][0];
            e[5 + st] = cur[st][rows - 1];
        }
    };
    std::size_t kept = 0;  // the packed store's floats so far
    for (std::int32_t d = 0; d <= D; ++d) {
        if (cancelled()) return BandResult::Cancelled;
        if (d % 64 == 0) watch.Pass(d, steps);
        if (!keepAll && d % block == 0 && d > 0) {
            float* c = checkpoints + static_cast<std::size_t>(d / block - 1) * 10 * stride;
            std::copy_n(slot(d - 1, 0), 5 * stride, c);
            std::copy_n(slot(d - 2, 0), 5 * stride, c + 5 * stride);
        }
        // Kept, packed, or written over in the first row of the block buffer.
        forward(d, slots, stored + (keepAll ? kept : 0));
        if (keepAll) kept += static_cast<std::size_t>(band.VectorRows(d));
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
    s.total = total;

    // Backward, from the last cell; posteriors and the band's edges checked as each anti-diagonal
    // is done.
    std::fill(s.slots.begin(), s.slots.end(), kLogZero);
    s.rowOf.clear();
    s.colOf.clear();
    s.probOf.clear();
    // The posterior at the band's ends, summed. Most ends lie far below the limit: those count
    // as e^(limit - 20), an upper bound that spares their exponential (a pair of 100 kb has two
    // million such terms: together under a hundredth of the limit).
    const double maxEdgeMass = std::exp(static_cast<double>(kBandEdgeScore));
    const double smallEdgeMass = std::exp(static_cast<double>(kBandEdgeScore - 20));
    const auto edgeMassOf = [smallEdgeMass](float score) {
        return score < kBandEdgeScore - 20 ? smallEdgeMass : std::exp(static_cast<double>(score));
    };
    double edgeMass = 0;
    if (band.leaks) s.leak.assign(static_cast<std::size_t>(D + 1), 0.0);
    const float minScore = MinPosteriorScore();
    const F minScoreV = Splat<N>(minScore), totalV = Splat<N>(total);
    for (std::int32_t d = D; d >= 2; --d) {
        if (cancelled()) return BandResult::Cancelled;
        if (d % 64 == 0) watch.Pass(steps - d, steps);
        const std::int32_t sd = band.First(d), rows = band.Rows(d);
        float* cur[5];
        const float *n1[5], *n2[5];
        for (int st = 0; st < 5; ++st) {
            cur[st] = slot(d, st) + kRingPad;
            n1[st] = slot(d + 1, st) + kRingPad - 1;
            n2[st] = slot(d + 2, st) + kRingPad - 1;
        }
        if (d < blockStart && !loadBlock(d)) return BandResult::Cancelled;
        if (keepAll) kept -= static_cast<std::size_t>(band.VectorRows(d));
        const float* fm = stored + (keepAll ? kept : static_cast<std::size_t>(d - blockStart) * W);
        // Keeps the posteriors of a vector's valid cells that reach the minimum.
        cells.Backward(d, cur, n1, n2, [&](std::int32_t k, I valid, F M, F, F, F, F) {
            const F score = LoadF<N>(fm + k) + M - totalV;
            // Few lanes are kept: only those are visited.
            for (std::uint32_t bits = LaneBits<N>(valid & (score >= minScoreV)); bits != 0;
                 bits &= bits - 1) {
                const int l = __builtin_ctz(bits);
                const float p = PosteriorOfScore(score[l]);
                if (p == 0) continue;
                const std::int32_t i = sd + k + l;
                s.rowOf.push_back(static_cast<std::uint32_t>(i - 1));
                s.colOf.push_back(static_cast<std::uint32_t>(d - i - 1));
                s.probOf.push_back(p);
            }
        });
        // The ends of the band that are not the matrix's own edge must carry next to no
        // probability, all of them together: on long pairs many small leaks add up.
        const float* e = s.edge.data() + static_cast<std::size_t>(d) * 10;
        const bool lowEdge = sd > std::max(0, d - ly);
        const bool highEdge = sd + rows - 1 < std::min(d, lx);
        const double before = edgeMass;
        for (int st = 0; st < 5; ++st) {
            if (lowEdge) edgeMass += edgeMassOf(e[st] + cur[st][0] - total);
            if (highEdge) edgeMass += edgeMassOf(e[5 + st] + cur[st][rows - 1] - total);
        }
        if (band.leaks) s.leak[static_cast<std::size_t>(d)] = edgeMass - before;
        if (edgeMass > maxEdgeMass && !band.lastTry && !band.leaks) return BandResult::Widen;
    }
    if (edgeMass > maxEdgeMass && band.leaks && !band.lastTry) return BandResult::Widen;

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
    return edgeMass > maxEdgeMass ? BandResult::Bounded : BandResult::Done;
}

}  // namespace kvr::align::lanes
