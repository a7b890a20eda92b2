// The run options window (frmOptions, "Alignment programs"): its showing, always from the design
// state, and its Run button, which prepares the main window and starts the run path that the
// loaded data calls for.
#pragma once

#include <string>

#include "platform/shell.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// Loads frmOptions in its design state (Muscle selected, the tree box checked), centred, shown.
void ShowRunOptions(Window& window);

// CmdRun: checks that the chosen programs are there, then runs the fresh, rerun or append path.
void OnRunClicked(RunState& state, Window& window, Shell& shell, const std::string& programFolder);

// cmdCancel (and Esc): asks the running run to stop; it ends its aligners and returns.
void OnCancelClicked(Shell& shell);

// Before a run: the colour key hidden, the pictures blanked to their run size (0.6683 of the
// window's height, 0.646112 of its width) and everything that acts on an analysis disabled.
void PrepareMainWindowForRun(Window& window);

}  // namespace kvr
