// The analysis the matrix benchmarks draw: n sequences in related groups of 25, high identity
// inside a group, lower between groups, ordered as a tree would order them.
#pragma once

#include <random>
#include <string>

#include "model/run_state.h"

namespace kvr::bench {

inline kvr::RunState GroupedAnalysis(int n) {
    kvr::RunState state;
    state.seqCount = n;
    state.IdentityMatrix = kvr::IdentityTable(n, 1.0f);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> noise(-0.03f, 0.03f);
    for (int i = 0; i < n; ++i) {
        state.SequenceList.push_back({">sequence_" + std::to_string(i) + "_sample", "ACGT"});
        for (int j = i + 1; j < n; ++j) {
            const float base = (i / 25 == j / 25) ? 0.92f : 0.55f + 0.2f * ((i / 25 + j / 25) % 3);
            state.IdentityMatrix(i, j) = state.IdentityMatrix(j, i) = base + noise(random);
        }
    }
    state.maxNameLen = static_cast<int>(state.SequenceList.back().name.size());
    state.minIdentity = 0.52;
    state.maxIdentity = 0.95f;
    return state;
}

}  // namespace kvr::bench
