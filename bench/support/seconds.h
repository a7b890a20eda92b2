// Wall-clock seconds taken by one piece of work, for the benchmarks' printed figures.
#pragma once

#include <chrono>

namespace kvr::bench {

template <typename Work>
double Seconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace kvr::bench
