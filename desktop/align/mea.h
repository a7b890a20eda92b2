// The alignment of maximum expected accuracy over a sparse posterior, reduced to the counts the
// identity needs, and written out when asked for. Among equal choices: both residues, then x's
// residue against a gap, then y's.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "align/align.h"
#include "align/posterior.h"

namespace kvr::align {

struct MeaScratch {
    std::vector<std::uint32_t> lo, hi, rowOffset, lastRowFrom;
    std::vector<float> values;
    std::vector<float> rows;          // the reference's two rows
    std::vector<std::uint8_t> trace;  // the reference's choices
};

// The fast one: the accumulated accuracy is kept only on the smallest staircase of cells that
// holds every kept posterior (its row ends never move left); everywhere else it equals a value on
// the staircase, read by rule, so that the trace-back makes the reference's choice at every step.
// With `alignment`, the columns the counts come from are written into it as well.
PairCounts MeaCounts(const SparsePosterior& post, std::string_view x, std::string_view y,
                     MeaScratch& scratch, PairAlignment* alignment = nullptr);

// The reference: the whole matrix and a choice per cell.
PairCounts MeaCountsReference(const SparsePosterior& post, std::string_view x, std::string_view y,
                              MeaScratch& scratch, PairAlignment* alignment = nullptr);

}  // namespace kvr::align
