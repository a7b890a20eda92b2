#include "align/posterior.h"

#include <cmath>

#include "align/log_sum.h"

namespace kvr::align {

float MinPosteriorScore() {
    static const float score = std::log(kMinPosterior);
    return score;
}

float PosteriorOfScore(float score) {
    if (score < MinPosteriorScore()) return 0;
    const float p = score >= 0 ? 1.0f : std::exp(score);
    return p >= kMinPosterior ? p : 0;
}

float TotalScore(const HmmModel& m, const float end[5]) {
    // The backward pass ends in each state with its start score; states in the order match,
    // x short, x long, y short, y long.
    const float terms[5] = {end[0] + m.startM, end[1] + m.startShort, end[2] + m.startLong,
                            end[3] + m.startShort, end[4] + m.startLong};
    float sum = kLogZero;
    for (float t : terms) sum = LogSum(sum, t);
    return sum;
}

namespace {

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

}  // namespace

bool PosteriorScalar(const HmmModel& m, std::string_view xs, std::string_view ys,
                     PosteriorScratch& s, const std::atomic<bool>* cancel, SparsePosterior& out) {
    const auto* x = reinterpret_cast<const unsigned char*>(xs.data());
    const auto* y = reinterpret_cast<const unsigned char*>(ys.data());
    const std::size_t lx = xs.size(), ly = ys.size(), w = ly + 1;
    s.forwardMatch.resize(lx * ly);
    s.rows.resize(10 * w);
    // Two rows, each five state arrays of w cells: match, x short, x long, y short, y long.
    float* rowA = s.rows.data();
    float* rowB = rowA + 5 * w;

    // Forward: row 0 holds only y's inserts before x starts.
    {
        float* M = rowA;
        float *IX = M + w, *JX = IX + w, *IY = JX + w, *JY = IY + w;
        for (std::size_t j = 0; j <= ly; ++j) M[j] = IX[j] = JX[j] = kLogZero;
        IY[0] = JY[0] = kLogZero;
        IY[1] = m.startShort + m.insert[y[0]];
        JY[1] = m.startLong + m.insert[y[0]];
        for (std::size_t j = 1; j < ly; ++j) {
            IY[j + 1] = IY[j] + m.shortShort + m.insert[y[j]];
            JY[j + 1] = JY[j] + m.longLong + m.insert[y[j]];
        }
    }
    float* prev = rowA;
    float* cur = rowB;
    for (std::size_t i = 1; i <= lx; ++i) {
        if (Cancelled(cancel)) return false;
        const float *pM = prev, *pIX = pM + w, *pJX = pIX + w, *pIY = pJX + w, *pJY = pIY + w;
        float *M = cur, *IX = M + w, *JX = IX + w, *IY = JX + w, *JY = IY + w;
        const unsigned char xc = x[i - 1];
        const float insX = m.insert[xc];
        const float* match = m.match[xc].data();
        M[0] = IY[0] = JY[0] = kLogZero;
        if (i == 1) {
            IX[0] = m.startShort + insX;
            JX[0] = m.startLong + insX;
        } else {
            IX[0] = pIX[0] + m.shortShort + insX;
            JX[0] = pJX[0] + m.longLong + insX;
        }
        float* fm = s.forwardMatch.data() + (i - 1) * ly;
        for (std::size_t j = 1; j <= ly; ++j) {
            const unsigned char yc = y[j - 1];
            if (i == 1 && j == 1) {
                M[1] = m.startM + match[yc];
            } else {
                const float sum =
                    LogSum(pM[j - 1] + m.mm, pIX[j - 1] + m.shortM, pJX[j - 1] + m.longM,
                           pIY[j - 1] + m.shortM, pJY[j - 1] + m.longM);
                M[j] = sum + match[yc];
            }
            IX[j] = LogSum(pIX[j] + m.shortShort, pM[j] + m.mShort) + insX;
            JX[j] = LogSum(pJX[j] + m.longLong, pM[j] + m.mLong) + insX;
            const float insY = m.insert[yc];
            IY[j] = LogSum(IY[j - 1] + m.shortShort, M[j - 1] + m.mShort) + insY;
            JY[j] = LogSum(JY[j - 1] + m.longLong, M[j - 1] + m.mLong) + insY;
            fm[j - 1] = M[j];
        }
        std::swap(prev, cur);
    }
    float end[5];
    for (int k = 0; k < 5; ++k) end[k] = prev[k * w + ly];
    const float total = TotalScore(m, end);

    // Backward, from the last row up, turning each row into posteriors as it is done. Entries
    // arrive by descending row and column and are reordered at the end.
    out.rows = static_cast<std::uint32_t>(lx);
    out.cols = static_cast<std::uint32_t>(ly);
    out.col.clear();
    out.prob.clear();
    s.rowCount.assign(lx, 0);
    float* next = rowA;  // row i + 1
    float* row = rowB;   // row i
    for (std::size_t i = lx; i >= 1; --i) {
        if (Cancelled(cancel)) return false;
        const float *nM = next, *nIX = nM + w, *nJX = nIX + w;
        float *M = row, *IX = M + w, *JX = IX + w, *IY = JX + w, *JY = IY + w;
        if (i == lx) {
            M[ly] = m.startM;
            IX[ly] = IY[ly] = m.startShort;
            JX[ly] = JY[ly] = m.startLong;
            for (std::size_t j = ly - 1; j >= 1; --j) {
                const float insY = m.insert[y[j]];
                const float nextIY = IY[j + 1] + insY;
                const float nextJY = JY[j + 1] + insY;
                M[j] = LogSum(m.mShort + nextIY, m.mLong + nextJY);
                IY[j] = m.shortShort + nextIY;
                JY[j] = m.longLong + nextJY;
                IX[j] = JX[j] = kLogZero;
            }
        } else {
            const unsigned char xc = x[i];
            const float insX = m.insert[xc];
            const float* match = m.match[xc].data();
            {
                const float nextIX = nIX[ly] + insX;
                const float nextJX = nJX[ly] + insX;
                M[ly] = LogSum(m.mShort + nextIX, m.mLong + nextJX);
                IX[ly] = m.shortShort + nextIX;
                JX[ly] = m.longLong + nextJX;
                IY[ly] = JY[ly] = kLogZero;
            }
            for (std::size_t j = ly - 1; j >= 1; --j) {
                const unsigned char yc = y[j];
                const float insY = m.insert[yc];
                const float nextM = nM[j + 1] + match[yc];
                const float nextIX = nIX[j] + insX;
                const float nextJX = nJX[j] + insX;
                const float nextIY = IY[j + 1] + insY;
                const float nextJY = JY[j + 1] + insY;
                M[j] = LogSum(m.mm + nextM, m.mShort + nextIX, m.mLong + nextJX, m.mShort + nextIY,
                              m.mLong + nextJY);
                IX[j] = LogSum(m.shortShort + nextIX, m.shortM + nextM);
                JX[j] = LogSum(m.longLong + nextJX, m.longM + nextM);
                IY[j] = LogSum(m.shortShort + nextIY, m.shortM + nextM);
                JY[j] = LogSum(m.longLong + nextJY, m.longM + nextM);
            }
        }
        const float* fm = s.forwardMatch.data() + (i - 1) * ly;
        for (std::size_t j = ly; j >= 1; --j) {
            const float p = PosteriorOfScore(fm[j - 1] + M[j] - total);
            if (p == 0) continue;
            out.col.push_back(static_cast<std::uint32_t>(j - 1));
            out.prob.push_back(p);
            ++s.rowCount[i - 1];
        }
        std::swap(next, row);
    }

    // Reorder: rows were stored last first and columns descending.
    out.rowStart.assign(lx + 1, 0);
    for (std::size_t i = 0; i < lx; ++i) out.rowStart[i + 1] = out.rowStart[i] + s.rowCount[i];
    std::vector<std::uint32_t> col(out.col.size());
    std::vector<float> prob(out.prob.size());
    std::size_t k = 0;
    for (std::size_t i = lx; i-- > 0;) {
        const std::uint32_t n = s.rowCount[i];
        for (std::uint32_t e = 0; e < n; ++e, ++k) {
            col[out.rowStart[i] + n - 1 - e] = out.col[k];
            prob[out.rowStart[i] + n - 1 - e] = out.prob[k];
        }
    }
    out.col.swap(col);
    out.prob.swap(prob);
    return true;
}

}  // namespace kvr::align
