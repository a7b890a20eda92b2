// Synthetic genomes for the long-genome benchmarks: seeded random sequences, copies diverged by
// substitutions and small insertions or deletions, runs of N.
#pragma once

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>

namespace kvr::bench {

using Rng = std::mt19937_64;

inline std::string Random(Rng& rng, std::size_t n) {
    static const char kBases[] = "ACGT";
    std::string s(n, ' ');
    for (auto& c : s) c = kBases[rng() % 4];
    return s;
}

// A copy of s diverged by `divergence` (0-1): nine in ten events substitute a base, one in ten
// inserts or deletes 1-3 bases.
inline std::string Mutate(Rng& rng, const std::string& s, double divergence) {
    std::uniform_real_distribution<double> unit(0, 1);
    std::string out;
    out.reserve(s.size() + s.size() / 10);
    for (std::size_t p = 0; p < s.size(); ++p) {
        const double r = unit(rng);
        if (r >= divergence) {
            out += s[p];
        } else if (r < 0.9 * divergence) {
            out += "ACGT"[(std::string_view("ACGT").find(s[p]) + 1 + rng() % 3) % 4];
        } else if (rng() % 2 == 0) {
            out += Random(rng, 1 + rng() % 3);
            out += s[p];
        } else {
            p += rng() % 3;  // this base and up to two more deleted
        }
    }
    return out;
}

// Runs of N (200-2,000 each) over about `share` of s.
inline void AddNRuns(Rng& rng, std::string& s, double share) {
    std::size_t covered = 0;
    const auto want = static_cast<std::size_t>(share * static_cast<double>(s.size()));
    while (covered < want) {
        const std::size_t run = std::min<std::size_t>(200 + rng() % 1801, want - covered);
        const std::size_t at = rng() % (s.size() - run);
        for (std::size_t p = at; p < at + run; ++p) covered += s[p] != 'N', s[p] = 'N';
    }
}

}  // namespace kvr::bench
