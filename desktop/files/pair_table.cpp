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

std::string PairTableRow(const Record& first, const Record& second, float identity) {
    std::string row;
    row.reserve(first.name.size() + second.name.size() + 32);
    AppendName(row, first);
    row += '\t';
    AppendName(row, second);
    row += '\t';
    row += PlainSingle(identity);
    row += '\t';
    row += PlainSingle(static_cast<float>(static_cast<double>(identity) * 100));
    row += "\t\t\n";  // aligned_columns and matches: not kept by the analysis
    return row;
}

bool WritePairTable(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                    int n) {
    out << kPairTableHeader;
    for (int i = 0; i < n && out; ++i)
        for (int j = i + 1; j < n && out; ++j)
            out << PairTableRow(records[i], records[j], identity(i, j));
    return static_cast<bool>(out);
}

}  // namespace kvr
