// Vector helpers of the SIMD kernels: GCC vector types of W floats and ProbCons' log-sum on every
// lane, both branches computed and the scalar's choice selected, so that each lane gives the
// bits of LogSum.
//
// Included by one source file per instruction set, inside its target region.
#pragma once

#include <immintrin.h>
#include <cstddef>
#include <cstdint>

#include "align/log_sum.h"

namespace kvr::align::lanes {

template <int W>
struct Vec {
    typedef float F __attribute__((vector_size(4 * W)));
    typedef std::int32_t I __attribute__((vector_size(4 * W)));
};

// Always inlined: a call would pass the vectors through memory.
#define KVR_ALIGN_INLINE inline __attribute__((always_inline))

template <int W>
KVR_ALIGN_INLINE typename Vec<W>::F Splat(float v) {
    typename Vec<W>::F r{};
    for (int l = 0; l < W; ++l) r[l] = v;
    return r;
}

// One of four values by a lane's piece number 0-3.
template <int W>
KVR_ALIGN_INLINE typename Vec<W>::F Piece(typename Vec<W>::I piece, float p0, float p1, float p2,
                                          float p3) {
    const auto first = piece == 0 ? Splat<W>(p0) : Splat<W>(p1);
    const auto second = piece == 2 ? Splat<W>(p2) : Splat<W>(p3);
    return piece < 2 ? first : second;
}

// Each lane's piece's coefficients, each looked up by table(the first piece's, ..., the last's).
template <typename F, typename Table>
KVR_ALIGN_INLINE void PieceCoefficients(const Table& table, F& a, F& b, F& c, F& e) {
    const auto of = [&table](float CubicPiece::*m) {
        return table(kLogSumPieces[0].*m, kLogSumPieces[1].*m, kLogSumPieces[2].*m,
                     kLogSumPieces[3].*m);
    };
    a = of(&CubicPiece::a);
    b = of(&CubicPiece::b);
    c = of(&CubicPiece::c);
    e = of(&CubicPiece::e);
}

// LogSum on every lane: both branches computed, the scalar's choice selected. The scalar's test
// for log zero is not needed: with the smaller term log zero, either the difference is past the
// cut-off, or both terms are log zero and the cubic adds less than half a unit in the last place
// to it, which leaves it log zero.
template <int W>
KVR_ALIGN_INLINE typename Vec<W>::F LogSumV(typename Vec<W>::F x, typename Vec<W>::F y) {
    using F = typename Vec<W>::F;
    using I = typename Vec<W>::I;
    F small, big;
    if constexpr (W == 16) {
        // vminps gives x < y ? x : y and vmaxps y > x ? y : x, the scalar's choices exactly
        // (ties and zeros included), without a comparison and two blends. (Masked forms, every
        // lane set, as below.)
        small = (F)_mm512_mask_min_ps((__m512)x, 0xffff, (__m512)x, (__m512)y);
        big = (F)_mm512_mask_max_ps((__m512)y, 0xffff, (__m512)y, (__m512)x);
    } else if constexpr (W == 8) {
        small = (F)_mm256_min_ps((__m256)x, (__m256)y);
        big = (F)_mm256_max_ps((__m256)y, (__m256)x);
    } else if constexpr (W == 4) {
        small = (F)_mm_min_ps((__m128)x, (__m128)y);
        big = (F)_mm_max_ps((__m128)y, (__m128)x);
    } else {
        const auto xLess = x < y;
        small = xLess ? x : y;
        big = xLess ? y : x;
    }
    const F d = big - small;
    F a, b, c, e;
    if constexpr (W == 16) {
        // The piece by ceil(2d), one addition: 2^22 + d rounded up to the next multiple of its
        // unit, a half, holds ceil(2d) in its last bits (0-2 is d <= 1, 3-5 d <= 2.5, 6-9
        // d <= 4.5), which the permutes read as their index; the coefficients by one permute
        // each from 16-entry tables (past the cut-off the lane is dropped, whatever it reads).
        // (The masked forms with every lane set: the plain ones leave GCC 12 warning about an
        // undefined source.)
        const __m512i index = _mm512_castps_si512(
            _mm512_mask_add_round_ps((__m512)d, 0xffff, (__m512)d, _mm512_set1_ps(0x1p22f),
                                     _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC));
        const auto table = [index](float p0, float p1, float p2, float p3) {
            const __m512 t =
                _mm512_setr_ps(p0, p0, p0, p1, p1, p1, p2, p2, p2, p2, p3, p3, p3, p3, p3, p3);
            return (F)_mm512_mask_permutexvar_ps(t, 0xffff, index, t);
        };
        PieceCoefficients(table, a, b, c, e);
    } else if constexpr (W == 8) {
        // The piece by ceil(2d), a rounding: 2^23 added puts it in the last bits, and one byte
        // shuffle turns those into the piece, which the permutes read from their index's last
        // two bits (past the cut-off the lane is dropped, whatever it reads). The four
        // coefficients fit each 128-bit half, so the permutes stay within the halves: a cycle's
        // latency on Intel's cores where one across the vector takes three.
        const __m256 ceil2d =
            _mm256_round_ps((__m256)(d + d), _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC);
        const __m256i piece = _mm256_shuffle_epi8(
            _mm256_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 0, 0, 0, 1, 1, 1, 2, 2,
                             2, 2, 3, 3, 3, 3, 3, 3),
            _mm256_castps_si256(_mm256_add_ps(ceil2d, _mm256_set1_ps(0x1p23f))));
        const auto table = [piece](float p0, float p1, float p2, float p3) {
            return (F)_mm256_permutevar_ps(_mm256_setr_ps(p0, p1, p2, p3, p0, p1, p2, p3), piece);
        };
        PieceCoefficients(table, a, b, c, e);
    } else {
        // The cubic piece of d: comparisons give -1 where true.
        const I piece = -((d > 1.00f) + (d > 2.50f) + (d > 4.50f));
        PieceCoefficients([piece](float p0, float p1, float p2,
                                  float p3) { return Piece<W>(piece, p0, p1, p2, p3); },
                          a, b, c, e);
    }
    const F cubic = ((a * d + b) * d + c) * d + e;
    if constexpr (W == 16) {
        // The last addition only where the difference is below the cut-off, big elsewhere: one
        // masked instruction for an addition and a blend.
        const __mmask16 near =
            _mm512_cmp_ps_mask((__m512)d, _mm512_set1_ps(kLogSumCutoff), _CMP_NGE_UQ);
        return (F)_mm512_mask_add_ps((__m512)big, near, (__m512)cubic, (__m512)small);
    }
    const F sum = cubic + small;
    return d >= kLogSumCutoff ? big : sum;
}

