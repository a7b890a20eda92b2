// The loop order of the pairs of n sequences: (0, 1), (0, 2), ..., (0, n - 1), (1, 2), ...; the
// order in which a run aligns them and in which shards split them. Pair numbers count from 0.
#pragma once

#include <cmath>

namespace kvr {

// The pairs (i, j), i < j, in loop order: i = 0 ... n - 2, inside it j = i + 1 ... n - 1.
struct PairCursor {
    int n = 0;
    int i = 0;
    int j = 1;
    bool AtEnd() const { return i + 1 >= n; }
    void Next() {
        if (++j >= n) j = ++i + 1;
    }
};

inline long long PairCount(int n) {
    return n < 2 ? 0 : static_cast<long long>(n) * (n - 1) / 2;
}

// The number of pair (i, j), i < j.
inline long long PairNumber(int n, int i, int j) {
    const long long row = i;
    return row * n - row * (row + 1) / 2 + (j - i - 1);
}

// The cursor at pair number p (0 <= p <= PairCount(n); at the end when p is the count).
inline PairCursor CursorAt(int n, long long p) {
    // The row from the closed form, then corrected for rounding.
    int i = 0;
    if (p > 0) {
        const double nn = n - 0.5;
        const double guess = nn - std::sqrt(nn * nn - 2.0 * static_cast<double>(p));
        i = guess > 0 ? static_cast<int>(guess) : 0;
    }
    while (i > 0 && PairNumber(n, i, i + 1) > p) --i;
    while (i + 1 < n && PairNumber(n, i + 1, i + 2) <= p) ++i;
    if (i + 1 >= n) return {n, n - 1, n};
    return {n, i, static_cast<int>(i + 1 + (p - PairNumber(n, i, i + 1)))};
}

}  // namespace kvr
