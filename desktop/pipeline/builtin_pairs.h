// The built-in aligner in a run: pairs aligned in this process on worker threads, while the
// caller keeps breathing on its own thread and a stop request ends the work.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "align/align.h"
#include "model/run_state.h"
#include "pipeline/builtin_pool.h"
#include "pipeline/run_aligner.h"
#include "pipeline/run_options.h"
#include "pipeline/twin_pairs.h"
#include "platform/progress.h"
#include "platform/stop_request.h"

namespace kvr {

// What the window shows as the command of a built-in pair.
inline constexpr const char* kBuiltinCommand = "built-in aligner (MUSCLE 5 pair method)";

// The built-in aligner's options for a run over these records: the set's alphabet for every pair
// (align::SetAlphabet), or MUSCLE's guess pair by pair; the memory budget of a pair.
align::Options BuiltinOptions(const RecordTable& records, AlphabetRule rule,
                              int pairMemoryMegabytes = kPairMemoryMegabytes);

// Aligns the pairs on the pool's threads; result k belongs to pair k. The progress breathes
// every few hundredths of a second meanwhile. A raised stop request ends the work within a
// second; the unfinished pairs then fail with the outcome Cancelled. With a time limit (seconds
// above 0) the pairs are aligned one per thread at a time, so that each one's time is its own:
// the pairs still unfinished at the limit fail with the outcome TimedOut, and the pairs after
// them are not started (Cancelled). With twins, a pair that repeats the residues of a pair
// aligned before (in this call or an earlier one) takes its counts instead of being aligned.
// Each identity compares the columns the rule says (IdentityOf). `advance`, when given, is told
// as often as the progress breathes how many pairs are done, counting the part done of those
// under way (by their lengths: 0 to pairs.size()), so that a progress display moves within long
// pairs.
std::vector<PairResult> AlignBuiltinPairs(
    BuiltinPool& pool, const std::vector<std::pair<const Record*, const Record*>>& pairs,
    Progress& progress, const StopRequest& stop, double pairTimeoutSeconds = 0,
    TwinPairs* twins = nullptr, AmbiguityRule ambiguous = AmbiguityRule::Count,
    const std::function<void(double done)>& advance = {});

}  // namespace kvr
