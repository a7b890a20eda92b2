#include "pipeline/pair_table.h"

#include "io/number_text.h"
#include "model/table_names.h"
#include "pipeline/pair_alignment.h"

namespace kvr {

void AppendPairTableRow(std::string& text, const Record& first, const Record& second,
                        float identity, AlignedCounts counts) {
    AppendTableName(text, first);
    text += '\t';
    AppendTableName(text, second);
    text += '\t';
    text += PlainSingle(identity);
    text += '\t';
    text += PercentText(identity);
    if (!counts.Known()) {
        text += "\t\t\t\t\t\t\n";  // the counts of a pair that was not aligned here
        return;
    }
    const PairCoverage coverage =
        CoverageOf(counts.gapFree, first.residues.size(), second.residues.size());
    text += '\t';
    text += std::to_string(counts.gapFree);
    text += '\t';
    text += std::to_string(counts.matches);
    text += '\t';
    text += PlainSingle(static_cast<float>(coverage.first));
    text += '\t';
    text += PlainSingle(static_cast<float>(coverage.second));
    text += counts.exact ? "\t1\t" : "\t0\t";
    text += std::to_string(counts.compared);
    text += '\n';
}

std::string PairTableRow(const Record& first, const Record& second, float identity,
                         AlignedCounts counts) {
    std::string row;
    AppendPairTableRow(row, first, second, identity, counts);
    return row;
}

bool WritePairTable(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                    int n, const std::vector<int>* shownAt, const PairCountTable* counts) {
    const auto row = [shownAt](int i) { return shownAt ? (*shownAt)[i] : i; };
    // Rows go out in blocks: one stream call a row would cost more than the formatting.
    constexpr std::size_t kBlock = 1 << 16;
    std::string block(kPairTableHeader);
    block.reserve(kBlock + 1024);
    for (int i = 0; i < n && out; ++i)
        for (int j = i + 1; j < n; ++j) {
            AppendPairTableRow(block, records[row(i)], records[row(j)], identity(row(i), row(j)),
                               counts ? (*counts)(i, j) : AlignedCounts{});
            if (block.size() < kBlock) continue;
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    return static_cast<bool>(out);
}

}  // namespace kvr