// LogSumV over arrays of n values (n a multiple of W): what the tests hold to LogSum's bits.
template <int W>
void LogSumArrays(const float* x, const float* y, float* out, std::size_t n) {
    using F = typename Vec<W>::F;
    for (std::size_t k = 0; k < n; k += W) {
        F a, b;
        __builtin_memcpy(&a, x + k, sizeof a);
        __builtin_memcpy(&b, y + k, sizeof b);
        const F sum = LogSumV<W>(a, b);
        __builtin_memcpy(out + k, &sum, sizeof sum);
    }
}

// The lanes of a comparison's result that are set, one bit each (lane 0 the lowest).
template <int W>
KVR_ALIGN_INLINE std::uint32_t LaneBits(typename Vec<W>::I mask) {
    if constexpr (W == 16)
        return _mm512_test_epi32_mask((__m512i)mask, (__m512i)mask);
    else if constexpr (W == 8)
        return static_cast<std::uint32_t>(_mm256_movemask_ps((__m256)mask));
    else if constexpr (W == 4)
        return static_cast<std::uint32_t>(_mm_movemask_ps((__m128)mask));
    std::uint32_t bits = 0;
    for (int l = 0; l < W; ++l) bits |= (mask[l] != 0 ? 1u : 0u) << l;
    return bits;
}

template <int W>
KVR_ALIGN_INLINE typename Vec<W>::F LogSumV(typename Vec<W>::F a, typename Vec<W>::F b,
                                            typename Vec<W>::F c, typename Vec<W>::F d,
                                            typename Vec<W>::F e) {
    return LogSumV<W>(a, LogSumV<W>(b, LogSumV<W>(c, LogSumV<W>(d, e))));
}

}  // namespace kvr::align::lanes
