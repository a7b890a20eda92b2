// One pipeline makes an analysis (state/analysis.h): load, align, range, order, bin, and the
// palette. Two presenters show it: the window (PresentAnalysis: the work-folder pictures, the
// screen, the control states), through its four paths to a drawn matrix (after a FASTA file was
// opened, RunFresh; after a rerun request, RunRerun; after sequences were appended, RunAppend;
// a session opened, LoadSession); and kvr, which calls the pipeline alone (Analyse,
// AnalyseIdentities, AnalyseSession) and writes only the outputs asked for. A path makes the
// analysis in a state of its own; the window puts it on display, whole, only when it is made.
#pragma once

#include <string>

#include "engine/aligner_config.h"
#include "engine/run_context.h"
#include "engine/run_options.h"
#include "platform/progress.h"
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

// The window's paths: the analysis is made, given its record (analysis/run_record.h) and shown.
RunOutcome RunFresh(RunState& state, Window& window, const RunSetup& setup);
RunOutcome RunRerun(RunState& state, Window& window, const RunSetup& setup);
RunOutcome RunAppend(RunState& state, Window& window, const RunSetup& setup);

// The pipeline alone, for kvr: no work-folder file (pictures, "LastRun.kvr", the append run's
// score table), no screen, no control state; the tree's input only with useTree.
RunOutcome Analyse(RunState& state, Progress& progress, const RunSetup& setup, RunKind kind);

// The pipeline once the identity of every pair is in InputIdentity (kvr merge, from the shards
// of the run): the same range, ordering and binning, no aligner.
RunOutcome AnalyseIdentities(RunState& state, Progress& progress, const RunSetup& setup);

// The pipeline for a session read into the state (files/session.h, ReadSession): its order is
// kept; range, bins and palette.
void AnalyseSession(RunState& state, Progress& progress);

// Opening a session in the window: read, analysed, and shown in place of the analysis on display.
// A file that is not a whole, sound session is refused with its message, and the analysis on
// display stays. True when it is on display.
bool LoadSession(RunState& state, Window& window, const std::string& path,
                 const std::string& workFolder);

}  // namespace kvr
