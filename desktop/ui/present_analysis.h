// The window's presentation of an analysis, whatever made it (a run or an opened session): the
// work folder's files, the matrix on screen (or the plot when the matrix is too large to draw),
// the control states. kvr presents the same analysis through its outputs instead (app/kvr_outputs).
#pragma once

#include <string>

#include "model/run_state.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

// What made the analysis: it decides the work-folder files and what the window says.
enum class AnalysisSource { Fresh, Rerun, Append, Session };

// Shows the analysis in state, which must be complete (range, order, bins, palette): the matrix
// picture (when the matrix fits on screen) and the plot picture in the work folder, the plot data
// after a rerun and "LastRun.kvr" after a rerun or an append; the matrix on screen, or the plot
// and the large-matrix message; the analysis state of the window. Opening a session also shows its
// steps in lblProgress and keeps the window busy meanwhile.
void PresentAnalysis(RunState& state, WindowView& shown, Window& window,
                     const std::string& workFolder, AnalysisSource source);

}  // namespace kvr
