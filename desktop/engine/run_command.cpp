#include "engine/run_command.h"

#include "engine/aligner_config.h"
#include "engine/external_programs.h"
#include "engine/run_paths.h"
#include "matrix/matrix_screen.h"
#include "matrix/palette.h"
#include "state/control_states.h"
#include "state/program_folder.h"

namespace kvr {

namespace {

std::string ChosenAligner(const Window& window) {
    if (window.IsChecked(Control::oMuscle)) return "muscle";
    if (window.IsChecked(Control::oClustalw)) return "clustalw";
    if (window.IsChecked(Control::oBuiltin)) return "builtin";
    return "mafft";
}

// Opening and dropping are off while a run works, and back on when it ends, however it ends.
class OpeningOffDuringRun {
  public:
    explicit OpeningOffDuringRun(Window& window) : window_(window) {
        window_.SetEnabled(Control::mnuOpenFile, false);
        window_.SetDropEnabled(Control::ZoomingPicture, false);
        window_.SetDropEnabled(Control::frmMainForm, false);
    }
    ~OpeningOffDuringRun() {
        SetOpeningEnabled(window_, true);
        window_.SetToolTip(Control::ZoomingPicture, kDropToolTip);
    }
    OpeningOffDuringRun(const OpeningOffDuringRun&) = delete;
    OpeningOffDuringRun& operator=(const OpeningOffDuringRun&) = delete;

  private:
    Window& window_;
};

}  // namespace

void ShowRunOptions(Window& window) {
    window.SetChecked(Control::oMuscle, true);
    window.SetChecked(Control::oClustalw, false);
    window.SetChecked(Control::oMafft, false);
    window.SetChecked(Control::oBuiltin, false);
    window.SetChecked(Control::chkOptions, true);
    CentreForm(window, Control::frmOptions);
    window.ShowForm(Control::frmOptions);
}

void PrepareMainWindowForRun(Window& window) {
    window.SetVisible(Control::keyPicture, false);
    window.BlankPicture(Control::InnerPicture);
    const Rect main = window.Geometry(Control::frmMainForm);
    for (Control picture : {Control::InnerPicture, Control::ZoomingPicture}) {
        Rect geometry = window.Geometry(picture);
        geometry.height = 0.6683 * main.height;
        geometry.width = 0.646112 * main.width;
        window.SetGeometry(picture, geometry);
    }
    for (Control c : {Control::cmdDrawMat,      Control::cmdColourScheme, Control::cmdPlot,
                      Control::VScroll1,        Control::HScroll1,        Control::lblCutoff1,
                      Control::updCutoff1,      Control::lblCutoff1dsply, Control::lblCutoff2,
                      Control::UpdCutoff2,      Control::lblCutoff2dsply, Control::cmdZoomIn,
                      Control::cmdZoomOut,      Control::mnuSaveMatrix,   Control::mnuSave,
                      Control::mnuSaveSimScore, Control::mnuCopyMat,      Control::mnuSaveSession,
                      Control::mnuSavePlot,     Control::mnuCopyPlot,     Control::mnuRerun,
                      Control::mnuAppend})
        window.SetEnabled(c, false);
}

void OnRunClicked(RunState& state, Window& window, Shell& shell, const std::string& programFolder) {
    if (state.runInProgress) return;
    const std::string aligner = ChosenAligner(window);
    const bool useTree = window.IsChecked(Control::chkOptions);

    // A missing aligner or tree program is said before anything changes.
    const AlignerConfigLoad programs = LoadAlignerConfig(programFolder);
    std::vector<std::string> problems = programs.problems;
    if (problems.empty()) problems = CheckRunPrograms(programs.config, aligner, useTree);
    if (!problems.empty()) {
        std::string message;
        for (const std::string& problem : problems)
            message += (message.empty() ? "" : "\n") + problem;
        window.ShowMessage(message);
        return;
    }

    window.SetToolTip(Control::ZoomingPicture, "");
    state.useTree = useTree;
    state.zoomLevel = 0;
    const OpeningOffDuringRun openingOff(window);
    state.AlignerKind = aligner;
    if (state.fileKind == kNothingLoaded) {
        if (state.inputPath.empty()) window.ShowMessage("Please laod input file in FASTA format");
        return;
    }
    const RunSetup setup{shell, programs.config, WorkFolder(programFolder)};
    const ControlSnapshot beforeRun(window);
    const bool analysisShown = state.matrixShown;
    PrepareMainWindowForRun(window);
    window.CloseForm(Control::frmOptions);
    window.SetVisible(Control::cmdCancel, true);
    window.SetEnabled(Control::cmdCancel, true);
    RunOutcome outcome;
    // A rerun request is honoured after a FASTA file's run too: it writes "LastRun.kvr" like any
    // rerun, and the request is consumed rather than left for a later run.
    if (state.fileKind == kFastaLoaded && !state.rerunMode) {
        outcome = RunFresh(state, window, setup);
    } else if (state.rerunMode && !state.appendMode) {
        outcome = RunRerun(state, window, setup);
        if (!outcome.cancelled) state.rerunMode = false;
    } else if (state.appendMode) {
        outcome = RunAppend(state, window, setup);
    }
    window.SetVisible(Control::cmdCancel, false);
    if (outcome.cancelled) {
        // The analysis on display stays, drawn again, and the window as it was before Run.
        if (analysisShown && FitsOnScreen(state) &&
            state.IdentityMatrix.Size() == static_cast<int>(state.SequenceList.size())) {
            BuildPalette(state);
            DrawMatrixOnScreen(state, window);
        }
        beforeRun.Restore(window);
        window.SetVisible(Control::cmdCancel, false);
        window.SetCaption(Control::lblProgress, "Cancelled");
    }
}

void OnCancelClicked(Shell& shell) {
    shell.Stop().Raise();
}

}  // namespace kvr
