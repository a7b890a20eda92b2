#include "files/pair_table.h"

#include "state/number_text.h"

namespace kvr {

namespace {

// The name as the FASTA file gave it when known, else the name line without its ">".
void AppendName(std::string& row, const Record& record) {
    std::string_view name = record.givenName;
    if (name.empty()) {
        name = record.name;
        if (name.starts_with('>')) name.remove_prefix(1);
    }
    for (const char c : name) row += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
}

}  // namespace

void AppendPairTableRow(std::string& text, const Record& first, const Record& second,
                        float identity) {
    AppendName(text, first);
    text += '\t';
    AppendName(text, second);
    text += '\t';
    text += PlainSingle(identity);
    text += '\t';
    text += PlainSingle(static_cast<float>(static_cast<double>(identity) * 100));
    text += "\t\t\n";  // aligned_columns and matches: not kept by the analysis
}

std::string PairTableRow(const Record& first, const Record& second, float identity) {
    std::string row;
    AppendPairTableRow(row, first, second, identity);
    return row;
}

bool WritePairTable(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                    int n, const std::vector<int>* tableIndex) {
    const auto row = [tableIndex](int i) { return tableIndex ? (*tableIndex)[i] : i; };
    // Rows go out in blocks: one stream call a row would cost more than the formatting.
    constexpr std::size_t kBlock = 1 << 16;
    std::string block(kPairTableHeader);
    block.reserve(kBlock + 1024);
    for (int i = 0; i < n && out; ++i)
        for (int j = i + 1; j < n; ++j) {
            AppendPairTableRow(block, records[i], records[j], identity(row(i), row(j)));
            if (block.size() < kBlock) continue;
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    return static_cast<bool>(out);
}

}  // namespace kvr
