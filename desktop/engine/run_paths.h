// One pipeline makes an analysis (the sequences in display order, the identity table, range,
// bins and palette): align, range, order, bin. Two presenters show it: the window, through the
// three run paths from the aligner to a drawn matrix (after a FASTA file was opened, RunFresh;
// after a rerun request, RunRerun; after sequences were appended, RunAppend), which add the
// work-folder pictures, the screen and the control states; and kvr, which calls the pipeline
// alone (Analyse, AnalyseIdentities) and writes only the outputs asked for. A path makes the
// analysis in the state it is given; the window gives it the next analysis's state and puts that
// on display only when the path has finished.
#pragma once

#include <string>

#include "engine/aligner_config.h"
#include "engine/run_context.h"
#include "engine/run_options.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// What a run needs besides the state and the window.

struct RunOutcome {
    bool aligned = false;    // every pair was aligned and the analysis is on display
    bool complete = false;   // aligned, ordered as asked, and not every pair identical
    bool cancelled = false;  // the shell's stop request ended the run
    bool ordered = false;    // aligned and ordered as asked (the tree, when asked for, was used)
};

RunOutcome RunFresh(RunState& state, Window& window, const RunSetup& setup);
RunOutcome RunRerun(RunState& state, Window& window, const RunSetup& setup);
RunOutcome RunAppend(RunState& state, Window& window, const RunSetup& setup);

// The pipeline alone, for kvr: no work-folder file (pictures, "LastRun.kvr", the append run's
// score table), no screen, no control state; the tree's input only with useTree.
RunOutcome Analyse(RunState& state, Window& window, const RunSetup& setup, RunKind kind);

// The pipeline once the identity of every pair is in InputIdentity (kvr merge, from the shards
// of the run): the same range, ordering and binning, no aligner.
RunOutcome AnalyseIdentities(RunState& state, Window& window, const RunSetup& setup);

}  // namespace kvr
