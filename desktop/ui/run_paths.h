// The window's four paths to a drawn matrix: after a FASTA file was opened (RunFresh), after a
// rerun request (RunRerun), after sequences were appended (RunAppend), a session opened
// (LoadSession). Each makes the analysis through the pipeline (pipeline/run_pipeline.h) in a
// state of its own and shows it (PresentAnalysis: the work-folder pictures, the screen, the
// control states), whole, only when it is made.
#pragma once

#include <string>

#include "model/run_state.h"
#include "pipeline/run_pipeline.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

// The window's paths: the analysis is made, given its record (ui/run_record.h) and shown.
RunOutcome RunFresh(RunState& state, WindowView& shown, Window& window, const RunSetup& setup);
RunOutcome RunRerun(RunState& state, WindowView& shown, Window& window, const RunSetup& setup);
RunOutcome RunAppend(RunState& state, WindowView& shown, Window& window, const RunSetup& setup);

// Opening a session in the window: read, analysed, and shown in place of the analysis on display.
// A file that is not a whole, sound session is refused with its message, and the analysis on
// display stays. True when it is on display.
bool LoadSession(RunState& state, WindowView& shown, Window& window, const std::string& path,
                 const std::string& workFolder);

}  // namespace kvr
