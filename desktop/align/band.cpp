#include "align/band.h"

#include <algorithm>

namespace kvr::align {

namespace {

constexpr std::int32_t kFirstBandWidth = 64;
// A band may always take this much; beyond it, no more than the whole matrix would.
constexpr std::size_t kBandBytesAlways = std::size_t{64} << 20;

// The forward match score of every cell of the band, and the states at its two ends.
std::size_t BandBytes(std::size_t lx, std::size_t ly, std::int32_t width) {
    return (lx + ly + 1) * (static_cast<std::size_t>(width) + 10) * sizeof(float);
}

BandResult RunBand(Kernel kernel, const HmmModel& model, std::string_view x, std::string_view y,
                   const Band& band, const std::atomic<bool>* cancel, SparsePosterior& out) {
    switch (kernel) {
        case Kernel::Avx512:
            return PosteriorBandAvx512(model, x, y, band, cancel, out);
        case Kernel::Avx2:
            return PosteriorBandAvx2(model, x, y, band, cancel, out);
        default:
            return PosteriorBandPortable(model, x, y, band, cancel, out);
    }
}

}  // namespace

bool PosteriorBanded(const HmmModel& model, std::string_view x, std::string_view y,
                     Alphabet alphabet, Kernel kernel, PosteriorScratch& wholeScratch,
                     const std::atomic<bool>* cancel, SparsePosterior& out) {
    const std::vector<std::int32_t> centre = SeedPath(x, y, alphabet);
    // A band at least twice as wide as the shorter sequence covers the matrix: it has no edge.
    const std::size_t limit = std::max(x.size() * y.size() * sizeof(float), kBandBytesAlways);
    for (std::int32_t width = kFirstBandWidth; BandBytes(x.size(), y.size(), width) <= limit;
         width *= 2) {
        switch (RunBand(kernel, model, x, y, Band{&centre, width}, cancel, out)) {
            case BandResult::Done:
                return true;
            case BandResult::Cancelled:
                return false;
            case BandResult::Widen:
                break;
        }
    }
    return PosteriorScalar(model, x, y, wholeScratch, cancel, out);
}

}  // namespace kvr::align
