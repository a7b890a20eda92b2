// The posterior passes for several pairs at once, one pair per SIMD lane. Every lane performs the
// scalar reference's operations in the same order, so the results are the same bits. Pairs are
// placed so that they all end at the last row and column (shorter ones are padded at the start):
// the backward pass then starts from one cell for all lanes, and only the forward pass needs the
// per-lane start, as masks.
//
// Included by one source file per instruction set, each compiled for it.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

#include "align/band_cells.h"
#include "align/hmm_model.h"
#include "align/log_sum.h"
#include "align/posterior.h"
#include "align/simd_log_sum.h"

namespace kvr::align::lanes {

// Float storage for n vectors of W lanes, aligned for them (a vector of vector types would not
// keep their alignment).
template <int W>
class VectorBuffer {
  public:
    typename Vec<W>::F* Resize(std::size_t n) {
        storage_.resize((n + 1) * W);
        auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
        const std::uintptr_t align = 4 * W;
        address = (address + align - 1) / align * align;
        return reinterpret_cast<typename Vec<W>::F*>(address);
    }

  private:
    std::vector<float> storage_;
};

template <int W>
struct LaneScratch {
    VectorBuffer<W> forwardMatch;  // rows x cols
    VectorBuffer<W> rows;          // 2 rows x 5 states x (cols + 1)
    VectorBuffer<W> insY;          // each column's insert scores
    std::vector<std::uint8_t> xPad, yPad;
    std::vector<std::int32_t> yClass;  // each column's symbol classes
    std::vector<std::int32_t> startRow, startCol;
    std::vector<std::vector<std::uint32_t>> rowOf, colOf;
    std::vector<std::vector<float>> probOf;
};

// Posteriors of up to W pairs (unused lanes are given empty views and left alone). Returns
// false if cancelled.
template <int W>
bool PosteriorLanes(const HmmModel& m, const std::string_view* xs, const std::string_view* ys,
                    int count, LaneScratch<W>& s, const std::atomic<bool>* cancel,
                    SparsePosterior* out) {
    using F = typename Vec<W>::F;
    using I = typename Vec<W>::I;
    std::size_t LX = 0, LY = 0;
    for (int l = 0; l < count; ++l) {
        LX = std::max(LX, xs[l].size());
        LY = std::max(LY, ys[l].size());
    }
    const std::size_t w = LY + 1;
    // Residue bytes of global row i / column j (from 1) for each lane; 0 before a lane's start.
    s.xPad.assign((LX + 2) * W, 0);
    s.yPad.assign((LY + 2) * W, 0);
    s.startRow.assign(W, 0);
    s.startCol.assign(W, 0);
    for (int l = 0; l < W; ++l) {
        const std::size_t lx = l < count ? xs[l].size() : LX, ly = l < count ? ys[l].size() : LY;
        s.startRow[l] = static_cast<std::int32_t>(LX - lx);
        s.startCol[l] = static_cast<std::int32_t>(LY - ly);
        for (std::size_t k = 0; l < count && k < lx; ++k)
            s.xPad[(LX - lx + 1 + k) * W + l] = static_cast<std::uint8_t>(xs[l][k]);
        for (std::size_t k = 0; l < count && k < ly; ++k)
            s.yPad[(LY - ly + 1 + k) * W + l] = static_cast<std::uint8_t>(ys[l][k]);
    }
    I startRow, startCol;
    for (int l = 0; l < W; ++l) {
        startRow[l] = s.startRow[l];
        startCol[l] = s.startCol[l];
    }
    // Past these every lane is inside its own matrix.
    const std::int32_t lastStartRow = *std::max_element(s.startRow.begin(), s.startRow.end());
    const std::int32_t lastStartCol = *std::max_element(s.startCol.begin(), s.startCol.end());
    F* const forwardMatch = s.forwardMatch.Resize(LX * LY);
    F* rowA = s.rows.Resize(2 * 5 * w);
    F* rowB = rowA + 5 * w;
    const F LZ = Splat<W>(kLogZero);
    const F tMM = Splat<W>(m.mm), tMI = Splat<W>(m.mShort), tMJ = Splat<W>(m.mLong);
    const F tII = Splat<W>(m.shortShort), tIM = Splat<W>(m.shortM);
    const F tJJ = Splat<W>(m.longLong), tJM = Splat<W>(m.longM);
    const F tSM = Splat<W>(m.startM), tSI = Splat<W>(m.startShort), tSJ = Splat<W>(m.startLong);
    const auto insertOf = [&](const std::uint8_t* bytes) {
        F v{};
        for (int l = 0; l < W; ++l) v[l] = m.insert[bytes[l]];
        return v;
    };
    // The columns' scores are the same on every row: looked up once, and the match scores
    // taken from the class table by row offset plus column class.
    F* const insYs = s.insY.Resize(LY + 2);
    s.yClass.resize((LY + 2) * W);
    for (std::size_t j = 0; j <= LY + 1; ++j) {
        const std::uint8_t* yb = s.yPad.data() + j * W;
        insYs[j] = insertOf(yb);
        for (int l = 0; l < W; ++l) s.yClass[j * W + l] = m.classOf[yb[l]];
    }
    const auto rowOffset = [&](const std::uint8_t* xb) {
        I v{};
        for (int l = 0; l < W; ++l) v[l] = m.classOf[xb[l]] * m.classes;
        return v;
    };
    const MatchScores<W> matchScores(m.classMatch);
    const auto matchOf = [&](I xOffset, std::size_t j) {
        I yClass;
        std::memcpy(&yClass, s.yClass.data() + j * W, sizeof yClass);
        return matchScores(xOffset + yClass);
    };
    I used{};  // the lanes given a pair
    for (int l = 0; l < count; ++l) used[l] = -1;
    const auto cancelled = [cancel] {
        return cancel != nullptr && cancel->load(std::memory_order_relaxed);
    };

    // Forward. Global row i is local row i - startRow of each lane.
    F* prev = rowA;
    F* cur = rowB;
    for (std::size_t i = 0; i <= LX; ++i) {
        if (cancelled()) return false;
        const I li = static_cast<std::int32_t>(i) - startRow;
        F *M = cur, *IX = M + w, *JX = IX + w, *IY = JX + w, *JY = IY + w;
        const F *pM = prev, *pIX = pM + w, *pJX = pIX + w, *pIY = pJX + w, *pJY = pIY + w;
        const std::uint8_t* xb = s.xPad.data() + i * W;
        const F insX = insertOf(xb);
        const I xOffset = rowOffset(xb);
        const auto rowBefore = li < 0, row0 = li == 0, row1 = li == 1;
        // Column 0.
        {
            const F ixFirst = tSI + insX, jxFirst = tSJ + insX;
            const F ixNext = pIX[0] + tII + insX, jxNext = pJX[0] + tJJ + insX;
            M[0] = IY[0] = JY[0] = LZ;
            IX[0] = (rowBefore | row0) ? LZ : (row1 ? ixFirst : ixNext);
            JX[0] = (rowBefore | row0) ? LZ : (row1 ? jxFirst : jxNext);
        }
        F* fm = forwardMatch + (i == 0 ? 0 : (i - 1) * LY);
        const bool interiorRow = static_cast<std::int32_t>(i) > lastStartRow + 1;
        // Columns j .. j + G - 1: what comes from the row before is independent from column to
        // column, so their log-sums are interleaved (the match's sum is a chain of four); the
        // inserts along the row then follow one column at a time.
        const auto columns = [&](auto group, std::size_t j) {
            constexpr int G = decltype(group)::value;
            F sum[G], ix[G], jx[G];
            for (int g = 0; g < G; ++g)
                sum[g] = LogSumV<W>(pIY[j + g - 1] + tIM, pJY[j + g - 1] + tJM);
            for (int g = 0; g < G; ++g)
                ix[g] = LogSumV<W>(pIX[j + g] + tII, pM[j + g] + tMI) + insX;
            for (int g = 0; g < G; ++g) sum[g] = LogSumV<W>(pJX[j + g - 1] + tJM, sum[g]);
            for (int g = 0; g < G; ++g)
                jx[g] = LogSumV<W>(pJX[j + g] + tJJ, pM[j + g] + tMJ) + insX;
            for (int g = 0; g < G; ++g) sum[g] = LogSumV<W>(pIX[j + g - 1] + tIM, sum[g]);
            for (int g = 0; g < G; ++g) sum[g] = LogSumV<W>(pM[j + g - 1] + tMM, sum[g]);
            for (int g = 0; g < G; ++g) {
                const std::size_t c = j + g;
                const F insY = insYs[c];
                const F match = matchOf(xOffset, c);
                const F iyInner = LogSumV<W>(IY[c - 1] + tII, M[c - 1] + tMI) + insY;
                const F jyInner = LogSumV<W>(JY[c - 1] + tJJ, M[c - 1] + tMJ) + insY;
                if (interiorRow && static_cast<std::int32_t>(c) > lastStartCol) {
                    // Every lane inside its matrix, past its first row: no rule of the edges.
                    M[c] = sum[g] + match;
                    IX[c] = ix[g];
                    JX[c] = jx[g];
                    IY[c] = iyInner;
                    JY[c] = jyInner;
                } else {
                    const I lj = static_cast<std::int32_t>(c) - startCol;
                    const auto col0 = lj == 0, col1 = lj == 1;
                    const F mInner = (row1 & col1) ? tSM + match : sum[g] + match;
                    // Row 0: y's inserts before x starts; column 0: x's inserts before y starts.
                    const F iyRow0 = col1 ? tSI + insY : IY[c - 1] + tII + insY;
                    const F jyRow0 = col1 ? tSJ + insY : JY[c - 1] + tJJ + insY;
                    const F ixCol0 = row1 ? tSI + insX : pIX[c] + tII + insX;
                    const F jxCol0 = row1 ? tSJ + insX : pJX[c] + tJJ + insX;
                    const auto inner = (li >= 1) & (lj >= 1);
                    const auto onRow0 = row0 & (lj >= 1);
                    const auto onCol0 = col0 & (li >= 1);
                    M[c] = inner ? mInner : LZ;
                    IX[c] = inner ? ix[g] : (onCol0 ? ixCol0 : LZ);
                    JX[c] = inner ? jx[g] : (onCol0 ? jxCol0 : LZ);
                    IY[c] = inner ? iyInner : (onRow0 ? iyRow0 : LZ);
                    JY[c] = inner ? jyInner : (onRow0 ? jyRow0 : LZ);
                }
                if (i >= 1) fm[c - 1] = M[c];
            }
        };
        std::size_t j = 1;
        for (; j + 1 <= LY; j += 2) columns(std::integral_constant<int, 2>{}, j);
        if (j <= LY) columns(std::integral_constant<int, 1>{}, j);
        std::swap(prev, cur);
    }
    F total{};
    {
        const F* end = prev;
        float e[5];
        for (int l = 0; l < W; ++l) {
            for (int k = 0; k < 5; ++k) e[k] = end[k * w + LY][l];
            total[l] = TotalScore(m, e);
        }
    }

    // Backward from the common last cell.
    for (int l = 0; l < count; ++l) {
        s.rowOf.resize(W);
        s.colOf.resize(W);
        s.probOf.resize(W);
        s.rowOf[l].clear();
        s.colOf[l].clear();
        s.probOf[l].clear();
    }
    const float minScore = MinPosteriorScore();
    F* next = rowA;
    F* row = rowB;
    for (std::size_t i = LX; i >= 1; --i) {
        if (cancelled()) return false;
        const F *nM = next, *nIX = nM + w, *nJX = nIX + w;
        F *M = row, *IX = M + w, *JX = IX + w, *IY = JX + w, *JY = IY + w;
        if (i == LX) {
            M[LY] = tSM;
            IX[LY] = IY[LY] = tSI;
            JX[LY] = JY[LY] = tSJ;
            for (std::size_t j = LY - 1; j >= 1; --j) {
                const F insY = insYs[j + 1];
                const F nextIY = IY[j + 1] + insY, nextJY = JY[j + 1] + insY;
                M[j] = LogSumV<W>(tMI + nextIY, tMJ + nextJY);
                IY[j] = tII + nextIY;
                JY[j] = tJJ + nextJY;
                IX[j] = JX[j] = LZ;
            }
        } else {
            const std::uint8_t* xb = s.xPad.data() + (i + 1) * W;
            const F insX = insertOf(xb);
            const I xOffset = rowOffset(xb);
            {
                const F nextIX = nIX[LY] + insX, nextJX = nJX[LY] + insX;
                M[LY] = LogSumV<W>(tMI + nextIX, tMJ + nextJX);
                IX[LY] = tII + nextIX;
                JX[LY] = tJJ + nextJX;
                IY[LY] = JY[LY] = LZ;
            }
            // Columns j, j - 1, ..., j - G + 1: what comes from the row after first, then the
            // inserts along the row one column at a time, each column's match sum (a chain of
            // four log-sums from them) interleaved with the others'.
            const auto columns = [&](auto group, std::size_t j) {
                constexpr int G = decltype(group)::value;
                F nextM[G], nextIX[G], nextJX[G], sum[G];
                for (int g = 0; g < G; ++g) {
                    const std::size_t c = j - g;
                    nextM[g] = nM[c + 1] + matchOf(xOffset, c + 1);
                    nextIX[g] = nIX[c] + insX;
                    nextJX[g] = nJX[c] + insX;
                    IX[c] = LogSumV<W>(tII + nextIX[g], tIM + nextM[g]);
                    JX[c] = LogSumV<W>(tJJ + nextJX[g], tJM + nextM[g]);
                }
                for (int g = 0; g < G; ++g) {
                    const std::size_t c = j - g;
                    const F insY = insYs[c + 1];
                    const F nextIY = IY[c + 1] + insY, nextJY = JY[c + 1] + insY;
                    IY[c] = LogSumV<W>(tII + nextIY, tIM + nextM[g]);
                    JY[c] = LogSumV<W>(tJJ + nextJY, tJM + nextM[g]);
                    sum[g] = LogSumV<W>(tMI + nextIY, tMJ + nextJY);
                }
                for (int g = 0; g < G; ++g) sum[g] = LogSumV<W>(tMJ + nextJX[g], sum[g]);
                for (int g = 0; g < G; ++g) sum[g] = LogSumV<W>(tMI + nextIX[g], sum[g]);
                for (int g = 0; g < G; ++g) M[j - g] = LogSumV<W>(tMM + nextM[g], sum[g]);
            };
            std::size_t j = LY - 1;
            for (; j >= 2; j -= 2) columns(std::integral_constant<int, 2>{}, j);
            if (j == 1) columns(std::integral_constant<int, 1>{}, j);
        }
        // Posteriors of the row: a vector test, then only the few kept cells' lanes.
        const F* fm = forwardMatch + (i - 1) * LY;
        const I li = static_cast<std::int32_t>(i) - startRow;
        for (std::size_t j = LY; j >= 1; --j) {
            const F score = fm[j - 1] + M[j] - total;
            const I lj = static_cast<std::int32_t>(j) - startCol;
            const auto keep = (score >= minScore) & (li >= 1) & (lj >= 1);
            for (std::uint32_t bits = LaneBits<W>(keep & used); bits != 0; bits &= bits - 1) {
                const int l = __builtin_ctz(bits);
                const float p = PosteriorOfScore(score[l]);
                if (p == 0) continue;
                s.rowOf[l].push_back(static_cast<std::uint32_t>(li[l] - 1));
                s.colOf[l].push_back(static_cast<std::uint32_t>(lj[l] - 1));
                s.probOf[l].push_back(p);
            }
        }
        std::swap(next, row);
    }

    // Entries came by descending row and column: reverse into rows of ascending columns.
    for (int l = 0; l < count; ++l) {
        SparsePosterior& o = out[l];
        o.rows = static_cast<std::uint32_t>(xs[l].size());
        o.cols = static_cast<std::uint32_t>(ys[l].size());
        o.rowStart.assign(o.rows + 1, 0);
        for (std::uint32_t r : s.rowOf[l]) ++o.rowStart[r + 1];
        for (std::uint32_t r = 0; r < o.rows; ++r) o.rowStart[r + 1] += o.rowStart[r];
        const std::size_t n = s.rowOf[l].size();
        o.col.resize(n);
        o.prob.resize(n);
        for (std::size_t k = 0; k < n; ++k) {
            o.col[n - 1 - k] = s.colOf[l][k];
            o.prob[n - 1 - k] = s.probOf[l][k];
        }
    }
    return true;
}

}  // namespace kvr::align::lanes
