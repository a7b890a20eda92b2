#include "align/segments.h"

#include <algorithm>
#include <optional>

#include "align/band.h"

namespace kvr::align {

std::vector<Cut> PieceCuts(std::string_view x, std::string_view y, Alphabet alphabet,
                           SeedKmerCache* cache) {
    const auto lx = static_cast<std::int32_t>(x.size()), ly = static_cast<std::int32_t>(y.size());
    const SeedChain seeds = ChainOfSeeds(x, y, alphabet, cache);
    const auto& chain = seeds.chain;
    std::vector<Cut> cuts;
    Cut last;  // the start, or the last cut
    const auto add = [&](Cut c) {
        if (c.i <= last.i || c.j <= last.j || c.i >= lx || c.j >= ly) return;
        cuts.push_back(c);
        last = c;
    };
    std::optional<Cut> previous;  // the last anchor seen
    for (std::size_t h = 0; h < chain.size();) {
        // A run: consecutive hits on one diagonal, overlapping k-mers of one exact match.
        std::size_t end = h + 1;
        while (end < chain.size() && chain[end].first == chain[end - 1].first + 1 &&
               chain[end].second == chain[end - 1].second + 1)
            ++end;
        const auto hits = static_cast<std::int32_t>(end - h);
        h = end;
        // Far from the last cut, any run of the chain will do.
        if (hits < kAnchorHits && chain[h - 1].first - last.i < kWeakAnchorRows) continue;
        const std::int32_t middle = (hits - 1 + seeds.k) / 2;
        const Cut anchor{chain[end - static_cast<std::size_t>(hits)].first + middle,
                         chain[end - static_cast<std::size_t>(hits)].second + middle};
        // A long stretch without anchors between two on one diagonal: along that diagonal.
        if (previous && anchor.j - anchor.i == previous->j - previous->i)
            for (Cut c{previous->i + kPieceRows, previous->j + kPieceRows};
                 anchor.i - c.i >= kPieceRows; c.i += kPieceRows, c.j += kPieceRows)
                if (c.i - last.i >= kPieceRows) add(c);
        if (anchor.i - last.i >= kPieceRows || anchor.j - last.j >= kPieceRows) add(anchor);
        previous = anchor;
    }
    // Stretches without an anchor where one is due (an insertion lies between anchors close
    // together in the other sequence) whose chain holds only chance hits (unrelated ones), and any
    // past kWholeStretch in both, are cut along the straight line between their ends,
    // kStraightPieceRows apart in the longer sequence: what aligns there aligns by chance, a piece
    // that long loses the precision of all of its own, and a long narrow piece costs its whole
    // rectangle. A diverged stretch of related sequences (a chained hit every few hundred
    // residues) up to kWholeStretch stays whole: its path strays from the straight line.
    std::vector<Cut> all;
    Cut from;
    for (std::size_t c = 0; c <= cuts.size(); ++c) {
        const Cut to = c < cuts.size() ? cuts[c] : Cut{lx, ly};
        const std::int64_t di = to.i - from.i, dj = to.j - from.j;
        const auto hitAt = [&chain](std::int32_t i) {
            return std::lower_bound(chain.begin(), chain.end(), std::pair(i, 0));
        };
        const std::int64_t hits = hitAt(to.i) - hitAt(from.i);
        const bool chance = hits * kSparseChainRows < std::min(di, dj);
        if (di > kLongestPiece && dj > kLongestPiece &&
            (chance || std::min(di, dj) > kWholeStretch)) {
            const std::int64_t n = (std::max(di, dj) + kStraightPieceRows - 1) / kStraightPieceRows;
            for (std::int64_t t = 1; t < n; ++t)
                all.push_back({static_cast<std::int32_t>(from.i + di * t / n),
                               static_cast<std::int32_t>(from.j + dj * t / n), true});
        }
        if (c < cuts.size()) all.push_back(to);
        from = to;
    }
    cuts = std::move(all);
    return cuts;
}

}  // namespace kvr::align
