#include "align/band.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

namespace kvr::align {

namespace {

BandResult RunBand(Kernel kernel, const HmmModel& model, std::string_view x, std::string_view y,
                   const Band& band, BandScratch& scratch, const PassWatch& watch,
                   SparsePosterior& out) {
    switch (kernel) {
        case Kernel::Avx512:
            return PosteriorBandAvx512(model, x, y, band, scratch, watch, out);
        case Kernel::Avx2:
            return PosteriorBandAvx2(model, x, y, band, scratch, watch, out);
        default:
            return PosteriorBandPortable(model, x, y, band, scratch, watch, out);
    }
}

// The next band to try: half as wide again while bands are narrow (most pairs need one or two
// tries, and a width close to the need saves more than a try costs), then twice as wide.
std::int32_t Wider(std::int32_t width) {
    return width < 256 ? (width * 3 / 2 + 15) / 16 * 16 : 2 * width;
}

template <typename T>
std::size_t BytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

// The seed's band as wide as asked, or the widest (in steps of 16 rows) whose work space fits in
// the budget, marked as the last try. A small budget keeps fewer forward rows at once.
Band FittingBand(const SeedRows& seed, std::int32_t width, std::int32_t lx, std::int32_t ly,
                 std::size_t storeBytes, std::size_t budget) {
    storeBytes = std::min(storeBytes, budget / 4);
    Band band = SeedBand(seed, width, lx, ly, storeBytes);
    if (BandBytes(band) <= budget) return band;
    constexpr std::int32_t kStep = 16;
    Band fits = SeedBand(seed, kStep, lx, ly, storeBytes);
    if (BandBytes(fits) > budget) throw std::bad_alloc();
    std::int32_t low = kStep, high = width;  // low fits, high does not
    while (high - low > kStep) {
        const std::int32_t mid = (low + high) / 2 / kStep * kStep;
        Band tried = SeedBand(seed, mid, lx, ly, storeBytes);
        if (BandBytes(tried) <= budget) {
            low = mid;
            fits = std::move(tried);
        } else {
            high = mid;
        }
    }
    fits.lastTry = true;
    return fits;
}

}  // namespace

BandStore StoreOf(const Band& band) {
    const std::size_t n = band.first.size();  // anti-diagonals
    const auto rows = static_cast<std::size_t>(band.VectorRows());
    const std::size_t stride = band.Stride();
    // Packed, not at the widest row's stride: a band wide across a run of N and narrow elsewhere
    // takes its cells' memory, not its widest anti-diagonal's times their count.
    std::size_t packed = 0;
    for (std::size_t d = 0; d < n; ++d) packed += static_cast<std::size_t>(band.VectorRows(d));
    if (packed * sizeof(float) <= band.storeBytes)
        return {true, static_cast<std::int32_t>(n), packed, 0};
    // Stored rows and checkpoints equal at block^2 = 10 stride n / rows.
    const auto balanced = static_cast<std::size_t>(std::ceil(std::sqrt(
        10.0 * static_cast<double>(stride) * static_cast<double>(n) / static_cast<double>(rows))));
    const std::size_t block = std::clamp<std::size_t>(
        std::max(band.storeBytes / 2 / (rows * sizeof(float)), balanced), 1, n);
    return {false, static_cast<std::int32_t>(block), block * rows, (n - 1) / block * 10 * stride};
}

std::size_t BandBytes(const Band& band) {
    const BandStore store = StoreOf(band);
    const std::size_t n = band.first.size(), stride = band.Stride();
    const std::size_t floats = store.storedFloats + store.checkpointFloats +
                               2 * (15 * stride + kRingPad)  // the ring, and the one again
                               + 10 * n;                     // the edges
    const std::size_t padded = n + 4 * stride;
    return floats * sizeof(float) +
           4 * sizeof(std::int32_t) * n  // the band's ends and the seed's rows
           + 2 * (sizeof(float) + sizeof(std::int32_t)) * padded  // scores and classes
           + 32 * n;  // the kept posteriors and the trace-back's staircase, about
}

std::size_t BandScratch::Bytes() const {
    return forwardMatch.Bytes() + checkpoints.Bytes() + BytesOf(slots) + BytesOf(again) +
           BytesOf(edge) + BytesOf(insX) + BytesOf(insY) + BytesOf(xs) + BytesOf(ys) +
           BytesOf(rowOf) + BytesOf(colOf) + BytesOf(probOf) + BytesOf(leak) + seeds.Bytes();
}

Band BandHolding(std::vector<std::int32_t> lo, std::vector<std::int32_t> hi, std::int32_t lx,
                 std::int32_t ly, std::size_t storeBytes) {
    const auto n = static_cast<std::int32_t>(lo.size());
    // The first row: the lowest wanted from here on, rising by at most one a step.
    for (std::int32_t d = n - 2; d >= 0; --d) lo[d] = std::min(lo[d], lo[d + 1]);
    for (std::int32_t d = 1; d < n; ++d) lo[d] = std::min(lo[d], lo[d - 1] + 1);
    // The last row likewise, from the other end.
    for (std::int32_t d = 1; d < n; ++d) hi[d] = std::max(hi[d], hi[d - 1]);
    for (std::int32_t d = n - 2; d >= 0; --d) hi[d] = std::max(hi[d], hi[d + 1] - 1);
    // The matrix's own rows move by 0 or 1 as well, and so does the larger (smaller) of two such.
    Band band;
    band.whole = true;
    band.storeBytes = storeBytes;
    for (std::int32_t d = 0; d < n; ++d) {
        const std::int32_t top = std::max(0, d - ly), bottom = std::min(d, lx);
        lo[d] = std::clamp(lo[d], top, bottom);
        hi[d] = std::clamp(hi[d], lo[d], bottom);
        band.widest = std::max(band.widest, hi[d] - lo[d] + 1);
        band.whole = band.whole && lo[d] == top && hi[d] == bottom;
    }
    band.first = std::move(lo);
    band.last = std::move(hi);
    return band;
}

Band SeedBand(const SeedRows& rows, std::int32_t width, std::int32_t lx, std::int32_t ly,
              std::size_t storeBytes) {
    return SeedBand(rows, std::vector<std::int32_t>(rows.lo.size(), width), lx, ly, storeBytes);
}

Band SeedBand(const SeedRows& rows, const std::vector<std::int32_t>& widths, std::int32_t lx,
              std::int32_t ly, std::size_t storeBytes) {
    // Rows in whole vectors of 16 where the seed's rows spread: a vector partly past the band's
    // end costs as much as a whole one, and more (its lanes are masked one by one).
    std::vector<std::int32_t> lo(rows.lo.size()), hi(rows.hi.size());
    for (std::size_t d = 0; d < lo.size(); ++d) {
        const std::int32_t width = widths[d];
        const std::int32_t spread = rows.hi[d] - rows.lo[d];
        const std::int32_t all = (width + spread + 15) / 16 * 16;
        lo[d] = rows.lo[d] - (all - spread) / 2;
        hi[d] = lo[d] + all - 1;
    }
    return BandHolding(std::move(lo), std::move(hi), lx, ly, storeBytes);
}

namespace {

// Stretches of a local band (between consecutive points of the seed) that cross a run of N or
// an insertion: in an alike pair, a chained k-mer lies every few rows elsewhere.
constexpr std::int32_t kRunRise = 64;
// Such stretches separated by less than this many rows of hits are one crossing: a short island
// of residues between two runs of N holds the path too little to narrow the band there.
constexpr std::int32_t kIslandRows = 128;

// The first width across a crossing of `rise` rows, in its middle (Crossings narrows it towards
// the ends). Across a run of N the path may shift anywhere at the cost of two gaps, and the
// posteriors spread over rows that grow with the log of the run's length (the ways to leave the
// diagonal and come back): over synthetic 10 kb pairs, rows where a match's posterior passes e^-40
// 232 for a run of 340 N, 397 for 1,663. With 130 ln(rise) - 620, at least 96, three of 50
// Zika-like pairs (97-99 % identity, one genome or both 50-70 % N) failed their first try (a try
// that fails costs a whole pass); 104 ln(rise) - 400 took 3 % more cells there and 12 % more on
// the pairs of bench_long_genomes, 104 ln(rise) - 460 failed on crossings of 2,600 rows and more.
// A quarter of the rise, the rule before, asked 1,008 rows across 4,000 N where 464 pass.
std::int32_t CrossingWidth(std::int32_t rise) {
    const double rows = 130.0 * std::log(static_cast<double>(rise)) - 620.0;
    return (static_cast<std::int32_t>(std::max(rows, 96.0)) + 15) / 16 * 16;
}

// The share of a crossing's width at a fraction f of its anti-diagonals: the ways to shift by
// some rows and be back by the end fall as f (1 - f) towards its ends, and the rows they reach
// with its log. Measured against the posteriors' spread (within 0.1 of it from a tenth of the run
// in); a steeper taper (0.3) failed most first tries.
double CrossingShare(double f) {
    return std::clamp(1.0 + 0.225 * std::log(4.0 * f * (1.0 - f)), 0.2, 1.0);
}

// Each stretch of the seed with its first width and the anti-diagonals of the crossing it belongs
// to (tapered), if any: stretches of kRunRise rows or more, with the short islands between them.
struct Stretch {
    std::int32_t width = 0;
    std::size_t from = 0, to = 0;  // the crossing's anti-diagonals
    bool crossing = false;
};
std::vector<Stretch> Crossings(const SeedRows& seed, std::int32_t first) {
    const std::size_t n = seed.points.size() - 1;
    const auto diagonal = [&](std::size_t p) {
        return static_cast<std::size_t>(seed.points[p].first + seed.points[p].second);
    };
    const auto rise = [&](std::size_t s) {
        return seed.points[s + 1].first - seed.points[s].first;
    };
    std::vector<Stretch> stretches(n, Stretch{first});
    for (std::size_t s = 0; s < n;) {
        if (rise(s) < kRunRise) {
            ++s;
            continue;
        }
        // Stretches s .. end - 1 are one crossing.
        std::size_t end = s + 1;
        for (;;) {
            std::size_t next = end;
            std::int32_t island = 0;
            while (next < n && rise(next) < kRunRise && island + rise(next) < kIslandRows)
                island += rise(next++);
            if (next == n || rise(next) < kRunRise) break;
            end = next + 1;
        }
        const std::int32_t width =
            std::max(first, CrossingWidth(seed.points[end].first - seed.points[s].first));
        for (std::size_t k = s; k < end; ++k)
            stretches[k] = {width, diagonal(s), diagonal(end), true};
        s = end;
    }
    return stretches;
}

// The widths of the seed's stretches on their anti-diagonals, at least `first`; where two meet,
// the wider.
std::vector<std::int32_t> WidthsOfStretches(const SeedRows& seed,
                                            const std::vector<Stretch>& stretches,
                                            std::int32_t first) {
    std::vector<std::int32_t> widths(seed.lo.size(), first);
    for (std::size_t s = 0; s < stretches.size(); ++s) {
        const auto from = static_cast<std::size_t>(seed.points[s].first + seed.points[s].second);
        const auto to =
            static_cast<std::size_t>(seed.points[s + 1].first + seed.points[s + 1].second);
        const Stretch& t = stretches[s];
        const double span = static_cast<double>(t.to - t.from);
        for (std::size_t d = from; d <= to; ++d) {
            const double share =
                t.crossing ? CrossingShare(static_cast<double>(d - t.from) / span) : 1.0;
            widths[d] = std::max(widths[d], static_cast<std::int32_t>(t.width * share));
        }
    }
    return widths;
}

// The stretches to widen after a try that leaked: the leakiest first, until those left leak
// less than half the bound together.
std::vector<std::size_t> LeakingStretches(const SeedRows& seed, const std::vector<double>& leak) {
    std::vector<std::pair<double, std::size_t>> byLeak;
    double all = 0;
    for (std::size_t s = 0; s + 1 < seed.points.size(); ++s) {
        const auto from = static_cast<std::size_t>(seed.points[s].first + seed.points[s].second);
        const auto to =
            static_cast<std::size_t>(seed.points[s + 1].first + seed.points[s + 1].second);
        double sum = 0;
        for (std::size_t d = from; d < to; ++d) sum += leak[d];
        byLeak.emplace_back(sum, s);
        all += sum;
    }
    std::sort(byLeak.rbegin(), byLeak.rend());
    const double allowed = std::exp(static_cast<double>(kBandEdgeScore)) / 2;
    std::vector<std::size_t> widen;
    for (const auto& [sum, s] : byLeak) {
        if (all < allowed) break;
        widen.push_back(s);
        all -= sum;
    }
    return widen;
}

}  // namespace

BandResult PosteriorBanded(const HmmModel& model, std::string_view x, std::string_view y,
                           Alphabet alphabet, Kernel kernel, BandScratch& scratch,
                           const PassWatch& watch, SparsePosterior& out, std::size_t storeBytes,
                           std::size_t budget, std::int32_t startWidth, bool wholePair) {
    std::int32_t first = 0;
    const SeedRows seed = SeedPath(x, y, alphabet, &first, &scratch.seeds);
    first = std::max(first, startWidth);
    const auto lx = static_cast<std::int32_t>(x.size()), ly = static_cast<std::int32_t>(y.size());
    // A band is cut to the matrix, so widening ends at the whole matrix, which has no edge to
    // check, or at the widest band the budget allows: either is the last try.
    if (seed.local) {
        // Each stretch between two points of the seed as wide as it needs: widened where the
        // band leaked, at most until it covers the matrix.
        const std::int32_t cover = 2 * (lx + ly);
        std::vector<Stretch> stretches = Crossings(seed, first);
        for (;;) {
            Band band = SeedBand(seed, WidthsOfStretches(seed, stretches, first), lx, ly,
                                 std::min(storeBytes, budget / 4));
            if (BandBytes(band) > budget) break;  // the budget's uniform band below
            band.leaks = !band.whole;
            const BandResult result = RunBand(kernel, model, x, y, band, scratch, watch, out);
            if (result != BandResult::Widen) return result;
            // A crossing's need grows with the log of its length: a first width that falls short
            // does so by little, and half again is nearly always enough.
            const auto widen = [cover](Stretch& t) {
                t.width =
                    std::min(t.crossing ? (t.width * 3 / 2 + 15) / 16 * 16 : Wider(t.width), cover);
            };
            bool wider = false;
            for (const std::size_t s : LeakingStretches(seed, scratch.leak)) {
                wider = wider || stretches[s].width < cover;
                widen(stretches[s]);
            }
            if (!wider)  // every leaking stretch covers the matrix: all of them wider
                for (Stretch& t : stretches) widen(t);
        }
        first = 0;
        for (const Stretch& t : stretches) first = std::max(first, t.width);
    }
    // The edge check reads the band's own backward scores, blind to what lies outside: a band
    // laid on chance hits, beside the path, can pass it with a far better path all outside
    // (entered at one edge cell and left at another, each with next to no probability inside the
    // band) and miss most of the pair's probability. A wider band reaches into such a path and
    // leaks, or gives another total. So where no chain of hits holds the path, a band is kept
    // only when the next wider one passes too with the same total, to the bit (the pair's log
    // probability, which any such path would change); that wider band's posteriors are kept.
    // Not on the pieces of pairs past MUSCLE's lengths (wholePair): nothing of theirs is MUSCLE's
    // to match, and on unrelated genomes of 40-60 kb the second band cost a quarter more time.
    const bool twice = seed.loose && wholePair;
    float passed = 0;  // the total of the last try, when it passed
    bool hasPassed = false;
    for (std::int32_t width = first;; width = Wider(width)) {
        const Band band = FittingBand(seed, width, lx, ly, storeBytes, budget);
        const BandResult result = RunBand(kernel, model, x, y, band, scratch, watch, out);
        if (result != BandResult::Done || band.whole || !twice) {
            if (result != BandResult::Widen) return result;
            hasPassed = false;
            continue;
        }
        if (hasPassed && scratch.total == passed) return result;
        hasPassed = true;
        passed = scratch.total;
    }
}

}  // namespace kvr::align
