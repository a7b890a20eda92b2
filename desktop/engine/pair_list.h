// Aligning a given list of pairs (a shard of an all-pairs run) with the chosen aligner: the
// external aligners through the shell, several at once; the built-in aligner on threads. The
// results are handed over in the order of the list, whatever order they end in.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/run_context.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

struct PairListEnd {
    bool completed = false;  // every pair was aligned and taken
    bool cancelled = false;  // the shell's stop request ended the work
    std::string failure;     // why not, when neither
};

// Aligns the pairs (i, j) of records with the aligner of the kind, up to context.jobs at once,
// and calls take(k, identity) for pair k in list order. The first pair that cannot be scored
// ends the work (the pairs still running are ended) and is reported; so is a false from take.
PairListEnd AlignPairList(const RecordTable& records, std::string_view kind,
                          const std::vector<std::pair<int, int>>& pairs, const RunContext& context,
                          Window& window, const std::function<bool(std::size_t, float)>& take);

}  // namespace kvr
