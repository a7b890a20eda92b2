// The all-pairs run: aligns pairs of the loaded sequences with the chosen aligner, fills
// InputIdentity, and writes the distance file "infile" for the tree step.
#pragma once

#include "engine/run_context.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

inline constexpr const char* kWorkScoreTable = "Identity_scores_col.txt";
inline constexpr const char* kOldWorkScoreTable = "Simularity_scores_col.txt";
inline constexpr const char* kDistanceFile = "infile";

// Aligns every pair of InputSequences. On failure (duplicate names with ClustalW, a pair that
// cannot be scored, a file that cannot be written) the window says why, failFlag is set, and no
// "infile" is written.
void AlignAllPairs(RunState& state, Window& window, const RunContext& context);

// After an append: aligns only the pairs with an appended sequence and copies the other scores
// from IdentityMatrix, which must be indexed like the first seqCount - appendCount sequences.
// Keeps a running score table in the work folder.
void AlignNewPairs(RunState& state, Window& window, const RunContext& context);

}  // namespace kvr
