// The lane kernel compiled for avx512. Everything outside the target region (the standard
// library, the shared headers) stays compiled for the base instruction set, so that no copy of
// it built for avx512 can end up in code that runs elsewhere.
#include <immintrin.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "align/band.h"
#include "align/hmm_model.h"
#include "align/kernels.h"
#include "align/log_sum.h"
#include "align/posterior.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
#include "align/posterior_band.h"
#include "align/posterior_lanes.h"

namespace kvr::align {

bool PosteriorAvx512(const HmmModel& model, const std::string_view* xs, const std::string_view* ys,
                     int count, const std::atomic<bool>* cancel, SparsePosterior* out) {
    thread_local lanes::LaneScratch<kLanesAvx512> scratch;
    return lanes::PosteriorLanes<kLanesAvx512>(model, xs, ys, count, scratch, cancel, out);
}

BandResult PosteriorBandAvx512(const HmmModel& model, std::string_view x, std::string_view y,
                               const Band& band, BandScratch& scratch, const PassWatch& watch,
                               SparsePosterior& out) {
    return lanes::PosteriorBand<kLanesAvx512>(model, x, y, band, scratch, watch, out);
}

void LogSumLanesAvx512(const float* x, const float* y, float* out, std::size_t n) {
    lanes::LogSumArrays<kLanesAvx512>(x, y, out, n);
}

}  // namespace kvr::align
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
