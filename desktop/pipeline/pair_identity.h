// Identity of one aligned pair: the share of identical symbols among the alignment columns in
// which neither sequence has a gap.
#pragma once

#include <string>
#include <string_view>

#include "model/pair_count_table.h"
#include "model/result.h"
#include "pipeline/run_options.h"

namespace kvr {

// Each of these gives a pair's identity, or the reason it cannot be scored.

// Reads the aligned pair file (FASTA, "-" for gaps) and scores its first two records. Symbols
// are compared exactly, case included. Writes nothing.
Result<float> PairIdentity(const std::string& path);

// The identity of an alignment from its counts: columns compared (neither sequence has a gap) and
// those whose symbols differ. Every aligner's pairs are scored by this one rule.
Result<float> IdentityOfCounts(long compared, long mismatches);

struct ColumnCounts;

// The same on the file's content; with counts, the columns it was computed from are kept there.
// The rule says which columns are compared (kvr identity: Count, as the file is written).
Result<float> PairIdentityOfText(const std::string& text, ColumnCounts* counts = nullptr,
                                 AmbiguityRule rule = AmbiguityRule::Count);

// The two aligned rows of a pair file's first two records, as the identity reads them: line
// feeds, carriage returns, tabs and backspaces removed, every other symbol as written; when there
// are not two, why.
struct AlignedRows {
    std::string first;
    std::string second;
};
Result<AlignedRows> ReadAlignedRows(const std::string& text);

// The columns of two aligned rows of equal length: all of them, those in which neither row has a
// "-", and among those the ones whose symbols are equal (case kept); the same two counts over the
// gap-free columns in which neither symbol is an ambiguity code (align::IsAmbiguityCode).
struct ColumnCounts {
    long columns = 0;
    long gapFree = 0;
    long matches = 0;
    // False when the built-in aligner computed the pair in the widest band its memory budget
    // allows and some probability lay outside it (align::PairCounts::exact).
    bool exact = true;
    long unambiguous = 0;
    long unambiguousMatches = 0;
    bool operator==(const ColumnCounts&) const = default;
};
ColumnCounts CountColumns(std::string_view first, std::string_view second);

// The columns an identity compares under the rule, and the matches among them: the gap-free
// ones (Count), or those of them without an ambiguity code (Skip).
struct ComparedColumns {
    long columns = 0;
    long matches = 0;
};
ComparedColumns Compared(const ColumnCounts& counts, AmbiguityRule rule);

// The identity of every aligner's pairs: IdentityOfCounts over the compared columns. Under Skip a
// pair without a compared column (all unknown bases where the two overlap) scores 0, which the
// run reports as a warning; under Count it cannot be scored.
Result<float> IdentityOf(const ColumnCounts& counts, AmbiguityRule rule);

// What a table or a shard keeps of a pair's counts under the rule: the gap-free columns, the
// matches and columns the identity compared, and whether the pair was aligned whole.
AlignedCounts KeptCounts(const ColumnCounts& counts, AmbiguityRule rule);

// Why an aligner's output does not align the pair it was given, if it does not: its first two
// records, gaps and white space removed, must hold the given records' residues, in either order
// and either case (U read as T, and an N or X in place of any symbol). A stand-in that writes a
// fixed alignment would otherwise score every pair.
Result<void> CheckAlignedPair(const std::string& aligned, const std::string& given);

// The aligner gave the pair back the other way round: its first record holds the second given
// one (and not the first), by the rule of CheckAlignedPair.
bool AlignedPairSwapped(const std::string& aligned, const std::string& given);

}  // namespace kvr
