#include "ui/present_analysis.h"

#include "pictures/matrix_picture.h"
#include "pictures/plot_picture.h"
#include "ui/colour_controls.h"
#include "ui/control_states.h"
#include "ui/matrix_screen.h"
#include "ui/plot_handlers.h"
#include "ui/session.h"
#include "ui/text_export_handlers.h"

namespace kvr {

namespace {

// A session's message names the files it can still be saved to, by colour mode.
std::string LargeMatrixMessage(const RunState& state, AnalysisSource source) {
    if (source != AnalysisSource::Session) return kLargeMatrixMessage;
    return state.choices.ColourMode == kFullColour
               ? "The program does not disply a matrix of more than 500 sequences. But you can "
                 "save the matrix on the disk as EMF or BMP image and the associated identity "
                 "scores in a CSV file"
               : "The program does not disply a matrix of more than 500 sequences. But you can "
                 "save the matrix and the identity scores";
}

}  // namespace

void PresentAnalysis(RunState& state, WindowView& shown, Window& window,
                     const std::string& workFolder, AnalysisSource source) {
    const bool session = source == AnalysisSource::Session;
    const bool fits = state.FitsOnScreen();
    shown.NewAnalysis();
    ShowCutoffs(state, window);
    if (session) {
        window.SetBusy(true);
        shown.windowState = WindowState::Busy;
        window.SetCaption(Control::lblProgress, fits ? "Displaying..." : "Ploting the scores ...");
    }
    // The work folder's pictures always show the analysis on display (the clipboard copies them).
    if (fits) WriteMatrixPicture(state, workFolder);
    WritePlotPicture(state, window, workFolder);
    if (source == AnalysisSource::Rerun) WriteWorkPlotData(state, window, workFolder);
    shown.view = fits ? AnalysisView::Matrix : AnalysisView::Plot;
    if (fits)
        DrawMatrixOnScreen(state, shown, window, ViewPlace::Opening);
    else
        ShowPlot(state, shown, window);
    if (source == AnalysisSource::Rerun || source == AnalysisSource::Append)
        WriteLastRun(state, window, workFolder);
    shown.windowState = WindowState::Analysis;
    ApplyControlStates(state, shown, window);
    if (session) {
        window.SetBusy(false);
        window.SetCaption(Control::lblProgress, "Done");
    }
    if (!fits) window.ShowMessage(LargeMatrixMessage(state, source));
}

}  // namespace kvr
