#include "ui/run_paths.h"

#include "io/session_reading.h"
#include "ui/control_states.h"
#include "ui/present_analysis.h"
#include "ui/run_record.h"
#include "ui/window_progress.h"

namespace kvr {

namespace {

RunOutcome RunPath(RunState& state, WindowView& shown, Window& window, const RunSetup& setup,
                   RunKind kind) {
    // An append extends the record of the analysis its sequences came from.
    const Provenance before = state.provenance;
    // The window keeps what it shows (the analysis on display, or the blank view) until the new
    // analysis is made.
    WindowProgress progress(window, state.inputPath);
    const RunOutcome outcome = AnalyseWithWorkFiles(state, progress, setup, kind);
    if (!outcome.aligned) return outcome;
    // Before it is shown: LastRun.kvr keeps it too.
    state.provenance = WindowRunRecord(state, setup, kind, before);
    PresentAnalysis(state, shown, window, setup.workFolder,
                    kind == RunKind::Rerun    ? AnalysisSource::Rerun
                    : kind == RunKind::Append ? AnalysisSource::Append
                                              : AnalysisSource::Fresh);
    return outcome;
}

}  // namespace

RunOutcome RunFresh(RunState& state, WindowView& shown, Window& window, const RunSetup& setup) {
    return RunPath(state, shown, window, setup, RunKind::Fresh);
}

RunOutcome RunRerun(RunState& state, WindowView& shown, Window& window, const RunSetup& setup) {
    return RunPath(state, shown, window, setup, RunKind::Rerun);
}

RunOutcome RunAppend(RunState& state, WindowView& shown, Window& window, const RunSetup& setup) {
    return RunPath(state, shown, window, setup, RunKind::Append);
}

bool LoadSession(RunState& state, WindowView& shown, Window& window, const std::string& path,
                 const std::string& workFolder) {
    // The session replaces the analysis on display whole, once it has been read and analysed.
    RunState loaded = ChoicesOf(state);
    WindowProgress progress(window);
    window.SetBusy(true);
    const bool read = ReadSession(loaded, progress, path);
    window.SetBusy(false);
    if (!read) return false;
    window.SetCaption(Control::frmMainForm, std::string(kMainCaption) + " | " +
                                                std::to_string(loaded.seqCount) + " sequences");
    window.SetBusy(true);
    AnalyseSession(loaded, progress);
    state = std::move(loaded);
    PresentAnalysis(state, shown, window, workFolder, AnalysisSource::Session);
    return true;
}

}  // namespace kvr
