#include "align/band.h"

#include <algorithm>

namespace kvr::align {

namespace {

BandResult RunBand(Kernel kernel, const HmmModel& model, std::string_view x, std::string_view y,
                   const Band& band, BandScratch& scratch, const std::atomic<bool>* cancel,
                   SparsePosterior& out) {
    switch (kernel) {
        case Kernel::Avx512:
            return PosteriorBandAvx512(model, x, y, band, scratch, cancel, out);
        case Kernel::Avx2:
            return PosteriorBandAvx2(model, x, y, band, scratch, cancel, out);
        default:
            return PosteriorBandPortable(model, x, y, band, scratch, cancel, out);
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

}  // namespace

std::size_t BandScratch::Bytes() const {
    return forwardMatch.Bytes() + checkpoints.Bytes() + BytesOf(slots) + BytesOf(again) +
           BytesOf(edge) + BytesOf(insX) + BytesOf(insY) + BytesOf(xs) + BytesOf(ys) +
           BytesOf(rowOf) + BytesOf(colOf) + BytesOf(probOf);
}

std::int32_t CoverWidth(const std::vector<std::int32_t>& centre, std::size_t lx, std::size_t ly) {
    // Rows max(0, d - ly) .. min(d, lx) of anti-diagonal d must lie within centre - width / 2 ..
    // centre + width / 2 - 1.
    std::int64_t half = 1;
    for (std::size_t d = 0; d < centre.size(); ++d) {
        const auto c = static_cast<std::int64_t>(centre[d]);
        const auto first = static_cast<std::int64_t>(d > ly ? d - ly : 0);
        const auto last = static_cast<std::int64_t>(std::min(d, lx));
        half = std::max({half, c - first, last - c + 1});
    }
    return static_cast<std::int32_t>((2 * half + 15) / 16 * 16);
}

bool PosteriorBanded(const HmmModel& model, std::string_view x, std::string_view y,
                     Alphabet alphabet, Kernel kernel, BandScratch& scratch,
                     const std::atomic<bool>* cancel, SparsePosterior& out,
                     std::size_t storeBytes) {
    std::int32_t first = 0;
    const std::vector<std::int32_t> centre = SeedPath(x, y, alphabet, &first);
    const std::int32_t cover = CoverWidth(centre, x.size(), y.size());
    // The band that covers the matrix has no edge to check: it is always the last try.
    for (std::int32_t width = std::min(first, cover);; width = std::min(Wider(width), cover)) {
        switch (
            RunBand(kernel, model, x, y, Band{&centre, width, storeBytes}, scratch, cancel, out)) {
            case BandResult::Done:
                return true;
            case BandResult::Cancelled:
                return false;
            case BandResult::Widen:
                break;
        }
    }
}

}  // namespace kvr::align
