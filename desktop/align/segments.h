// Pairs longer than MUSCLE accepts, aligned piece by piece. The passes add log probabilities in
// single precision, as MUSCLE does, and their rounding adds up along the path: on pairs of tens of
// thousands of residues the posteriors on the path no longer sum to about one (a 30 kb pair of
// 90 % identity kept none in most rows, and its identity came out as that of unrelated
// sequences). Such a pair is cut at points of its seed chain that its path passes with near
// certainty, a few thousand residues apart, and each piece is aligned by the same method.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "align/align.h"
#include "align/seed_kmers.h"

namespace kvr::align {

// Pairs whose sequences are all this long or shorter are aligned whole, as MUSCLE aligns them
// (its own limit): their counts are MUSCLE's.
inline constexpr std::size_t kWholePairUpTo = 20000;

// Residues of x between cuts, at least (a piece ends at the first anchor past it).
inline constexpr std::int32_t kPieceRows = 3000;

// A run of this many consecutive hits on one diagonal (an exact match of k + 7 residues, kept
// in the chain) is an anchor: the path passes through its middle.
inline constexpr std::int32_t kAnchorHits = 8;

// Past this many residues of x without a cut, any run of the chain is taken (on distant
// relatives a long exact match is rare; a chained hit that is not on the path costs only the
// columns around it, a piece too long the precision of all of its own).
inline constexpr std::int32_t kWeakAnchorRows = 2 * kPieceRows;

// Stretches between cuts longer than this in both sequences hold no anchor where one was due
// (past kPieceRows, and no chained hit past kWeakAnchorRows): unrelated, or too diverged for the
// chain. They are cut along their straight line, kStraightPieceRows apart in the longer sequence.
inline constexpr std::int32_t kLongestPiece = kWeakAnchorRows;

// Such a stretch is cut only when its chain holds fewer hits than one for every this many
// residues of its shorter side, or when it is longer than kWholeStretch in both sequences. Pairs
// of 50 kb chain 2 hits in all when unrelated, one in 1,400 residues with 45 % of the positions
// changed, one in 160 with 35 %, one in 33 with 25 %: the last two stay whole up to 12 kb.
inline constexpr std::int32_t kSparseChainRows = 500;
inline constexpr std::int32_t kWholeStretch = 4 * kPieceRows;

// Pieces of such a stretch: their paths wander far from the line whatever the piece's length,
// and a piece's band grows with it (unrelated pairs of 50 kb: pieces of 1.5 kb took 0.7 of the
// time of pieces of 3 kb, their identities within 0.003).
inline constexpr std::int32_t kStraightPieceRows = kPieceRows / 2;

// A point between residues: x[0, i) and y[0, j) before it.
struct Cut {
    std::int32_t i = 0, j = 0;
    // On the straight line across a stretch without anchors: the pieces on both sides are
    // unrelated (or too diverged for the chain), and their paths wander far from the line.
    bool straight = false;
    bool operator==(const Cut&) const = default;
};

// The cuts of a pair, strictly increasing in both sequences and inside them (0 < i < lx,
// 0 < j < ly): the middles of anchors at least kPieceRows apart (of weaker runs past
// kWeakAnchorRows), and where two anchors lie on
// one diagonal further apart than two pieces with none between (a run of N, say), points on that
// diagonal kPieceRows apart; then stretches still longer than kLongestPiece in both sequences in
// pieces of about kStraightPieceRows (in the longer sequence) along the straight line between
// their ends, those cuts marked straight.
std::vector<Cut> PieceCuts(std::string_view x, std::string_view y, Alphabet alphabet,
                           SeedKmerCache* cache = nullptr);

}  // namespace kvr::align
