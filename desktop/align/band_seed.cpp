// The rows of the band's path: exact k-mer matches that occur once in each sequence, the longest
// chain of them in the same order in both, and from (0, 0) through their middles to (lx, ly) the
// rows between consecutive ones' diagonals. Only a guess: the passes check it and widen the band
// where it was wrong.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

#include "align/band.h"
#include "align/seed_kmers.h"

namespace kvr::align {

namespace {

// The longest chain of hits increasing in both coordinates (hits come by increasing x position,
// one per position).
std::vector<std::pair<std::int32_t, std::int32_t>> LongestChain(
    const std::vector<std::pair<std::int32_t, std::int32_t>>& hits) {
    std::vector<std::size_t> tails;  // index of the hit ending the best chain of each length
    std::vector<std::ptrdiff_t> before(hits.size(), -1);
    for (std::size_t h = 0; h < hits.size(); ++h) {
        const auto at =
            std::lower_bound(tails.begin(), tails.end(), hits[h].second,
                             [&](std::size_t t, std::int32_t j) { return hits[t].second < j; });
        if (at != tails.begin()) before[h] = static_cast<std::ptrdiff_t>(*(at - 1));
        if (at == tails.end())
            tails.push_back(h);
        else
            *at = h;
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> chain;
    for (std::ptrdiff_t h = tails.empty() ? -1 : static_cast<std::ptrdiff_t>(tails.back()); h >= 0;
         h = before[static_cast<std::size_t>(h)])
        chain.push_back(hits[static_cast<std::size_t>(h)]);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

// The first band: 48 rows beyond the seed's rows, and where consecutive points of the seed lie 64
// rows or more apart, one row more on each side for every 8 rows between them, up to 56: the path
// wanders between hits, the more the further apart they lie. Distant relatives, with a stretch of
// 768 rows or more without a hit, wander everywhere: 160 rows. Pairs that share a unique k-mer at
// one place in five or more of the shorter sequence, with no stretch of 64 rows or more without
// one, are alike enough that their paths stray less: 40 rows, and one more for every 8 rows of the
// longest stretch without a hit (2,239 of the 2,278 ITS1 pairs of the test data pass at 32 or 48
// rows). Measured on the pairs of the test data and on synthetic pairs of 2-10 kb.
constexpr std::int32_t kFirstWidthBase = 48;
constexpr std::int32_t kFirstWidthBaseAlike = 40;
constexpr std::int32_t kAlikeHitsPer = 5;
constexpr std::int32_t kAlikeGapLess = 64;
constexpr std::int32_t kGapRowsPerExtraRow = 8;
constexpr std::int32_t kSlackGap = 64;
constexpr std::int32_t kSlackRowsPer = 8;
constexpr std::int32_t kSlackMost = 56;
// Alike pairs whose chain breaks where a run of N or a long insertion lies (a stretch of
// kDistantStretch rows or more without a hit, and elsewhere a chained hit every kLocalRowsPerHit
// rows or closer): not distant relatives. Their band follows the chain at the usual width and is
// wide only across the breaks (SeedRows::local).
constexpr std::int64_t kLocalRowsPerHit = 32;
// Hits no further apart than this, all on one diagonal: 32 rows (every ITS1 pair of the test
// data needs no more).
constexpr std::int32_t kNarrowGap = 128;
constexpr std::int32_t kNarrowWidth = 32;

// A chain drops the runs of hits (one diagonal, overlapping k-mers) that stray from the line
// between the runs or corners around them: a chance match of two unrelated places that would drag
// the path hundreds of rows away. Long runs stay; so does a stray run that is near its neighbours.
constexpr std::int32_t kStrayRows = 32;
constexpr std::int32_t kStrayLongRun = 4;

struct Run {
    std::int32_t i, j;  // the first hit
    std::int32_t hits;  // how many
    std::size_t first;  // the first hit's place in the chain
    std::int32_t Diagonal() const { return j - i; }
};

std::vector<std::pair<std::int32_t, std::int32_t>> WithoutStrays(
    const std::vector<std::pair<std::int32_t, std::int32_t>>& chain, std::int32_t lx,
    std::int32_t ly, std::int32_t k) {
    // The corners are runs that never stray.
    std::vector<Run> runs{{0, 0, kStrayLongRun + 1, 0}};
    std::int32_t lastI = 0;
    for (std::size_t h = 0; h < chain.size(); ++h) {
        const auto [i, j] = chain[h];
        Run& last = runs.back();
        if (runs.size() > 1 && j - i == last.Diagonal() && i - lastI <= k)
            ++last.hits;
        else
            runs.push_back({i, j, 1, h});
        lastI = i;
    }
    if (runs.size() == 1) return chain;
    runs.push_back({lx, ly, kStrayLongRun + 1, 0});
    for (;;) {
        // The run that strays most beyond its allowance, if any.
        std::size_t worst = 0;
        double worstRatio = 1;
        for (std::size_t r = 1; r + 1 < runs.size(); ++r) {
            if (runs[r].hits > kStrayLongRun) continue;
            const Run &p = runs[r - 1], &q = runs[r + 1];
            const double t = q.i == p.i ? 0 : double(runs[r].i - p.i) / double(q.i - p.i);
            const double expected = p.Diagonal() + t * (q.Diagonal() - p.Diagonal());
            const double allowance =
                kStrayRows + double(std::min(runs[r].i - p.i, q.i - runs[r].i)) / 4;
            const double ratio = std::abs(runs[r].Diagonal() - expected) / allowance;
            if (ratio > worstRatio) {
                worst = r;
                worstRatio = ratio;
            }
        }
        if (worst == 0) break;
        runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(worst));
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> kept;
    for (std::size_t r = 1; r + 1 < runs.size(); ++r)
        for (std::int32_t h = 0; h < runs[r].hits; ++h)
            kept.push_back(chain[runs[r].first + static_cast<std::size_t>(h)]);
    return kept;
}

}  // namespace

SeedChain ChainOfSeeds(std::string_view x, std::string_view y, Alphabet alphabet,
                       SeedKmerCache* cache) {
    const auto lx = static_cast<std::int32_t>(x.size()), ly = static_cast<std::int32_t>(y.size());
    const std::size_t k = alphabet == Alphabet::Protein ? 4 : 12;
    const auto kmersOf = [&](std::string_view s) {
        return cache != nullptr
                   ? cache->UniqueKmers(s, k, alphabet)
                   : std::make_shared<const std::vector<Kmer>>(UniqueKmers(s, k, alphabet));
    };
    const auto kmersX = kmersOf(x), kmersY = kmersOf(y);
    const std::vector<Kmer>& inX = *kmersX;
    const std::vector<Kmer>& inY = *kmersY;
    std::vector<std::pair<std::int32_t, std::int32_t>> hits;
    for (std::size_t a = 0, b = 0; a < inX.size() && b < inY.size();) {
        if (inX[a].hash < inY[b].hash) {
            ++a;
        } else if (inY[b].hash < inX[a].hash) {
            ++b;
        } else {
            hits.emplace_back(inX[a].pos, inY[b].pos);
            ++a;
            ++b;
        }
    }
    std::sort(hits.begin(), hits.end());
    return {WithoutStrays(LongestChain(hits), lx, ly, static_cast<std::int32_t>(k)), hits.size(),
            static_cast<std::int32_t>(k)};
}

SeedRows SeedPath(std::string_view x, std::string_view y, Alphabet alphabet,
                  std::int32_t* firstWidth, SeedKmerCache* cache) {
    const auto lx = static_cast<std::int32_t>(x.size()), ly = static_cast<std::int32_t>(y.size());
    const SeedChain seeds = ChainOfSeeds(x, y, alphabet, cache);

    // Points of the path in matrix cells (residue p is row or column p + 1).
    const std::int32_t half = seeds.k / 2;
    std::vector<std::pair<std::int32_t, std::int32_t>> points{{0, 0}};
    for (const auto& [i, j] : seeds.chain) points.emplace_back(i + 1 + half, j + 1 + half);
    points.emplace_back(lx, ly);
    // How far apart consecutive points lie, and whether they all share one diagonal.
    std::int32_t gap = 0;
    bool oneDiagonal = true;
    for (std::size_t p = 1; p < points.size(); ++p) {
        const auto [i1, j1] = points[p - 1];
        const auto [i2, j2] = points[p];
        gap = std::max(gap, i2 - i1);
        oneDiagonal = oneDiagonal && j2 - i2 == j1 - i1;
    }
    // Hits close together on one diagonal from corner to corner (no insertion anywhere) need
    // little.
    const bool narrow = oneDiagonal && gap < kNarrowGap;
    // Rows of the stretches shorter than kDistantStretch, whose hits tell alike pairs from distant
    // relatives.
    std::int64_t dense = 0;
    for (std::size_t p = 1; p < points.size(); ++p)
        if (points[p].first - points[p - 1].first < kDistantStretch)
            dense += points[p].first - points[p - 1].first;
    const bool local = gap >= kDistantStretch && dense > 0 &&
                       static_cast<std::int64_t>(seeds.chain.size()) * kLocalRowsPerHit >= dense;
    // Distant relatives: their paths wander everywhere, not only between hits far apart.
    const bool distant = gap >= kDistantStretch && !local;
    const bool alike = gap < kAlikeGapLess &&
                       static_cast<std::int64_t>(seeds.hits) * kAlikeHitsPer >= std::min(lx, ly);
    if (firstWidth != nullptr) {
        *firstWidth = narrow    ? kNarrowWidth
                      : alike   ? (kFirstWidthBaseAlike + gap / kGapRowsPerExtraRow + 15) / 16 * 16
                      : distant ? kDistantWidth
                                : kFirstWidthBase;
    }

    const std::size_t diagonals = static_cast<std::size_t>(lx) + static_cast<std::size_t>(ly) + 1;
    SeedRows rows{std::vector<std::int32_t>(diagonals, lx),
                  std::vector<std::int32_t>(diagonals, 0),
                  {},
                  local,
                  distant};
    for (std::size_t p = 0; p + 1 < points.size(); ++p) {
        const auto [i1, j1] = points[p];
        const auto [i2, j2] = points[p + 1];
        const std::int64_t d1 = i1 + j1, span = (i2 + j2) - d1, rise = i2 - i1;
        // Between points far apart the path may wander from their diagonals, the more the
        // further apart they lie (stretches of kDistantStretch rows or more, only in local
        // bands, have a width of their own instead).
        const std::int64_t slack = narrow || distant || rise < kSlackGap || rise >= kDistantStretch
                                       ? 0
                                       : std::min<std::int64_t>(rise / kSlackRowsPer, kSlackMost);
        // The row of diagonal j - i on anti-diagonal d, rounded up as the straight line is.
        const auto onDiagonal = [](std::int64_t d, std::int64_t i, std::int64_t j) {
            const std::int64_t twice = d - (j - i);
            return twice >= 0 ? (twice + 1) / 2 : -(-twice / 2);
        };
        // The straight line, row i1 + (2 t rise + span) / (2 span) on anti-diagonal d1 + t, kept
        // as quotient and remainder: its slope is at most 1 row per anti-diagonal, so each step
        // adds at most one row.
        std::int64_t line = i1, remainder = span;
        // Every path passes through the corners: next to one, inside the rectangle of the two
        // points (rows i1 .. i2, columns j1 .. j2), which keeps a fragment's band narrow before
        // it starts and after it ends; a k-mer's place is less sure (the path may leave the
        // diagonal just before it), and those rows stay. The slack, and the matrix, after.
        const bool corner = p == 0 || p + 2 == points.size();
        for (std::int64_t t = 0; t <= span; ++t) {
            const std::int64_t d = d1 + t;
            if (t > 0) {
                remainder += 2 * rise;
                if (remainder >= 2 * span) {
                    remainder -= 2 * span;
                    ++line;
                }
            }
            const std::int64_t a = onDiagonal(d, i1, j1), b = onDiagonal(d, i2, j2);
            const std::int64_t top = corner ? std::max<std::int64_t>(i1, d - j2) : 0;
            const std::int64_t bottom = corner ? std::min<std::int64_t>(i2, d - j1) : d;
            const std::int64_t first = std::max<std::int64_t>(0, d - ly);
            const std::int64_t last = std::min<std::int64_t>(lx, d);
            const auto at = static_cast<std::size_t>(d);
            rows.lo[at] = std::min(
                rows.lo[at],
                static_cast<std::int32_t>(std::clamp(
                    std::clamp(std::min({line, a, b}), top, bottom) - slack, first, last)));
            rows.hi[at] = std::max(
                rows.hi[at],
                static_cast<std::int32_t>(std::clamp(
                    std::clamp(std::max({line, a, b}), top, bottom) + slack, first, last)));
        }
    }
    rows.points = std::move(points);
    return rows;
}

}  // namespace kvr::align
