// The banded passes for any x86-64 processor: four cells at a time in the base instruction set.
#include "align/posterior_band.h"

namespace kvr::align {

BandResult PosteriorBandPortable(const HmmModel& model, std::string_view x, std::string_view y,
                                 const Band& band, const std::atomic<bool>* cancel,
                                 SparsePosterior& out) {
    thread_local lanes::BandScratch<4> scratch;
    return lanes::PosteriorBand<4>(model, x, y, band, scratch, cancel, out);
}

}  // namespace kvr::align
