#include "state/control_states.h"

namespace kvr {

namespace {

constexpr Control kAnalysisControls[] = {
    Control::VScroll1,        Control::HScroll1,        Control::cmdDrawMat,
    Control::cmdPlot,         Control::cmdZoomIn,       Control::cmdZoomOut,
    Control::cmdColourScheme, Control::mnuSaveSimScore, Control::mnuSaveMatrix,
    Control::mnuSavePlot,     Control::mnuCopyMat,      Control::mnuCopyPlot,
    Control::mnuSaveSession,  Control::mnuSave,         Control::mnuAppend,
    Control::mnuRerun,        Control::lblCutoff1,      Control::updCutoff1,
    Control::lblCutoff1dsply, Control::lblCutoff2,      Control::lblCutoff2dsply,
};

}  // namespace

void DisableAnalysisControls(Window& window) {
    for (Control c : kAnalysisControls) window.SetEnabled(c, false);
    window.SetVisible(Control::keyPicture, false);
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

void EnterAwaitingRunState(Window& window) {
    DisableAnalysisControls(window);
    BlankMatrixView(window);
}

ControlSnapshot::ControlSnapshot(const Window& window)
    : dropOnWindow_(window.IsDropEnabled(Control::frmMainForm)),
      dropOnView_(window.IsDropEnabled(Control::ZoomingPicture)) {
    for (int k = 0; k < kControlCount; ++k) {
        enabled_[k] = window.IsEnabled(static_cast<Control>(k));
        visible_[k] = window.IsVisible(static_cast<Control>(k));
    }
}

void ControlSnapshot::Restore(Window& window) const {
    for (int k = 0; k < kControlCount; ++k) {
        const auto c = static_cast<Control>(k);
        if (window.IsEnabled(c) != enabled_[k]) window.SetEnabled(c, enabled_[k]);
        if (window.IsVisible(c) != visible_[k]) window.SetVisible(c, visible_[k]);
    }
    window.SetDropEnabled(Control::frmMainForm, dropOnWindow_);
    window.SetDropEnabled(Control::ZoomingPicture, dropOnView_);
}

void CentreForm(Window& window, Control form) {
    const Size screen = window.ScreenSize();
    Rect geometry = window.Geometry(form);
    geometry.top = (screen.height - geometry.height) / 2;
    geometry.left = (screen.width - geometry.width) / 2;
    window.SetGeometry(form, geometry);
}

void SetOpeningEnabled(Window& window, bool enabled) {
    window.SetEnabled(Control::mnuOpenFile, enabled);
    window.SetDropEnabled(Control::frmMainForm, enabled);
    window.SetDropEnabled(Control::ZoomingPicture, enabled);
}

void ResetAfterLoadFailure(Window& window) {
    SetOpeningEnabled(window, true);
    window.SetCaption(Control::lblProgress, "Failed");
    BlankMatrixView(window);
    window.SetValue(Control::ProgressBar1, 0);
    DisableAnalysisControls(window);
}

}  // namespace kvr
