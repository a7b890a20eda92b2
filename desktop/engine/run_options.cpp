#include "engine/run_options.h"

#include <algorithm>
#include <cmath>

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
    if (options.colourMode != kFullColour && options.colourMode != kThreeColour)
        problems.push_back("unknown colour mode: choose full or three");
    const auto whole = [](float c) { return c >= 0 && c <= 100 && std::floor(c) == c; };
    if (!whole(options.cutoff1) || !whole(options.cutoff2) || options.cutoff2 > options.cutoff1)
        problems.push_back(
            "the cut-offs must be whole percentages from 0 to 100, the first not below the second");
    return problems;
}

void ApplyRunOptions(const RunOptions& options, RunState& state) {
    state.AlignerKind = options.aligner;
    state.useTree = options.useTree;
}

void ApplyColourOptions(const RunOptions& options, RunState& state) {
    state.ColourMode = options.colourMode;
    state.cutoff1 = options.cutoff1;
    state.cutoff2 = options.cutoff2;
}

}  // namespace kvr
