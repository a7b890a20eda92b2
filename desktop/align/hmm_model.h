// The pair HMM's scores (natural logarithms, single precision): start, transition, insert and
// match emission scores for the nucleotide and the protein model.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "align/align.h"

namespace kvr::align {

struct HmmModel {
    // Start (and end) scores: match, short insert, long insert.
    float startM = 0, startShort = 0, startLong = 0;
    // Transitions: match to match / short insert / long insert, and each insert kind to itself
    // and back to match.
    float mm = 0, mShort = 0, mLong = 0;
    float shortShort = 0, shortM = 0, longLong = 0, longM = 0;
    // Emission scores by symbol byte: one residue against a gap, and a residue pair.
    std::array<float, 256> insert{};
    std::array<std::array<float, 256>, 256> match{};
    // The same scores by symbol class (bytes whose scores are all equal share one): a small
    // table that the SIMD kernels gather from. match[a][b] == classMatch[classOf[a] * classes +
    // classOf[b]].
    std::array<std::uint8_t, 256> classOf{};
    int classes = 0;
    std::vector<float> classMatch;
};

// The model of an alphabet (Nucleotide or Protein), built once.
const HmmModel& ModelFor(Alphabet alphabet);

}  // namespace kvr::align
