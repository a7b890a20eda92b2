// The cells of the banded passes (see band.h), N consecutive cells of an anti-diagonal a vector,
// forward and backward. Every cell runs the scalar reference's operations in its order, both sides
// of each branch computed and the reference's choice selected, so that a cell holds the
// reference's bits whenever no neighbour outside the band mattered.
//
// Included by one source file per instruction set, inside its target region.
#pragma once

#include <immintrin.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

#include "align/band.h"
#include "align/hmm_model.h"
#include "align/log_sum.h"
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

// The vectors of an anti-diagonal's rows: up to four at a time where inside(k, count) holds for
// as many cells, the rest (the matrix's and the band's edges) one at a time by edge(k). The
// match's sums form one long chain a vector; the more vectors at once, the more of each chain's
// waits the others fill.
template <int N, typename Inside, typename Interior, typename Edge>
KVR_ALIGN_INLINE void EachVector(std::int32_t rows, const Inside& inside, const Interior& interior,
                                 const Edge& edge) {
    for (std::int32_t k = 0; k < rows;) {
        if (inside(k, 4 * N)) {
            interior(std::integral_constant<int, 4>{}, k);
            k += 4 * N;
        } else if (inside(k, 3 * N)) {
            interior(std::integral_constant<int, 3>{}, k);
            k += 3 * N;
        } else if (inside(k, 2 * N)) {
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

// The two passes' cells of one pair in a band.
template <int N>
class BandCells {
  public:
    using F = typename Vec<N>::F;
    using I = typename Vec<N>::I;

    BandCells(const HmmModel& m, std::string_view xv, std::string_view yv, const Band& band,
              BandScratch& s)
        : band_(band), W_((band.widest + 15) / 16 * 16), c_(Context::Of(m, xv, yv, W_ + 2, s)) {}

    // Rows of an anti-diagonal as whole vectors (16 rows, every kernel's lanes a divisor).
    std::int32_t Width() const { return W_; }
    // A ring slot: a vector of padding, then the cells, then room for the loads that reach past
    // them; the cell before the first and the one after the last hold log zero.
    std::size_t Stride() const { return static_cast<std::size_t>(W_) + 2 * kRingPad; }

    // Forward, anti-diagonal d into cur (five states) from p1 (d - 1) and p2 (d - 2), each
    // pointing one cell before its first; the match states into fm as well. Cell k is
    // row i = First(d) + k, column j = d - i; its diagonal neighbour is on d - 2, the ones above
    // and to the left on d - 1. The lanes of the last vector past the band's end, and the row
    // after it, hold log zero: they are the neighbours outside the band of the next
    // anti-diagonals' cells.
    KVR_ALIGN_INLINE void Forward(std::int32_t d, float* const cur[5], const float* const p1[5],
                                  const float* const p2[5], float* fm) const {
        const std::int32_t sd = band_.First(d), rows = band_.Rows(d);
        const std::int32_t sh1 = sd - band_.First(d - 1), sh2 = sd - band_.First(d - 2);
        const auto& [lx, ly, P, insXs, insYs, xs, ys, matchOf, iota, LZ, tMM, tMI, tMJ, tII, tIM,
                     tJJ, tJM, tSM, tSI, tSJ] = c_;
        // The sums of G vectors of cells from k as for cells inside the matrix.
        const auto sums = [&](auto group, std::int32_t k) {
            constexpr int G = decltype(group)::value;
            ForwardSums<N, G> r;
            F pM[G], pIX[G], pJX[G], pIY[G], pJY[G], uM[G], lM[G];
            for (int g = 0; g < G; ++g) {
                const std::int32_t kg = k + g * N;
                const std::size_t diag = static_cast<std::size_t>(kg + sh2);
                const std::size_t up = static_cast<std::size_t>(kg + sh1), left = up + 1;
                r.insX[g] = LoadF<N>(insXs + P + sd + kg);
                r.insY[g] = LoadF<N>(insYs + P + ly - d + sd + kg);
                r.emit[g] =
                    matchOf(LoadI<N>(xs + P + sd + kg) + LoadI<N>(ys + P + ly - d + sd + kg));
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
        // cell: up to four at a time there, so that each one's chain runs while the others wait.
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
        for (int st = 0; st < 5; ++st) cur[st][rows] = kLogZero;
    }

    // Backward, anti-diagonal d (at least 2) into cur from n1 (d + 1) and n2 (d + 2), each
    // pointing one cell before its first. keep(k, valid, M, IX, JX, IY, JY) sees every vector
    // with a cell inside the matrix once it is stored, valid the lanes of such cells. Its
    // neighbours: diagonal on d + 2, below and to the right on d + 1.
    template <typename Keep>
    KVR_ALIGN_INLINE void Backward(std::int32_t d, float* const cur[5], const float* const n1[5],
                                   const float* const n2[5], const Keep& keep) const {
        const std::int32_t sd = band_.First(d), rows = band_.Rows(d);
        const std::int32_t sh1 = band_.First(d + 1) - sd, sh2 = band_.First(d + 2) - sd;
        const auto& [lx, ly, P, insXs, insYs, xs, ys, matchOf, iota, LZ, tMM, tMI, tMJ, tII, tIM,
                     tJJ, tJM, tSM, tSI, tSJ] = c_;
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
                const F insX = LoadF<N>(insXs + P + sd + kg + 1);
                const F insY = LoadF<N>(insYs + P + ly - d + sd + kg - 1);
                const F emit = matchOf(LoadI<N>(xs + P + sd + kg + 1) +
                                       LoadI<N>(ys + P + ly - d + sd + kg - 1));
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
        const auto store = [&](std::int32_t k, I valid, F M, F IX, F JX, F IY, F JY) {
            Store<N>(cur[0] + k, M);
            Store<N>(cur[1] + k, IX);
            Store<N>(cur[2] + k, JX);
            Store<N>(cur[3] + k, IY);
            Store<N>(cur[4] + k, JY);
            keep(k, valid, M, IX, JX, IY, JY);
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
        for (int st = 0; st < 5; ++st) cur[st][rows] = kLogZero;
    }

  private:
    // What a pass reads besides the band: lengths, x's and y's scores padded by P, transitions
    // (match m, short insert I, long insert J, start S).
    struct Context {
        std::int32_t lx, ly, P;
        const float *insX, *insY;
        const std::int32_t *xs, *ys;
        MatchScores<N> matchOf;
        I iota;
        F LZ, tMM, tMI, tMJ, tII, tIM, tJJ, tJM, tSM, tSI, tSJ;

        // Per-row and per-column data, padded by P on both sides so that a band reaching outside
        // the matrix reads harmless values (its cells there are masked); y's reversed, so that
        // the columns of an anti-diagonal's rows lie in order.
        static Context Of(const HmmModel& m, std::string_view xv, std::string_view yv,
                          std::int32_t P, BandScratch& s) {
            const auto lx = static_cast<std::int32_t>(xv.size());
            const auto ly = static_cast<std::int32_t>(yv.size());
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
            I iota;
            for (int l = 0; l < N; ++l) iota[l] = l;
            return {lx,
                    ly,
                    P,
                    s.insX.data(),
                    s.insY.data(),
                    s.xs.data(),
                    s.ys.data(),
                    MatchScores<N>(m.classMatch),
                    iota,
                    Splat<N>(kLogZero),
                    Splat<N>(m.mm),
                    Splat<N>(m.mShort),
                    Splat<N>(m.mLong),
                    Splat<N>(m.shortShort),
                    Splat<N>(m.shortM),
                    Splat<N>(m.longLong),
                    Splat<N>(m.longM),
                    Splat<N>(m.startM),
                    Splat<N>(m.startShort),
                    Splat<N>(m.startLong)};
        }
    };

    const Band& band_;
    const std::int32_t W_;
    const Context c_;
};

}  // namespace kvr::align::lanes
