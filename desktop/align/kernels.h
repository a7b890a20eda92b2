// The SIMD posterior kernels: up to Lanes pairs per call, each lane the scalar reference's bits.
#pragma once

#include <atomic>
#include <cstddef>
#include <string_view>

#include "align/hmm_model.h"
#include "align/posterior.h"

namespace kvr::align {

inline constexpr int kLanesAvx2 = 8;
inline constexpr int kLanesAvx512 = 16;

// Both return false if cancelled; count is at most their lane count.
bool PosteriorAvx2(const HmmModel& model, const std::string_view* xs, const std::string_view* ys,
                   int count, const std::atomic<bool>* cancel, SparsePosterior* out);
bool PosteriorAvx512(const HmmModel& model, const std::string_view* xs, const std::string_view* ys,
                     int count, const std::atomic<bool>* cancel, SparsePosterior* out);

// The vector log-sum of a kernel (not Best) on n pairs of terms, n a multiple of 16: for the
// tests, which hold every lane to LogSum's bits.
void LogSumLanes(Kernel kernel, const float* x, const float* y, float* out, std::size_t n);
void LogSumLanesAvx2(const float* x, const float* y, float* out, std::size_t n);
void LogSumLanesAvx512(const float* x, const float* y, float* out, std::size_t n);
void LogSumLanesPortable(const float* x, const float* y, float* out, std::size_t n);

}  // namespace kvr::align
