// Vector helpers of the SIMD kernels: GCC vector types of W floats and ProbCons' log-sum on every
// lane, both branches computed and the scalar's choice selected, so that each lane gives the
// bits of LogSum.
//
// Included by one source file per instruction set, inside its target region.
#pragma once

#include <cstdint>

#include "align/log_sum.h"

namespace kvr::align::lanes {

template <int W>
struct Vec {
    typedef float F __attribute__((vector_size(4 * W)));
    typedef std::int32_t I __attribute__((vector_size(4 * W)));
};

template <int W>
inline typename Vec<W>::F Splat(float v) {
    typename Vec<W>::F r{};
    for (int l = 0; l < W; ++l) r[l] = v;
    return r;
}

// LogSum on every lane: both branches computed, the scalar's choice selected.
template <int W>
inline typename Vec<W>::F LogSumV(typename Vec<W>::F x, typename Vec<W>::F y) {
    using F = typename Vec<W>::F;
    const auto xLess = x < y;
    const F small = xLess ? x : y;
    const F big = xLess ? y : x;
    const F d = big - small;
    const auto le1 = d <= 1.00f, le25 = d <= 2.50f, le45 = d <= 4.50f;
    const F a =
        le1 ? Splat<W>(-0.009350833524763f)
            : (le25 ? Splat<W>(-0.014532321752540f)
                    : (le45 ? Splat<W>(-0.004605031767994f) : Splat<W>(-0.000458661602210f)));
    const F b = le1 ? Splat<W>(0.130659527668286f)
                    : (le25 ? Splat<W>(0.139942324101744f)
                            : (le45 ? Splat<W>(0.063427417320019f) : Splat<W>(0.009695946122598f)));
    const F c = le1 ? Splat<W>(0.498799810682272f)
                    : (le25 ? Splat<W>(0.495635523139337f)
                            : (le45 ? Splat<W>(0.695956496475118f) : Splat<W>(0.930734667215156f)));
    const F e = le1 ? Splat<W>(0.693203116424741f)
                    : (le25 ? Splat<W>(0.692140569840976f)
                            : (le45 ? Splat<W>(0.514272634594009f) : Splat<W>(0.168037164329057f)));
    const F sum = (((a * d + b) * d + c) * d + e) + small;
    const auto drop = (small == kLogZero) | (d >= kLogSumCutoff);
    return drop ? big : sum;
}

template <int W>
inline typename Vec<W>::F LogSumV(typename Vec<W>::F a, typename Vec<W>::F b, typename Vec<W>::F c,
                                  typename Vec<W>::F d, typename Vec<W>::F e) {
    return LogSumV<W>(a, LogSumV<W>(b, LogSumV<W>(c, LogSumV<W>(d, e))));
}

}  // namespace kvr::align::lanes
