// One pair with its scratch space and cancel flag: the shared step of AlignPair and the batch.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

#include "align/align.h"
#include "align/band.h"
#include "align/mea.h"
#include "align/posterior.h"

namespace kvr::align {

struct PairScratch {
    BandScratch band;
    PosteriorScratch posterior;
    SparsePosterior sparse;
    MeaScratch mea;
};

// The checks every pair passes before any alignment: a failure status, the counts of a pair
// MUSCLE does not align (equal letters, case aside: it keeps them as they are), or nothing.
std::optional<PairCounts> Precheck(std::string_view a, std::string_view b);

// The alphabet the pair is scored with.
Alphabet AlphabetFor(std::string_view a, std::string_view b, const Options& options);

// The kernel that runs for a requested one: Best becomes the widest this processor has, one it
// lacks becomes Scalar.
Kernel ResolveKernel(Kernel kernel);

// One pair: the band on `kernel` (resolved) when options.band, else the scalar whole matrix.
// With `alignment`, its columns are written there too (emptied when the pair fails); with
// `progress`, the pair's progress is added to it as it goes (PairProgress).
PairCounts AlignOne(std::string_view a, std::string_view b, const Options& options, Kernel kernel,
                    PairScratch& scratch, const std::atomic<bool>* cancel,
                    PairAlignment* alignment = nullptr,
                    std::atomic<std::uint64_t>* progress = nullptr);

}  // namespace kvr::align
