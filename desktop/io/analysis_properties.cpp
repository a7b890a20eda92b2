#include "io/analysis_properties.h"

#include <algorithm>
#include <iterator>

#include "model/pair_order.h"

namespace kvr {

std::vector<std::pair<std::string, std::string>> AnalysisProperties(const Analysis& analysis) {
    const Provenance& record = analysis.provenance;
    std::vector<std::pair<std::string, std::string>> lines = {
        {"sequences", std::to_string(analysis.seqCount)},
        {"pairs", std::to_string(PairCount(analysis.seqCount))},
        {"tree", record.tree.empty() ? "none" : "kept"},
        {"provenance", record.Known() ? "recorded" : std::string(kUnknown)},
    };
    for (const std::string_view key : kStandardProvenanceKeys) {
        const std::string value = record.Get(key);
        lines.emplace_back(std::string(key), value.empty() ? std::string(kUnknown) : value);
    }
    const auto& standard = kStandardProvenanceKeys;
    for (const auto& [key, value] : record.entries)
        if (std::find(std::begin(standard), std::end(standard), key) == std::end(standard))
            lines.emplace_back(key, value);
    return lines;
}

}  // namespace kvr
