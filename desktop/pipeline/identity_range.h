// The smallest and largest identity of a run or a session, which anchor the colour scales and
// the plot, and keep the three-colour thresholds inside the range of the data.
#pragma once

#include "model/run_state.h"
#include "platform/progress.h"

namespace kvr {

// Scans the off-diagonal cells of the n x n table into minIdentity (a zero counts only when no
// other pair is below 1) and maxIdentity, raises cutoff2 (and cutoff1 with it) to the smallest
// identity in whole percent, and reports a set in which every pair is identical, or every pair
// 0 % identical: false then.
bool FindIdentityRange(RunState& state, Progress& progress, const IdentityTable& matrix, int n);

// The same range gathered one identity at a time, for identities that are never in a table.
struct IdentityRange {
    double smallest = 1.0;  // the smallest identity above 0, 1 when there is none
    float largest = 0.0f;
    long long pairs = 0;
    long long zeros = 0;
    void Add(float value) {
        ++pairs;
        if (largest < value) largest = value;
        if (value == 0.0f)
            ++zeros;
        else if (value < static_cast<float>(smallest))
            smallest = value;
    }
};

// A set in which no pair shares a single aligned residue.
inline constexpr const char* kNothingSharedMessage =
    "No two sequences share an aligned residue: every pair is 0% identical";

// What FindIdentityRange does with the range it found; false for a set without any difference.
bool ApplyIdentityRange(RunState& state, Progress& progress, const IdentityRange& range);

}  // namespace kvr
