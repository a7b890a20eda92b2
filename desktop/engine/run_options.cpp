#include "engine/run_options.h"

#include <algorithm>

namespace kvr {

bool IsAlignerKind(std::string_view kind) {
    return std::find(std::begin(kAlignerKinds), std::end(kAlignerKinds), kind) !=
           std::end(kAlignerKinds);
}

std::string AlignerTitle(std::string_view kind) {
    if (kind == "muscle") return "MUSCLE";
    if (kind == "clustalw") return "ClustalW";
    if (kind == "mafft") return "MAFFT";
    return std::string(kind);
}

std::vector<std::string> ValidateRunOptions(const RunOptions& options) {
    std::vector<std::string> problems;
    if (!IsAlignerKind(options.aligner))
        problems.push_back("unknown aligner '" + options.aligner +
                           "': choose muscle, clustalw or mafft");
    return problems;
}

void ApplyRunOptions(const RunOptions& options, RunState& state) {
    state.AlignerKind = options.aligner;
    state.useTree = options.useTree;
}

}  // namespace kvr
