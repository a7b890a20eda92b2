// Posterior probabilities that residue i of x and residue j of y are aligned, from the pair HMM's
// forward and backward passes; only those of at least 0.01 are kept.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>
#include <vector>

#include "align/hmm_model.h"

namespace kvr::align {

// Rows are residues of x, columns residues of y (both from 0), kept entries by ascending column.
struct SparsePosterior {
    std::uint32_t rows = 0, cols = 0;
    std::vector<std::uint32_t> rowStart;  // rows + 1 offsets into col and prob
    std::vector<std::uint32_t> col;
    std::vector<float> prob;
};

// Work space of the scalar passes, reused from pair to pair.
struct PosteriorScratch {
    std::vector<float> forwardMatch;  // forward match score of every cell
    std::vector<float> rows;          // two rows of five states
    std::vector<std::uint32_t> rowCount;
};

// The smallest posterior kept, and its log as MUSCLE computes it.
inline constexpr float kMinPosterior = 0.01f;
float MinPosteriorScore();

// The posterior of one probability score (forward + backward - total), or 0 when dropped.
float PosteriorOfScore(float score);

// Combines log(sum) terms of the end cell into the total probability, in model order.
float TotalScore(const HmmModel& m, const float endForward[5]);

// The scalar reference. Returns false if *cancel became true (checked once a row).
bool PosteriorScalar(const HmmModel& model, std::string_view x, std::string_view y,
                     PosteriorScratch& scratch, const std::atomic<bool>* cancel,
                     SparsePosterior& out);

}  // namespace kvr::align
