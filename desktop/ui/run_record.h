// The record of how a run in the window made the identities it puts on display, from the one maker
// kvr's runs use too (pipeline/run_provenance.h): KVRv1 and its version, the step, the aligner with
// the version it reports, the options that change the numbers, the files the sequences came from
// with their checksums, the date, and the tree that ordered them.
#pragma once

#include "model/provenance.h"
#include "model/run_state.h"
#include "pipeline/run_context.h"

namespace kvr {

// The record of the run of kind ("run", "rerun" or "append", as the record names its step) that
// has just made the analysis in state with setup. A run or a rerun starts a record: its input is
// every file the sequences came from, joined by " + ". An append adds its step and file to the
// record of the analysis it extended (before: "unknown" when that one kept none), mixing what
// differs (model/provenance.h). Asks the aligner its version through the setup's shell, and
// hashes each file of the step that is still as it was read ("unknown" for one that changed
// since).
Provenance WindowRunRecord(const RunState& state, const RunSetup& setup, RunKind kind,
                           const Provenance& before);

}  // namespace kvr
