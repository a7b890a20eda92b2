// The run options window (frmOptions, "Alignment programs"): its showing, always from the design
// state, what the user chose in it, and the run path that a run of each kind takes.
#pragma once

#include <optional>
#include <string>

#include "model/run_state.h"
#include "pipeline/aligner_config.h"
#include "pipeline/run_options.h"
#include "platform/window.h"
#include "ui/run_paths.h"
#include "ui/window_view.h"

namespace kvr {

// Shows frmOptions centred, with the aligner, tree and ambiguity rule of the last run chosen, or,
// before any run, the built-in aligner (MUSCLE's identities, in seconds), the tree, and ambiguous
// bases counted (the method's identity). For an append, the aligner and the rule the identities on
// display were made with, where their record names one of each: the new pairs match the old ones
// unless the user chooses otherwise (and is asked before they are mixed).
void ShowRunOptions(Window& window, const RunState& state, RunKind kind);

// What the options window asks for, with the programs it needs found.
struct RunChoice {
    Aligner aligner = Aligner::Builtin;
    bool useTree = false;
    AmbiguityRule ambiguous = AmbiguityRule::Count;  // chkAmbiguous
    AlignerConfig programs;
};

// Reads the options window; a missing aligner or tree program is said (and nothing returned)
// before anything changes.
std::optional<RunChoice> ReadRunChoice(Window& window, const std::string& programFolder);

// Before a run: the pictures blanked to their run size (0.6683 of the
// window's height, 0.646112 of its width).
void PrepareMainWindowForRun(Window& window);

// The run path of the kind: RunFresh, RunRerun or RunAppend.
RunOutcome RunOfKind(RunKind kind, RunState& state, WindowView& shown, Window& window,
                     const RunSetup& setup);

}  // namespace kvr
