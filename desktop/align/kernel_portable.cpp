// The banded passes for any x86-64 processor: four cells at a time in the base instruction set.
#include "align/kernels.h"
#include "align/posterior_band.h"

namespace kvr::align {

BandResult PosteriorBandPortable(const HmmModel& model, std::string_view x, std::string_view y,
                                 const Band& band, BandScratch& scratch, const PassWatch& watch,
                                 SparsePosterior& out) {
    return lanes::PosteriorBand<4>(model, x, y, band, scratch, watch, out);
}

void LogSumLanesPortable(const float* x, const float* y, float* out, std::size_t n) {
    lanes::LogSumArrays<4>(x, y, out, n);
}

void LogSumLanes(Kernel kernel, const float* x, const float* y, float* out, std::size_t n) {
    switch (kernel) {
        case Kernel::Avx512:
            return LogSumLanesAvx512(x, y, out, n);
        case Kernel::Avx2:
            return LogSumLanesAvx2(x, y, out, n);
        default:
            return LogSumLanesPortable(x, y, out, n);
    }
}

}  // namespace kvr::align
