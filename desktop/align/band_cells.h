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

// The vectors of an anti-diagonal's rows, up to four at a time: the match's sums form one long
// chain a vector; the more vectors at once, the more of each chain's waits the others fill.
template <int N, typename Interior>
KVR_ALIGN_INLINE void EachGroup(std::int32_t rows, const Interior& interior) {
    std::int32_t k = 0, vectors = (rows + N - 1) / N;
    for (; vectors >= 4; vectors -= 4, k += 4 * N) interior(std::integral_constant<int, 4>{}, k);
    if (vectors == 3)
        interior(std::integral_constant<int, 3>{}, k);
    else if (vectors == 2)
        interior(std::integral_constant<int, 2>{}, k);
    else if (vectors == 1)
        interior(std::integral_constant<int, 1>{}, k);
}

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
        : band_(band), W_(band.VectorRows()), c_(Context::Of(m, xv, yv, W_ + 2, s)) {}

    // Rows of an anti-diagonal as whole vectors (Band::VectorRows).
    std::int32_t Width() const { return W_; }
    // A ring slot (Band::Stride); the cell before the first and the one after the last hold log
    // zero.
    std::size_t Stride() const { return band_.Stride(); }

    // Forward, anti-diagonal d into cur (five states) from p1 (d - 1) and p2 (d - 2), each
    // pointing one cell before its first; the match states into fm as well. Cell k is
    // row i = First(d) + k, column j = d - i; its diagonal neighbour is on d - 2, the ones above
    // and to the left on d - 1. The row after the band's end holds log zero: it is the one
    // neighbour outside the band that the next anti-diagonals' cells read there (both ends
    // move down by 0 or 1 row), so the lanes past it may hold anything.
    KVR_ALIGN_INLINE void Forward(std::int32_t d, float* const cur[5], const float* const p1[5],
                                  const float* const p2[5], float* fm) const {
        const std::int32_t sd = band_.First(d), rows = band_.Rows(d);
        const std::int32_t sh1 = sd - band_.First(d - 1), sh2 = sd - band_.First(d - 2);
        // Names of the context's fields for the lambdas below: references, not a structured
        // binding, which a lambda of clang before 16 cannot capture.
        const auto &ly = c_.ly, &P = c_.P;
        const auto &insXs = c_.insX, &insYs = c_.insY;
        const auto &xs = c_.xs, &ys = c_.ys;
        const auto& matchOf = c_.matchOf;
        const auto &tMM = c_.tMM, &tMI = c_.tMI, &tMJ = c_.tMJ, &tII = c_.tII, &tIM = c_.tIM;
        const auto &tJJ = c_.tJJ, &tJM = c_.tJM, &tSM = c_.tSM, &tSI = c_.tSI, &tSJ = c_.tSJ;
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
        // Every vector as if inside the matrix, up to four at a time so that each one's chain
        // runs while the others wait; then the few cells with rules of their own, one lane each:
        // row 0 (y's inserts before x starts), column 0 (x's inserts before y starts) and the
        // first cell. Lanes past the band's end keep what they got (see above).
        const std::int32_t row0 = sd == 0 ? 0 : -1;                  // cell of row 0
        const std::int32_t col0 = d - sd < rows ? d - sd : -1;       // cell of column 0
        const std::int32_t first = d == 2 && sd <= 1 ? 1 - sd : -1;  // cell (1, 1)
        const std::int32_t lastSpecial = std::max({row0, col0, first});
        const auto interior = [&](auto group, std::int32_t k) {
            constexpr int G = decltype(group)::value;
            const auto r = sums(group, k);
            for (int g = 0; g < G; ++g) {
                const std::int32_t kg = k + g * N;
                F M = r.sum[g] + r.emit[g], IX = r.ix[g], JX = r.jx[g], IY = r.iy[g], JY = r.jy[g];
                if (kg <= lastSpecial) [[unlikely]] {
                    const auto in = [kg](std::int32_t c) { return c >= kg && c < kg + N; };
                    if (in(first)) M[first - kg] = tSM[0] + r.emit[g][first - kg];
                    if (in(row0)) {
                        const int l = row0 - kg;
                        const float insY = r.insY[g][l];
                        M[l] = IX[l] = JX[l] = kLogZero;
                        IY[l] = d == 0   ? kLogZero
                                : d == 1 ? tSI[0] + insY
                                         : r.lIY[g][l] + tII[0] + insY;
                        JY[l] = d == 0   ? kLogZero
                                : d == 1 ? tSJ[0] + insY
                                         : r.lJY[g][l] + tJJ[0] + insY;
                    }
                    if (in(col0) && col0 != row0) {
                        const int l = col0 - kg;
                        const float insX = r.insX[g][l];
                        M[l] = IY[l] = JY[l] = kLogZero;
                        IX[l] = d == 1 ? tSI[0] + insX : r.uIX[g][l] + tII[0] + insX;
                        JX[l] = d == 1 ? tSJ[0] + insX : r.uJX[g][l] + tJJ[0] + insX;
                    }
                }
                store(kg, M, IX, JX, IY, JY);
            }
        };
        EachGroup<N>(rows, interior);
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
        // As in Forward, and the length of x and the lanes' indices.
        const auto &lx = c_.lx, &ly = c_.ly, &P = c_.P;
        const auto &insXs = c_.insX, &insYs = c_.insY;
        const auto &xs = c_.xs, &ys = c_.ys;
        const auto& matchOf = c_.matchOf;
        const auto& iota = c_.iota;
        const auto &tMM = c_.tMM, &tMI = c_.tMI, &tMJ = c_.tMJ, &tII = c_.tII, &tIM = c_.tIM;
        const auto &tJJ = c_.tJJ, &tJM = c_.tJM, &tSM = c_.tSM, &tSI = c_.tSI, &tSJ = c_.tSJ;
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
        // Every vector as if inside the matrix, up to four at a time; then the cells with rules
        // of their own, one lane each: the last row, the last column and their corner. Row 0
        // and column 0 have no backward scores: their lanes, and those past the band's end, are
        // not valid, and no cell of the band reads them.
        const std::int32_t row0 = sd == 0 ? 0 : -1;             // cell (0, d)
        const std::int32_t col0 = d - sd < rows ? d - sd : -1;  // cell (d, 0)
        const auto inRows = [rows](std::int32_t c) { return c >= 0 && c < rows ? c : -1; };
        const std::int32_t lastRow = d - lx >= 1 ? inRows(lx - sd) : -1;      // (lx, d - lx)
        const std::int32_t lastCol = d - ly >= 1 ? inRows(d - ly - sd) : -1;  // (d - ly, ly)
        const std::int32_t lastSpecial = std::max({row0, col0, lastRow, lastCol});
        const I all = iota == iota;
        const auto interior = [&](auto group, std::int32_t k) {
            constexpr int G = decltype(group)::value;
            const auto r = sums(group, k);
            for (int g = 0; g < G; ++g) {
                const std::int32_t kg = k + g * N;
                F M = r.m[g], IX = r.ix[g], JX = r.jx[g], IY = r.iy[g], JY = r.jy[g];
                I valid = kg + N > rows ? kg + iota < rows : all;
                if (kg <= lastSpecial) [[unlikely]] {
                    const auto in = [kg](std::int32_t c) { return c >= kg && c < kg + N; };
                    if (in(row0)) valid[row0 - kg] = 0;
                    if (in(col0)) valid[col0 - kg] = 0;
                    if (in(lastRow) && lastRow == lastCol) {
                        const int l = lastRow - kg;
                        M[l] = tSM[0];
                        IX[l] = IY[l] = tSI[0];
                        JX[l] = JY[l] = tSJ[0];
                    } else {
                        if (in(lastRow)) {
                            const int l = lastRow - kg;
                            const float nextIY = r.nextIY[g][l], nextJY = r.nextJY[g][l];
                            M[l] = LogSum(tMI[0] + nextIY, tMJ[0] + nextJY);
                            IX[l] = JX[l] = kLogZero;
                            IY[l] = tII[0] + nextIY;
                            JY[l] = tJJ[0] + nextJY;
                        }
                        if (in(lastCol)) {
                            const int l = lastCol - kg;
                            const float nextIX = r.nextIX[g][l], nextJX = r.nextJX[g][l];
                            M[l] = LogSum(tMI[0] + nextIX, tMJ[0] + nextJX);
                            IX[l] = tII[0] + nextIX;
                            JX[l] = tJJ[0] + nextJX;
                            IY[l] = JY[l] = kLogZero;
                        }
                    }
                }
                store(kg, valid, M, IX, JX, IY, JY);
            }
        };
        EachGroup<N>(rows, interior);
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
        F tMM, tMI, tMJ, tII, tIM, tJJ, tJM, tSM, tSI, tSJ;

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
