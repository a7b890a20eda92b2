// The pair table for pipelines: tab-separated, LF line ends, the header
// "seq1 seq2 identity percent aligned_columns matches" (tabs between), then one row a pair in the
// order of the records. Names are as the FASTA file gives them (Record::givenName), or else (a
// session) the name lines without their ">". A name ends at its line end, the FASTA reader keeps
// its tabs as spaces, and a row writes any tab, CR or LF a name might still hold (a hand-edited
// session) as a space: a row always has its six fields.
// aligned_columns and matches stay empty: an analysis keeps one identity a pair (as sessions and
// shard files store it), not the counts it was computed from.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "state/run_state.h"

namespace kvr {

inline constexpr std::string_view kPairTableHeader =
    "seq1\tseq2\tidentity\tpercent\taligned_columns\tmatches\n";

// One row with its LF, appended to text or on its own.
void AppendPairTableRow(std::string& text, const Record& first, const Record& second,
                        float identity);
std::string PairTableRow(const Record& first, const Record& second, float identity);

// The header and every pair i < j of the first n records, row by row as they are formatted;
// record i's identities are in row tableIndex[i] of identity when given, else in row i. False
// when out failed.
bool WritePairTable(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                    int n, const std::vector<int>* tableIndex = nullptr);

}  // namespace kvr
