#include "align/mea.h"

namespace kvr::align {

namespace {

enum Step : std::uint8_t { kBoth, kXGap, kYGap };  // kXGap: x's residue against a gap

}  // namespace

PairCounts MeaCounts(const SparsePosterior& post, std::string_view x, std::string_view y,
                     MeaScratch& s) {
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
    std::size_t i = lx, j = ly;
    while (i > 0 || j > 0) {
        ++counts.columns;
        switch (trace[i * w + j]) {
            case kBoth:
                --i;
                --j;
                ++counts.gapFreeColumns;
                if (x[i] == y[j]) ++counts.matches;
                break;
            case kXGap:
                --i;
                break;
            default:
                --j;
                break;
        }
    }
    return counts;
}

}  // namespace kvr::align
