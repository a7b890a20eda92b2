// The three run paths, from the aligner to a drawn matrix: after a FASTA file was opened
// (RunFresh), after a rerun request on the analysis on display (RunRerun), and after sequences
// were appended to it (RunAppend). The window's Run button and kvr call the same paths.
#pragma once

#include <string>

#include "engine/aligner_config.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// What a run needs besides the state and the window.
struct RunSetup {
    Shell& shell;
    const AlignerConfig& programs;
    std::string
        workFolder;  // the program's work files; each run exchanges files in a folder of its own
};

struct RunOutcome {
    bool aligned = false;   // every pair was aligned and the analysis is on display
    bool complete = false;  // aligned, ordered as asked, and not every pair identical
};

RunOutcome RunFresh(RunState& state, Window& window, const RunSetup& setup);
RunOutcome RunRerun(RunState& state, Window& window, const RunSetup& setup);
RunOutcome RunAppend(RunState& state, Window& window, const RunSetup& setup);

}  // namespace kvr
