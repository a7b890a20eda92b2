// Genomes whose pairs the built-in aligner computes in a bounded band under a small memory budget:
// random 3,000-base genomes (seeded) and copies of them with every few bases changed. Under a
// budget of 1 MB a pair of unrelated genomes is bounded (the band its edge check needs does not
// fit); a genome and its copy are exact.
#pragma once

#include <random>
#include <string>

namespace kvr::testing {

inline constexpr int kBoundingMegabytes = 1;

inline std::string RandomGenome(unsigned seed, std::size_t length = 3000) {
    std::mt19937 rng(seed);
    std::string s(length, 'A');
    for (char& c : s) c = "ACGT"[rng() % 4];
    return s;
}

// The genome with every step-th base changed.
inline std::string RelatedGenome(const std::string& genome, std::size_t step) {
    std::string copy = genome;
    for (std::size_t k = 0; k < copy.size(); k += step) copy[k] = copy[k] == 'A' ? 'G' : 'A';
    return copy;
}

}  // namespace kvr::testing
