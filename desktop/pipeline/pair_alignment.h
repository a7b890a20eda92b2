// One pair aligned on demand with its alignment kept, by the aligner of a run and exactly as the
// run aligns that pair, so that its identity is the one the run found: for kvr align and the
// window's alignment viewer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/result.h"
#include "model/run_state.h"
#include "pipeline/aligner_config.h"
#include "pipeline/pair_identity.h"
#include "pipeline/run_options.h"
#include "platform/shell.h"

namespace kvr {

// How much of each sequence its partner covers: the columns in which both have a residue over the
// sequence's own length (0 to 1). A fragment covers a small part of a long partner, all of itself.
struct PairCoverage {
    double first = 0;
    double second = 0;
};
PairCoverage CoverageOf(long gapFreeColumns, std::size_t firstLength, std::size_t secondLength);

struct AlignedPair {
    Result<void> outcome;  // as PairResult::outcome
    std::string first;   // the first record's row, "-" for gaps, symbols as the aligner wrote them
    std::string second;  // the second record's row, of the same length
    ColumnCounts counts;
    float identity = 0.0f;  // IdentityOf the counts by the rule; valid when the outcome is Done
    AmbiguityRule ambiguous = AmbiguityRule::Count;  // the rule of the identity
    PairCoverage coverage;
};

// What aligning needs besides the pair: the shell that starts external aligners, their command
// lines, and the work folder in which a folder of this alignment's own exchanges their files.
struct PairAlignmentSetup {
    Shell& shell;
    const AlignerConfig& programs;
    std::string workFolder;
    AlphabetRule alphabet = AlphabetRule::Set;  // the built-in aligner's, as in the run
    int pairMemoryMegabytes = kPairMemoryMegabytes;
    AmbiguityRule ambiguous = AmbiguityRule::Count;  // the columns the identity compares
};

// Aligns records i and j (input positions, i != j) with the aligner (the built-in one or an
// external one) as a run aligns their pair: the earlier record first, in the same pair file
// or call. The rows come back in the order asked (i's first).
AlignedPair AlignRecordPair(const PairAlignmentSetup& setup, Aligner kind,
                            const RecordTable& records, int i, int j);

}  // namespace kvr
