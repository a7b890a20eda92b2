// A RunState holding an analysis, built directly (names and identities), with the identity range
// found the way the run finds it: the smallest non-zero and the largest off-diagonal identity.
#pragma once

#include <functional>
#include <string>

#include "model/run_state.h"

namespace kvr::testing {

// identity(i, j) for i < j; the table is made symmetric with 1 on the diagonal. Names are
// ">seq_1", ">seq_2", ... unless nameOf is given.
inline RunState MakeAnalysis(int n, const std::function<float(int, int)>& identity,
                             const std::function<std::string(int)>& nameOf = {}) {
    RunState state;
    state.seqCount = n;
    state.IdentityMatrix = IdentityTable(n, 1.0f);
    for (int i = 0; i < n; ++i) {
        const std::string name = nameOf ? nameOf(i) : ">seq_" + std::to_string(i + 1);
        state.SequenceList.push_back({name, "ACGT"});
        state.maxNameLen = std::max<int>(state.maxNameLen, static_cast<int>(name.size()));
        for (int j = i + 1; j < n; ++j)
            state.IdentityMatrix(i, j) = state.IdentityMatrix(j, i) = identity(i, j);
    }
    state.minIdentity = 1.0;
    state.maxIdentity = 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (i == j) continue;
            const float v = state.IdentityMatrix(i, j);
            state.maxIdentity = std::max<double>(state.maxIdentity, v);
            if (v != 0 && v < static_cast<float>(state.minIdentity)) state.minIdentity = v;
        }
    return state;
}

// Identities that fall off with the distance between the sequences, from 1 down to `lowest`.
inline std::function<float(int, int)> Gradient(int n, float lowest) {
    return [n, lowest](int i, int j) {
        return 1.0f - (1.0f - lowest) * static_cast<float>(j - i) / static_cast<float>(n - 1);
    };
}

// A histogram set by hand: proportions per row (all zero here) and the range they came from.
inline RunState Histogram(double minIdentity, float maxIdentity, float maxProportion) {
    RunState state;
    state.minIdentity = minIdentity;
    state.maxIdentity = maxIdentity;
    state.maxProportion = maxProportion;
    state.BinArray.assign(101, {0.0f, 0.0f});
    return state;
}

}  // namespace kvr::testing
