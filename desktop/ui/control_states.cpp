#include "ui/control_states.h"

#include <initializer_list>

namespace kvr {

namespace {

void SetEnabled(Window& window, std::initializer_list<Control> controls, bool enabled) {
    for (Control c : controls) window.SetEnabled(c, enabled);
}

}  // namespace

void ApplyControlStates(const RunState& state, const WindowView& shown, Window& window) {
    const WindowState s = shown.windowState;
    const bool working = s == WindowState::Busy || s == WindowState::Running;
    const bool analysis = s == WindowState::Analysis;
    const bool matrixView = analysis && shown.view == AnalysisView::Matrix;
    const bool plotView = analysis && shown.view == AnalysisView::Plot;
    const bool drawn = matrixView && state.FitsOnScreen();
    // A matrix that is never drawn is saved instead, whatever the view.
    const bool matrixFiles = matrixView || (analysis && !state.FitsOnScreen());

    window.SetEnabled(Control::mnuOpenFile, !working);
    window.SetDropEnabled(Control::frmMainForm, !working);
    window.SetDropEnabled(Control::ZoomingPicture, !working);
    window.SetEnabled(Control::mnuStop, true);
    window.SetVisible(Control::cmdCancel, s == WindowState::Running);
    window.SetEnabled(Control::cmdCancel, s == WindowState::Running);

    SetEnabled(window,
               {Control::mnuSave, Control::mnuSaveSession, Control::mnuColumn, Control::mnuRerun,
                Control::mnuAppend},
               analysis);
    SetEnabled(window, {Control::mnuSaveGroups, Control::mnuGroups, Control::mnuProperties},
               analysis);
    window.SetEnabled(Control::mnuSaveTree, analysis && state.KeepsTree());
    window.SetEnabled(Control::mnuShowTree, drawn && state.KeepsTree());
    window.SetChecked(Control::mnuShowTree, state.choices.showTree);
    SetEnabled(window, {Control::mnuSaveSimScore, Control::mnuSaveMatrix}, matrixFiles);
    window.SetEnabled(Control::mnuCopyMat, drawn);
    window.SetEnabled(Control::mnuBMP, drawn);  // the view's picture: only while it is the matrix
    SetEnabled(window, {Control::mnuSavePlot, Control::mnuCopyPlot}, plotView);
    if (plotView)
        SetEnabled(window, {Control::mnuBMP2, Control::mnuPNG2, Control::mnuSVG2, Control::mnuPDF2},
                   true);

    window.SetEnabled(Control::cmdDrawMat, plotView);
    window.SetEnabled(Control::cmdPlot, matrixView);
    SetEnabled(window,
               {Control::cmdColourScheme, Control::mnuZoomFit, Control::mnuZoom100,
                Control::mnuFind, Control::mnuCopyCell},
               drawn);
    // As far as the zoom can go: the limit shows as a disabled button.
    window.SetEnabled(Control::cmdZoomIn, drawn && shown.drawnCells.canZoomIn);
    window.SetEnabled(Control::cmdZoomOut, drawn && shown.drawnCells.canZoomOut);
    SetEnabled(window,
               {Control::lblCutoff1, Control::updCutoff1, Control::lblCutoff1dsply,
                Control::lblCutoff2, Control::UpdCutoff2, Control::lblCutoff2dsply},
               drawn && state.choices.ColourMode == kThreeColour);
    if (!drawn) SetEnabled(window, {Control::VScroll1, Control::HScroll1}, false);
    // The key's panel belongs to the matrix on view (DrawMatrixOnScreen shows it when needed).
    if (!drawn) window.SetVisible(Control::keyPicture, false);
    if (!drawn) window.SetVisible(Control::namesPicture, false);
}

void BlankMatrixView(Window& window) {
    window.BlankPicture(Control::InnerPicture);
    window.ShowCanvasInView(false);
    Rect view = window.Geometry(Control::ZoomingPicture);
    const Rect outer = window.Geometry(Control::OuterPicture);
    view.width = outer.width;
    view.height = outer.height;
    window.SetGeometry(Control::ZoomingPicture, view);
}

void EnterAwaitingRunState(RunState& state, WindowView& shown, Window& window) {
    shown.windowState = WindowState::AwaitingRun;
    ApplyControlStates(state, shown, window);
    BlankMatrixView(window);
}

void ResetAfterLoadFailure(RunState& state, WindowView& shown, Window& window) {
    shown.windowState = WindowState::Idle;
    ApplyControlStates(state, shown, window);
    window.SetCaption(Control::lblProgress, "Failed");
    BlankMatrixView(window);
    window.SetValue(Control::ProgressBar1, 0);
}

void CentreForm(Window& window, Control form) {
    const Size screen = window.ScreenSize();
    Rect geometry = window.Geometry(form);
    geometry.top = (screen.height - geometry.height) / 2;
    geometry.left = (screen.width - geometry.width) / 2;
    window.SetGeometry(form, geometry);
}

}  // namespace kvr
