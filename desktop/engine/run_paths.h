// The three run paths, from the aligner to a drawn matrix: after a FASTA file was opened
// (RunFresh), after a rerun request on the analysis on display (RunRerun), and after sequences
// were appended to it (RunAppend). The window's Run button and kvr call the same paths. A path
// makes the analysis in the state it is given; the window gives it the next analysis's state and
// puts that on display only when the path has finished.
#pragma once

#include <string>

#include "engine/aligner_config.h"
#include "engine/run_options.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// What a run needs besides the state and the window.
struct RunSetup {
    Shell& shell;
    const AlignerConfig& programs;
    // The program's work files; each run exchanges files with the programs in a folder of its own.
    std::string workFolder;
    int jobs = DefaultJobs();       // aligner processes at once
    double pairTimeoutSeconds = 0;  // a pair's aligner is ended after this long; 0: no limit
};

struct RunOutcome {
    bool aligned = false;    // every pair was aligned and the analysis is on display
    bool complete = false;   // aligned, ordered as asked, and not every pair identical
    bool cancelled = false;  // the shell's stop request ended the run
    bool ordered = false;    // aligned and ordered as asked (the tree, when asked for, was used)
};

RunOutcome RunFresh(RunState& state, Window& window, const RunSetup& setup);
RunOutcome RunRerun(RunState& state, Window& window, const RunSetup& setup);
RunOutcome RunAppend(RunState& state, Window& window, const RunSetup& setup);

// The rest of RunFresh once the identity of every pair is in InputIdentity (kvr merge, from the
// shards of the run): the same range, ordering, binning and pictures, no aligner.
RunOutcome RunFromIdentities(RunState& state, Window& window, const RunSetup& setup);

}  // namespace kvr
