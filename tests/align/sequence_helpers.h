// What the kernel and band tests share: random sequences, and posteriors compared bit for bit.
#pragma once

#include <cstring>
#include <random>
#include <string>
#include <string_view>

#include "align/posterior.h"

namespace kvr::align::testing {

inline std::string RandomSequence(std::mt19937& rng, std::size_t n, std::string_view letters) {
    std::string s(n, ' ');
    for (auto& c : s) c = letters[rng() % letters.size()];
    return s;
}

// An aligned row with its gaps taken out.
inline std::string WithoutGaps(std::string_view row) {
    std::string out;
    for (char c : row)
        if (c != '-') out += c;
    return out;
}

inline bool SameBits(const SparsePosterior& p, const SparsePosterior& q) {
    return p.rows == q.rows && p.cols == q.cols && p.rowStart == q.rowStart && p.col == q.col &&
           p.prob.size() == q.prob.size() &&
           std::memcmp(p.prob.data(), q.prob.data(), p.prob.size() * sizeof(float)) == 0;
}

}  // namespace kvr::align::testing
