#include "api/analysis_tables.h"

#include <algorithm>

namespace kvr::api {

namespace {

std::string WithoutMark(const std::string& nameLine) {
    return nameLine.starts_with('>') ? nameLine.substr(1) : nameLine;
}

}  // namespace

std::string Provenance::Get(std::string_view key) const {
    return CoreProvenance(*this).Get(key);
}

Provenance ProvenanceOf(const kvr::Provenance& record) {
    return {record.entries, record.tree};
}

kvr::Provenance CoreProvenance(const Provenance& record) {
    return {record.entries, record.tree};
}

Analysis AnalysisOf(const Analysis& base, const kvr::Analysis& made) {
    Analysis out = base;
    const int n = made.seqCount;
    const auto size = static_cast<std::size_t>(n);
    out.names.assign(size, {});
    out.cleanNames.assign(size, {});
    out.residues.assign(size, {});
    out.order.assign(size, 0);
    out.identity.assign(size * size, 0.0f);
    for (int d = 0; d < n; ++d) {
        const Record& record = made.SequenceList[static_cast<std::size_t>(d)];
        const auto i = static_cast<std::size_t>(made.InputIndex(d));
        out.order[static_cast<std::size_t>(d)] = static_cast<int>(i);
        out.cleanNames[i] = WithoutMark(record.name);
        // The pipeline table's rule: the name as given, else the name line without its ">".
        out.names[i] = record.givenName.empty() ? out.cleanNames[i] : record.givenName;
        out.residues[i] = record.residues;
        for (int e = 0; e < n; ++e)
            out.identity[i * size + static_cast<std::size_t>(made.InputIndex(e))] =
                made.IdentityMatrix(d, e);
    }
    out.provenance = ProvenanceOf(made.provenance);
    out.counts.clear();
    if (made.InputCounts.Size() == n) {
        out.counts.resize(size * (size - 1) / 2);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const AlignedCounts counts = made.InputCounts(i, j);
                out.counts[out.PairIndex(static_cast<std::size_t>(i),
                                         static_cast<std::size_t>(j))] = {
                    0, counts.gapFree, counts.matches, counts.exact};
            }
    }
    return out;
}

kvr::Result<void> CheckAnalysis(const Analysis& analysis) {
    const std::size_t n = analysis.Size();
    if (analysis.cleanNames.size() != n || analysis.residues.size() != n)
        return kvr::Problem{"the analysis has " + std::to_string(n) + " names, " +
                            std::to_string(analysis.cleanNames.size()) + " clean names and " +
                            std::to_string(analysis.residues.size()) + " sequences"};
    if (analysis.identity.size() != n * n)
        return kvr::Problem{"the identity matrix of " + std::to_string(n) + " sequences needs " +
                            std::to_string(n * n) + " values, not " +
                            std::to_string(analysis.identity.size())};
    std::vector<int> sorted = analysis.order;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t k = 0; k < sorted.size(); ++k)
        if (sorted.size() != n || sorted[k] != static_cast<int>(k))
            return kvr::Problem{"the display order does not hold every sequence once"};
    if (sorted.size() != n)
        return kvr::Problem{"the display order does not hold every sequence once"};
    if (!analysis.counts.empty() && analysis.counts.size() != n * (n - 1) / 2)
        return kvr::Problem{"the counts do not hold one entry a pair"};
    return {};
}

RecordTable InputRecords(const Analysis& analysis) {
    RecordTable records(analysis.Size());
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i] = {">" + analysis.cleanNames[i], analysis.residues[i], analysis.names[i]};
    return records;
}

IdentityTable InputIdentities(const Analysis& analysis) {
    const int n = static_cast<int>(analysis.Size());
    IdentityTable table(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j)
            table(i, j) =
                analysis.Identity(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
    return table;
}

PairCountTable InputCounts(const Analysis& analysis) {
    const int n = static_cast<int>(analysis.Size());
    if (analysis.counts.empty()) return {};
    PairCountTable table(n);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const Counts counts =
                analysis.PairCounts(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
            // The library's identities compare every gap-free column.
            table(i, j) = {counts.gapFree, counts.matches, counts.exact, counts.gapFree};
        }
    return table;
}

}  // namespace kvr::api
