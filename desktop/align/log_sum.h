// Addition of log probabilities with ProbCons' piecewise-cubic approximation of log(1 + e^-d)
// (Do et al. 2005), as MUSCLE 5 uses it. The exact cut-off matters: a term more than 7.5 below
// the other is dropped, and the result is then the larger term itself.
#pragma once

namespace kvr::align {

// The log of zero; sums involving it are recognised by equality.
inline constexpr float kLogZero = -2e20f;
inline constexpr float kLogSumCutoff = 7.5f;

// log(e^d + 1) for 0 <= d < 7.5, as cubic pieces: ((a d + b) d + c) d + e, the first for
// d <= 1, the second for d <= 2.5, the third for d <= 4.5, the last beyond.
struct CubicPiece {
    float a, b, c, e;
};
inline constexpr CubicPiece kLogSumPieces[4] = {
    {-0.009350833524763f, 0.130659527668286f, 0.498799810682272f, 0.693203116424741f},
    {-0.014532321752540f, 0.139942324101744f, 0.495635523139337f, 0.692140569840976f},
    {-0.004605031767994f, 0.063427417320019f, 0.695956496475118f, 0.514272634594009f},
    {-0.000458661602210f, 0.009695946122598f, 0.930734667215156f, 0.168037164329057f},
};

inline float LogOnePlusExp(float d) {
    const CubicPiece& p = kLogSumPieces[d <= 1.00f ? 0 : d <= 2.50f ? 1 : d <= 4.50f ? 2 : 3];
    return ((p.a * d + p.b) * d + p.c) * d + p.e;
}

inline float LogSum(float x, float y) {
    if (x < y) return (x == kLogZero || y - x >= kLogSumCutoff) ? y : LogOnePlusExp(y - x) + x;
    return (y == kLogZero || x - y >= kLogSumCutoff) ? x : LogOnePlusExp(x - y) + y;
}

// Right-nested, as the model's sums are written: a + (b + (c + (d + e))).
inline float LogSum(float a, float b, float c, float d, float e) {
    return LogSum(a, LogSum(b, LogSum(c, LogSum(d, e))));
}

}  // namespace kvr::align
