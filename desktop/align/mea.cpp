#include "align/mea.h"

#include <algorithm>

namespace kvr::align {

namespace {

enum Step : std::uint8_t { kBoth, kXGap, kYGap };  // kXGap: x's residue against a gap

// One column of the trace-back, from cell (i, j) back, counted; written (from the end) into the
// alignment when there is one.
void TakeStep(Step step, std::size_t& i, std::size_t& j, std::string_view x, std::string_view y,
              PairCounts& counts, PairAlignment* alignment) {
    ++counts.columns;
    switch (step) {
        case kBoth:
            --i;
            --j;
            ++counts.gapFreeColumns;
            if (x[i] == y[j]) ++counts.matches;
            if (!IsAmbiguityCode(x[i]) && !IsAmbiguityCode(y[j])) {
                ++counts.unambiguousColumns;
                if (x[i] == y[j]) ++counts.unambiguousMatches;
            }
            break;
        case kXGap:
            --i;
            break;
        default:
            --j;
            break;
    }
    if (alignment != nullptr) {
        alignment->a += step == kYGap ? '-' : x[i];
        alignment->b += step == kXGap ? '-' : y[j];
    }
}

// Makes room for the columns, traced from the end, of an alignment of x and y.
void StartAlignment(PairAlignment* alignment, std::size_t lx, std::size_t ly) {
    if (alignment == nullptr) return;
    alignment->a.clear();
    alignment->b.clear();
    alignment->a.reserve(lx + ly);
    alignment->b.reserve(lx + ly);
}

void FinishAlignment(PairAlignment* alignment) {
    if (alignment == nullptr) return;
    std::reverse(alignment->a.begin(), alignment->a.end());
    std::reverse(alignment->b.begin(), alignment->b.end());
}

}  // namespace

PairCounts MeaCountsReference(const SparsePosterior& post, std::string_view x, std::string_view y,
                              MeaScratch& s, PairAlignment* alignment) {
    const std::size_t lx = post.rows, ly = post.cols, w = ly + 1;
    s.rows.assign(2 * w, 0.0f);
    s.trace.resize((lx + 1) * w);
    float* old = s.rows.data();
    float* now = old + w;
    std::uint8_t* trace = s.trace.data();
    for (std::size_t j = 0; j <= ly; ++j) trace[j] = kYGap;
    for (std::size_t i = 1; i <= lx; ++i) {
        std::uint8_t* t = trace + i * w;
        t[0] = kXGap;
        now[0] = 0;
        std::uint32_t e = post.rowStart[i - 1];
        const std::uint32_t end = post.rowStart[i];
        // Runs of empty cells are the common case; the kept entries interrupt them.
        std::uint32_t nextCol = e < end ? post.col[e] + 1 : static_cast<std::uint32_t>(w);
        for (std::size_t j = 1; j <= ly; ++j) {
            float p = 0;
            if (j == nextCol) {
                p = post.prob[e++];
                nextCol = e < end ? post.col[e] + 1 : static_cast<std::uint32_t>(w);
            }
            const float both = old[j - 1] + p, xGap = old[j], yGap = now[j - 1];
            if (both >= xGap) {
                if (both >= yGap) {
                    now[j] = both;
                    t[j] = kBoth;
                } else {
                    now[j] = yGap;
                    t[j] = kYGap;
                }
            } else if (xGap >= yGap) {
                now[j] = xGap;
                t[j] = kXGap;
            } else {
                now[j] = yGap;
                t[j] = kYGap;
            }
        }
        std::swap(old, now);
    }

    PairCounts counts;
    StartAlignment(alignment, lx, ly);
    std::size_t i = lx, j = ly;
    while (i > 0 || j > 0) {
        TakeStep(static_cast<Step>(trace[i * w + j]), i, j, x, y, counts, alignment);
    }
    FinishAlignment(alignment);
    return counts;
}

namespace {

// The accumulated accuracy V(i, j) (rows and columns from 1, 0 on row and column 0) is the best sum
// of kept posteriors along a chain of cells increasing in both coordinates inside the rectangle up
// to (i, j). Row i's kept cells lie in lo[i] .. hi[i], where hi is the running maximum of the last
// kept column and lo the running minimum, from the end, of the first; so right of hi[i] the value
// is V(i, hi[i]), and left of lo[i] it is V(r, j) of the last row r whose lo is at most j.
class Staircase {
  public:
    Staircase(const SparsePosterior& post, MeaScratch& s) : post_(post), s_(s) {
        const std::uint32_t lx = post.rows, ly = post.cols;
        s.hi.assign(lx + 1, 0);
        s.lo.assign(lx + 2, ly + 1);
        for (std::uint32_t i = 1; i <= lx; ++i) {
            const std::uint32_t a = post.rowStart[i - 1], b = post.rowStart[i];
            s.hi[i] = std::max(s.hi[i - 1], a < b ? post.col[b - 1] + 1 : 0);
        }
        for (std::uint32_t i = lx; i >= 1; --i) {
            const std::uint32_t a = post.rowStart[i - 1], b = post.rowStart[i];
            s.lo[i] = std::min(s.lo[i + 1], a < b ? post.col[a] + 1 : ly + 1);
        }
        s.lo[0] = 0;
        s.rowOffset.assign(lx + 2, 0);
        for (std::uint32_t i = 1; i <= lx; ++i)
            s.rowOffset[i + 1] = s.rowOffset[i] + (s.lo[i] <= s.hi[i] ? s.hi[i] - s.lo[i] + 1 : 0);
        // The last row whose staircase starts at or before column j.
        s.lastRowFrom.assign(ly + 1, 0);
        for (std::uint32_t i = 1, j = 1; j <= ly; ++j) {
            while (i <= lx && s.lo[i] <= j) ++i;
            s.lastRowFrom[j] = i - 1;
        }
        s.values.resize(s.rowOffset[lx + 1]);
    }

