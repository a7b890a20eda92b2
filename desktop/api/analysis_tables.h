// The library's Analysis (input order, plain vectors) and the program's tables (display order,
// a triangle): one conversion each way, so that every file is written by the program's writers.
#pragma once

#include <string>

#include "kvr/kvr.h"
#include "model/result.h"
#include "model/run_state.h"

namespace kvr::api {

// The analysis a run or a session read made: records and identities in display order, treeOrder
// leading back to the input (none for a session), the counts in input order.
Analysis AnalysisOf(const Analysis& base, const kvr::Analysis& made);

// The record both ways: the core's and the library's hold the same entries and tree.
Provenance ProvenanceOf(const kvr::Provenance& record);
kvr::Provenance CoreProvenance(const Provenance& record);

// What keeps an analysis built by hand from being written: sizes that disagree, an order that is
// not a permutation.
kvr::Result<void> CheckAnalysis(const Analysis& analysis);

// The records and identities in input order (names, clean names with their ">", residues).
RecordTable InputRecords(const Analysis& analysis);
IdentityTable InputIdentities(const Analysis& analysis);
// The counts in input order; empty when the analysis has none.
PairCountTable InputCounts(const Analysis& analysis);

}  // namespace kvr::api
