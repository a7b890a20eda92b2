// The all-pairs run: aligns pairs of the loaded sequences with the chosen aligner and fills
// InputIdentity (and InputCounts when the state keeps them) and boundedPairs. (The tree step
// writes the distance file "infile" it hands the tree program.)
#pragma once

#include "model/run_state.h"
#include "pipeline/run_context.h"
#include "platform/progress.h"

namespace kvr {

inline constexpr const char* kWorkScoreTable = "Identity_scores_col.txt";
inline constexpr const char* kOldWorkScoreTable = "Simularity_scores_col.txt";
inline constexpr const char* kDistanceFile = "infile";

// How an all-pairs run ended. A cancelled run (the stop request of the shell) shows "Cancelled"
// and no message. Either way no "infile" is written and
// nothing but InputIdentity, InputCounts and the shell fields has changed.
enum class PairsEnd { Completed, Failed, Cancelled };

// Aligns every pair of InputSequences, up to context.jobs at once, with the results of one at a
// time. On failure (duplicate names with ClustalW, a pair that cannot be scored or runs past its
// time limit, a file that cannot be written) the progress hears why and the run ends Failed.
PairsEnd AlignAllPairs(RunState& state, Progress& progress, const RunContext& context);

// After an append: aligns only the pairs with an appended sequence and copies the other scores
// from IdentityMatrix, which must be indexed like the first seqCount - appendCount sequences;
// the old pairs aligned in a bounded band stay marked so.
// Keeps a running score table in the work folder (context.workFolder; none when empty).
PairsEnd AlignNewPairs(RunState& state, Progress& progress, const RunContext& context);

// Once every identity of InputIdentity is known (aligned here, or merged from shards): sets the
// diagonal and the tree names and shows "Completed".
PairsEnd CompletePairs(RunState& state, Progress& progress, const RunContext& context);

}  // namespace kvr
