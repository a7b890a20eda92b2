// The band that follows the alignment path. The forward and backward passes run over anti-diagonals
// d = i + j (i a row of x, j a column of y, both from 0 with the start row and column), and on
// each one only over consecutive rows around the path the seed tells, from (0, 0) to (lx, ly). The
// band's ends move down by 0 or 1 row from one anti-diagonal to the next, whatever the lengths, so
// the cells a cell depends on are at most one place further along: a vector of cells is one load.
//
// A cell is computed from its neighbours by the reference's own operations, and a neighbour outside
// the band counts as log zero. When the posterior of the states at the band's edge, all summed, is
// above kBandEdgeScore the band is too narrow: it is widened and the pair computed again.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "align/align.h"
#include "align/hmm_model.h"
#include "align/posterior.h"
#include "align/progress.h"
#include "align/seed_kmers.h"
#include "align/work_buffer.h"

namespace kvr::align {

// The log of the posterior, summed over every state at both ends of every anti-diagonal, above
// which probability leaks out of the band (about 2e-9). Leaks that small are more than the
// log-sum's cut-off (7.5) below every kept posterior, so they vanish from its sums exactly.
inline constexpr float kBandEdgeScore = -20.0f;

// Rows between two points of a seed's chain from which the path may wander anywhere, and the
// first width of a band across such a stretch.
inline constexpr std::int32_t kDistantStretch = 768;
inline constexpr std::int32_t kDistantWidth = 160;

// The rows the path may take on every anti-diagonal 0 .. lx + ly, as the seed tells: the longest
// chain of k-mers found once in each sequence, in the same order in both, with the corners.
// Between two of its points the path may keep to either one's diagonal, or change from one to the
// other anywhere between them (an insertion or deletion), so the rows of both diagonals and those
// between (next to a corner, which every path passes through, inside the rectangle the two points
// span); with equal diagonals, the straight line between the points; where two points lie far
// apart, some rows more on either side, as the path wanders between them. Inside the matrix; both
// ends start at row 0 and end at row lx.
// With firstWidth, also the width of the first band to try (32 to 160 rows, a multiple of 16),
// from how far apart the chained k-mers lie and whether they share one diagonal.
// With a cache, each sequence's k-mers are read once while it stays there.
struct SeedRows {
    std::vector<std::int32_t> lo, hi;
    // The points the rows pass through: (0, 0), the chained k-mers' middles, (lx, ly).
    std::vector<std::pair<std::int32_t, std::int32_t>> points;
    // An alike pair whose chain breaks over kDistantStretch rows or more (a run of N, a long
    // insertion): its band is as wide as each stretch between two points needs, widened where
    // probability reaches its edge (across a run of N, from the log of its rows at first: the
    // crossings of band.cpp); firstWidth is then the narrow stretches' width.
    bool local = false;
    // No chain of hits holds the path (distant relatives: a stretch of 768 rows or more without a
    // hit, away from runs of N): the band may lie beside a better path that its edge check cannot
    // see (PosteriorBanded tries a wider one).
    bool loose = false;
};

// The chain the seed's rows follow: the hits (k-mer starts in x and y, both ascending) of the
// longest chain of k-mers found once in each sequence, less those that stray from their
// neighbours; and how many hits there were before chaining.
struct SeedChain {
    std::vector<std::pair<std::int32_t, std::int32_t>> chain;
    std::size_t hits = 0;
    std::int32_t k = 0;
};
SeedChain ChainOfSeeds(std::string_view x, std::string_view y, Alphabet alphabet,
                       SeedKmerCache* cache = nullptr);

SeedRows SeedPath(std::string_view x, std::string_view y, Alphabet alphabet,
                  std::int32_t* firstWidth = nullptr, SeedKmerCache* cache = nullptr);

// The first width for a piece of unrelated sequences (Cut::straight): their paths wander far, and
// pieces of 1.5 kb pass the edge check at 240 rows or less.
inline constexpr std::int32_t kUnrelatedWidth = 240;

// The forward match scores a band keeps at once; a band that needs more recomputes them in blocks
// from checkpoints during the backward pass (one more forward pass, a bounded memory).
inline constexpr std::size_t kBandStoreBytes = std::size_t{64} << 20;

// A ring slot's padding before an anti-diagonal's cells: one vector of the widest kernel.
inline constexpr std::size_t kRingPad = 16;

// A band: rows First(d) .. Last(d) of every anti-diagonal d = 0 .. lx + ly, all inside the
// matrix. Both ends move down by 0 or 1 row from one anti-diagonal to the next, so that a path
// leaving the band passes through one of its ends, where the edge check looks.
struct Band {
    std::vector<std::int32_t> first, last;
    std::int32_t widest = 0;  // the most rows of one anti-diagonal
    bool whole = false;       // every cell of the matrix: no edge to check
    // The widest band the memory budget allows: its posteriors are finished whatever reaches
    // its edge (BandResult::Bounded), as no wider try can follow.
    bool lastTry = false;
    // Finish the backward pass whatever reaches the edge, and keep each anti-diagonal's share of
    // the edge's posterior in BandScratch::leak, so that the band is widened where it leaked.
    bool leaks = false;
    std::size_t storeBytes = kBandStoreBytes;
    // Rows of an anti-diagonal as whole vectors (16 rows, every kernel's lanes a divisor): the
    // widest, and those of anti-diagonal d (what its forward match scores take in the store).
    std::int32_t VectorRows() const { return (widest + 15) / 16 * 16; }
    std::int32_t VectorRows(std::int64_t d) const { return (Rows(d) + 15) / 16 * 16; }
    // A ring slot: a vector of padding, then the cells, then room for the loads that reach past
    // them.
    std::size_t Stride() const { return static_cast<std::size_t>(VectorRows()) + 2 * kRingPad; }
    // d may be out of range: the ends are held.
    std::int32_t First(std::int64_t d) const { return first[Clamped(d)]; }
    std::int32_t Rows(std::int64_t d) const { return last[Clamped(d)] - first[Clamped(d)] + 1; }