    float Get(std::size_t i, std::size_t j) const {
        for (;;) {
            if (i == 0 || j == 0) return 0;
            if (j > s_.hi[i]) {
                j = s_.hi[i];
            } else if (j < s_.lo[i]) {
                i = s_.lastRowFrom[j];
            } else {
                return s_.values[s_.rowOffset[i] + (j - s_.lo[i])];
            }
        }
    }

    // The kept posterior of cell (i, j), or 0.
    float Posterior(std::size_t i, std::size_t j) const {
        const auto first = post_.col.begin() + post_.rowStart[i - 1];
        const auto last = post_.col.begin() + post_.rowStart[i];
        const auto at = std::lower_bound(first, last, j - 1);
        return at != last && *at == j - 1
                   ? post_.prob[static_cast<std::size_t>(at - post_.col.begin())]
                   : 0.0f;
    }

    void Fill() {
        for (std::uint32_t i = 1; i <= post_.rows; ++i) {
            const std::uint32_t lo = s_.lo[i], hi = s_.hi[i];
            if (lo > hi) continue;
            std::uint32_t e = post_.rowStart[i - 1];
            const std::uint32_t end = post_.rowStart[i];
            float* v = s_.values.data() + s_.rowOffset[i] - lo;
            // Row i - 1 holds its own values from columns pLo to pHi (both ends move right
            // only): there both neighbours above are read directly, elsewhere by rule.
            const std::uint32_t pLo = i > 1 ? s_.lo[i - 1] + 1 : 1, pHi = i > 1 ? s_.hi[i - 1] : 0;
            const float* above = s_.values.data() + s_.rowOffset[i - 1] - s_.lo[i - 1];
            float yGap = Get(i, lo - 1);
            for (std::uint32_t j = lo; j <= hi; ++j) {
                float p = 0;
                if (e < end && post_.col[e] + 1 == j) p = post_.prob[e++];
                const bool held = j >= pLo && j <= pHi;
                const float both = (held ? above[j - 1] : Get(i - 1, j - 1)) + p;
                const float xGap = held ? above[j] : Get(i - 1, j);
                yGap = std::max(std::max(both, xGap), yGap);
                v[j] = yGap;
            }
        }
    }

  private:
    const SparsePosterior& post_;
    MeaScratch& s_;
};

}  // namespace

PairCounts MeaCounts(const SparsePosterior& post, std::string_view x, std::string_view y,
                     MeaScratch& s, PairAlignment* alignment) {
    Staircase v(post, s);
    v.Fill();
    PairCounts counts;
    StartAlignment(alignment, post.rows, post.cols);
    std::size_t i = post.rows, j = post.cols;
    while (i > 0 || j > 0) {
        Step step = kYGap;
        if (j == 0) {
            step = kXGap;
        } else if (i > 0) {
            const float both = v.Get(i - 1, j - 1) + v.Posterior(i, j);
            const float xGap = v.Get(i - 1, j), yGap = v.Get(i, j - 1);
            if (both >= xGap)
                step = both >= yGap ? kBoth : kYGap;
            else
                step = xGap >= yGap ? kXGap : kYGap;
        }
        TakeStep(step, i, j, x, y, counts, alignment);
    }
    FinishAlignment(alignment);
    return counts;
}

}  // namespace kvr::align
