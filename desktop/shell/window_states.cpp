#include "shell/window_states.h"

#include "analysis/run_command.h"
#include "matrix/matrix_screen.h"
#include "matrix/palette.h"
#include "plot/plot_handlers.h"
#include "state/control_states.h"
#include "state/program_folder.h"

namespace kvr {

ShownBefore GiveUpNextAnalysis(MainForm& form) {
    if (form.next) {
        ShownBefore before = std::move(form.next->before);
        form.next.reset();
        form.window.CloseForm(Control::frmOptions);
        return before;
    }
    return {form.state.windowState, form.window.Caption(Control::frmMainForm),
            form.window.Caption(Control::lblFilePath)};
}

void PutBack(MainForm& form, const ShownBefore& before) {
    RunState& state = form.state;
    Window& window = form.window;
    state.windowState =
        before.windowState == WindowState::Analysis ? WindowState::Analysis : WindowState::Idle;
    window.SetCaption(Control::frmMainForm, before.caption);
    window.SetCaption(Control::lblFilePath, before.fileLabel);
    state.zoomLevel = 0;
    if (!state.ShowsAnalysis()) {
        BlankMatrixView(window);
    } else if (state.view == AnalysisView::Plot) {
        ShowPlot(state, window);
    } else if (state.FitsOnScreen()) {
        BuildPalette(state);
        DrawMatrixOnScreen(state, window);
    } else {
        BlankMatrixView(window);
    }
    ApplyControlStates(state, window);
}

void AwaitRun(MainForm& form, RunKind kind, RunState loaded, const ShownBefore& before) {
    // The run raises the cut-offs the user chose to its own smallest identity, not an earlier
    // analysis's.
    loaded.cutoff1 = loaded.chosenCutoff1;
    loaded.cutoff2 = loaded.chosenCutoff2;
    form.next = NextAnalysis{kind, std::move(loaded), before};
    form.state.windowState = WindowState::AwaitingRun;
    ApplyControlStates(form.state, form.window);
    if (form.showRunOptions) form.showRunOptions();
}

void OnRunClicked(MainForm& form) {
    Window& window = form.window;
    if (!form.next || form.state.windowState != WindowState::AwaitingRun) {
        window.ShowMessage("Please laod input file in FASTA format");
        window.CloseForm(Control::frmOptions);
        return;
    }
    const std::optional<RunChoice> choice = ReadRunChoice(window, form.programFolder);
    if (!choice) return;  // said; the options window stays open

    RunState& next = form.next->state;
    next.useTree = choice->useTree;
    next.AlignerKind = choice->aligner;
    next.zoomLevel = 0;
    window.SetToolTip(Control::ZoomingPicture, "");
    form.state.windowState = WindowState::Running;
    ApplyControlStates(form.state, window);
    PrepareMainWindowForRun(window);
    window.CloseForm(Control::frmOptions);

    const RunSetup setup{form.shell, choice->programs, WorkFolder(form.programFolder)};
    window.SetBusy(true);  // the busy pointer for as long as the run works
    const RunOutcome outcome = RunOfKind(form.next->kind, next, window, setup);
    window.SetBusy(false);
    window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
    if (outcome.aligned) {
        // The run path has put it on display with its controls; it becomes the analysis shown.
        form.state = std::move(next);
        form.next.reset();
        return;
    }
    if (outcome.cancelled) {
        // The user stopped it: the analysis shown before comes back.
        PutBack(form, GiveUpNextAnalysis(form));
        window.SetCaption(Control::lblProgress, "Cancelled");
        return;
    }
    // An aligner failed: the sequences stay loaded and the options window offers the run again,
    // with another aligner if need be, without opening the file again.
    form.state.windowState = WindowState::AwaitingRun;
    ApplyControlStates(form.state, window);
    BlankMatrixView(window);
    window.SetCaption(Control::lblProgress, "Failed");
    if (form.showRunOptions) form.showRunOptions();
}

void OnOptionsClosed(MainForm& form) {
    if (form.state.windowState != WindowState::AwaitingRun) return;
    PutBack(form, GiveUpNextAnalysis(form));
}

void OnCancelClicked(MainForm& form) {
    form.shell.Stop().Raise();
}

}  // namespace kvr
