#include "pipeline/run_options.h"

#include <sched.h>

#include <algorithm>
#include <cmath>

namespace kvr {

void SetAlignerNamed(RunOptions& options, std::string_view name) {
    if (const std::optional<Aligner> aligner = AlignerNamed(name)) {
        options.aligner = *aligner;
        options.unknownAligner.reset();
    } else {
        options.unknownAligner = std::string(name);
    }
}

std::optional<AmbiguityRule> AmbiguityRuleNamed(std::string_view name) {
    if (name == "count") return AmbiguityRule::Count;
    if (name == "skip") return AmbiguityRule::Skip;
    return std::nullopt;
}

const char* AmbiguityRuleName(AmbiguityRule rule) {
    return rule == AmbiguityRule::Skip ? "skip" : "count";
}

int DefaultJobs() {
    // The processors this process may run on (taskset, cgroup cpusets), not all of the machine's.
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0) return 1;
    return std::clamp(CPU_COUNT(&allowed), 1, kMostJobs);
}

std::vector<std::string> ValidateRunOptions(const RunOptions& options) {
    std::vector<std::string> problems;
    if (options.unknownAligner)
        problems.push_back("unknown aligner '" + *options.unknownAligner +
                           "': choose muscle, clustalw, mafft or builtin");
    if (options.colourMode != kFullColour && options.colourMode != kThreeColour)
        problems.push_back("unknown colour mode: choose full or three");
    if (options.paletteKind != kRainbowPalette && options.paletteKind != kViridisPalette)
        problems.push_back("unknown palette: choose rainbow or viridis");
    const auto whole = [](float c) { return c >= 0 && c <= 100 && std::floor(c) == c; };
    if (!whole(options.cutoff1) || !whole(options.cutoff2) || options.cutoff2 > options.cutoff1)
        problems.push_back(
            "the cut-offs must be whole percentages from 0 to 100, the first not below the second");
    if (options.jobs < 1 || options.jobs > kMostJobs)
        problems.push_back("the number of aligners at once must be from 1 to " +
                           std::to_string(kMostJobs));
    if (!std::isfinite(options.pairTimeoutSeconds) || options.pairTimeoutSeconds < 0)
        problems.push_back(
            "the time limit for one pair must be a number of seconds, or 0 for none");
    return problems;
}

void ApplyRunOptions(const RunOptions& options, RunState& state) {
    state.choices.AlignerKind = options.aligner;
    state.choices.useTree = options.useTree;
}

void ApplyColourOptions(const RunOptions& options, RunState& state) {
    state.choices.ColourMode = options.colourMode;
    state.choices.paletteKind = options.paletteKind;
    state.cutoff1 = options.cutoff1;
    state.cutoff2 = options.cutoff2;
}

}  // namespace kvr
