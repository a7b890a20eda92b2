// One pipeline makes an analysis (model/analysis.h): align, range, order, bin, and the palette,
// telling its steps to a Progress. The window's paths (ui/run_paths.h) and kvr, the C++ API
// and the Python module all call it; it shows nothing and asks nothing.
#pragma once

#include "model/run_state.h"
#include "pipeline/run_context.h"
#include "pipeline/run_options.h"
#include "platform/progress.h"

namespace kvr {

struct RunOutcome {
    bool aligned = false;    // every pair was aligned and the analysis is made
    bool complete = false;   // aligned, ordered as asked, and not every pair identical
    bool cancelled = false;  // the shell's stop request ended the run
    bool ordered = false;    // aligned and ordered as asked (the tree, when asked for, was used)
};

// The loaded (or appended, or shown for a rerun) sequences made an analysis: no work-folder
// file (the append run's score table); the tree's input only with useTree.
RunOutcome Analyse(RunState& state, Progress& progress, const RunSetup& setup, RunKind kind);

// The same for the window, whose work folder keeps the append run's score table.
RunOutcome AnalyseWithWorkFiles(RunState& state, Progress& progress, const RunSetup& setup,
                                RunKind kind);

// The pipeline once the identity of every pair is in InputIdentity (kvr merge, from the shards
// of the run): the same range, ordering and binning, no aligner.
RunOutcome AnalyseIdentities(RunState& state, Progress& progress, const RunSetup& setup);

// The pipeline for a session read into the state (io/session_reading.h): its order is kept;
// range, bins and palette.
void AnalyseSession(RunState& state, Progress& progress);

}  // namespace kvr
