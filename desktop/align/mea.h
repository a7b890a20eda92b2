// The alignment of maximum expected accuracy over a sparse posterior, reduced to the counts the
// identity needs. Among equal choices: both residues, then x's residue against a gap, then y's.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "align/align.h"
#include "align/posterior.h"

namespace kvr::align {

struct MeaScratch {
    std::vector<float> rows;
    std::vector<std::uint8_t> trace;
};

PairCounts MeaCounts(const SparsePosterior& post, std::string_view x, std::string_view y,
                     MeaScratch& scratch);

}  // namespace kvr::align
