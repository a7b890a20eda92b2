// The pair table for pipelines: tab-separated, LF line ends, the header "seq1 seq2 identity
// percent aligned_columns matches coverage1 coverage2 exact compared_columns" (tabs between),
// then one row a pair in the order of the records. Names are as the FASTA file gives them
// (Record::givenName), or else (a session) the name lines without their ">". A name ends at its
// line end, the FASTA reader keeps its tabs as spaces, and a row writes any tab, CR or LF a name
// might still hold (a hand-edited session) as a space: a row always has its ten fields.
// aligned_columns, matches, the coverages, exact (1, or 0 for a pair the built-in aligner
// computed in a bounded band) and compared_columns (the identity's denominator: the gap-free
// columns, or under --ambiguous skip those without an ambiguity code; matches are counted among
// them) are written for the pairs whose counts are known
// (aligned by this command); the others (a session's, a shard's) leave them empty, as those files
// keep one identity a pair, not the counts it was computed from.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/pair_count_table.h"
#include "model/run_state.h"
#include "model/table_names.h"

namespace kvr {

inline constexpr std::string_view kPairTableHeader =
    "seq1\tseq2\tidentity\tpercent\taligned_columns\tmatches\tcoverage1\tcoverage2\texact\t"
    "compared_columns\n";

// One row with its LF, appended to text or on its own. With known counts, the gap-free columns,
// the matches, each sequence's coverage (CoverageOf, as a fraction like the identity) and whether
// the counts are exact, and the columns compared.
void AppendPairTableRow(std::string& text, const Record& first, const Record& second,
                        float identity, AlignedCounts counts = {});
std::string PairTableRow(const Record& first, const Record& second, float identity,
                         AlignedCounts counts = {});

// The header and every pair i < j of n sequences, row by row as they are formatted. Sequence i
// is records[shownAt[i]], with its identities in that row of identity, when shownAt is given,
// else records[i] and row i. The counts, when given, are indexed by i. False when out failed.
bool WritePairTable(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                    int n, const std::vector<int>* shownAt = nullptr,
                    const PairCountTable* counts = nullptr);

}  // namespace kvr