  private:
    std::size_t Clamped(std::int64_t d) const {
        const auto end = static_cast<std::int64_t>(first.size()) - 1;
        return static_cast<std::size_t>(d < 0 ? 0 : d > end ? end : d);
    }
};

// The band holding at least rows lo[d] .. hi[d] of every anti-diagonal that lie in the lx x ly
// matrix, its ends pushed outwards where they would move otherwise than by 0 or 1 row.
Band BandHolding(std::vector<std::int32_t> lo, std::vector<std::int32_t> hi, std::int32_t lx,
                 std::int32_t ly, std::size_t storeBytes = kBandStoreBytes);

// The seed's rows and `width` more around them (half above, half below), cut to the matrix.
Band SeedBand(const SeedRows& rows, std::int32_t width, std::int32_t lx, std::int32_t ly,
              std::size_t storeBytes = kBandStoreBytes);
// The same with a width for every anti-diagonal.
Band SeedBand(const SeedRows& rows, const std::vector<std::int32_t>& widths, std::int32_t lx,
              std::int32_t ly, std::size_t storeBytes = kBandStoreBytes);

// How a band's forward match scores are held for the backward pass: all of them when they fit in
// storeBytes, each anti-diagonal's VectorRows(d) after the one before; else blocks of `block`
// anti-diagonals computed again from checkpoints (two anti-diagonals of five states before each
// block). The block is at least the one that makes the two parts equal, so that a long band's
// memory grows with the square root of its length.
struct BandStore {
    bool keepAll = true;
    std::int32_t block = 0;
    std::size_t storedFloats = 0, checkpointFloats = 0;
};
BandStore StoreOf(const Band& band);

// The bytes one try of the band takes in the passes and the trace-back, all told: its store, the
// rings, the edges kept for the check, the band's own rows and the sequences' scores.
std::size_t BandBytes(const Band& band);

// Work space of the banded passes, reused from pair to pair.
struct BandScratch {
    WorkBuffer<float> forwardMatch;    // every anti-diagonal's row of the band, or one block's
    WorkBuffer<float> checkpoints;     // two anti-diagonals of five states before each block
    std::vector<float> slots;          // three anti-diagonals x five states x (width + 2)
    std::vector<float> again;          // the same, for the blocks computed again
    std::vector<float> edge;           // forward states at both ends of every anti-diagonal
    std::vector<float> insX, insY;     // insert scores by row, by column reversed
    std::vector<std::int32_t> xs, ys;  // symbol classes (x times the class count) likewise
    std::vector<std::uint32_t> rowOf, colOf;
    std::vector<float> probOf;
    std::vector<double> leak;  // each anti-diagonal's edge posterior, with Band::leaks
    float total = 0;           // the last band's total score: the pair's log probability
    SeedKmerCache seeds;
    std::size_t Bytes() const;
};

enum class BandResult : std::uint8_t {
    Done,       // the posteriors are those of the whole matrix
    Widen,      // probability reached the band's edge
    Cancelled,  // the cancel flag was raised
    Bounded,    // the posteriors of a band marked lastTry, though probability reached its edge
};

// The banded passes, one per instruction set; every one gives the same bits.
BandResult PosteriorBandPortable(const HmmModel& model, std::string_view x, std::string_view y,
                                 const Band& band, BandScratch& scratch, const PassWatch& watch,
                                 SparsePosterior& out);
BandResult PosteriorBandAvx2(const HmmModel& model, std::string_view x, std::string_view y,
                             const Band& band, BandScratch& scratch, const PassWatch& watch,
                             SparsePosterior& out);
BandResult PosteriorBandAvx512(const HmmModel& model, std::string_view x, std::string_view y,
                               const Band& band, BandScratch& scratch, const PassWatch& watch,
                               SparsePosterior& out);

// The posteriors of the pair through a band seeded by SeedPath, as wide at first as it says and
// widened while probability reaches its edge, at most to the whole matrix or to the widest band
// whose BandBytes fit in `budget`, whichever is narrower. `kernel` is a resolved one (not Best).
// Done (the whole matrix's posteriors), Bounded (the budget's band was too narrow: its
// posteriors) or Cancelled. The first band is at least startWidth rows beyond the seed's. A band
// of a loose seed that passes is confirmed by the next wider one only for a pair aligned whole
// (wholePair), whose counts are MUSCLE's; the pieces of longer pairs keep one check. Throws
// std::bad_alloc when not even the narrowest band fits.
BandResult PosteriorBanded(const HmmModel& model, std::string_view x, std::string_view y,
                           Alphabet alphabet, Kernel kernel, BandScratch& scratch,
                           const PassWatch& watch, SparsePosterior& out,
                           std::size_t storeBytes = kBandStoreBytes,
                           std::size_t budget = Options{}.memoryBudget, std::int32_t startWidth = 0,
                           bool wholePair = true);

}  // namespace kvr::align
