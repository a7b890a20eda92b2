#include "shell/main_form.h"

#include <unistd.h>

#include "files/settings.h"
#include "matrix/layout.h"
#include "shell/display_handlers.h"
#include "shell/file_handlers.h"
#include "shell/open_handlers.h"
#include "state/control_states.h"
#include "state/number_text.h"
#include "state/program_folder.h"

namespace kvr {

MainForm::MainForm(RunState& runState, Window& mainWindow, Shell& processShell, std::string folder)
    : state(runState), window(mainWindow), shell(processShell), programFolder(std::move(folder)) {
    RegisterOpenHandlers(*this);
    RegisterMatrixHandlers(*this);
    RegisterPlotHandlers(*this);
    RegisterFileHandlers(*this);
}

std::string MainForm::WorkFolder() const {
    return kvr::WorkFolder(programFolder);
}

void MainForm::Load() {
    ReadSettings(state, programFolder);

    const Size screen = window.ScreenSize();
    const double height = screen.height * 0.85555;
    const double width = screen.width * 0.63;
    window.SetGeometry(Control::frmMainForm, Rect{(screen.width - width) / 2,
                                                  (screen.height - height) / 2, width, height});
    LayOutMainWindow(window, /*atStartUp=*/true);

    for (Control c : {Control::VScroll1,        Control::HScroll1,        Control::cmdDrawMat,
                      Control::cmdPlot,         Control::cmdZoomIn,       Control::cmdZoomOut,
                      Control::cmdColourScheme, Control::mnuSaveSimScore, Control::mnuSave,
                      Control::mnuSaveMatrix,   Control::mnuSavePlot,     Control::mnuCopyMat,
                      Control::mnuCopyPlot,     Control::mnuSaveSession,  Control::lblCutoff1,
                      Control::updCutoff1,      Control::lblCutoff1dsply, Control::lblCutoff2,
                      Control::UpdCutoff2,      Control::lblCutoff2dsply, Control::mnuRerun,
                      Control::mnuAppend})
        window.SetEnabled(c, false);
    window.SetEnabled(Control::mnuOpenFile, true);
    window.SetEnabled(Control::mnuStop, true);
    window.SetVisible(Control::cmdCancel, false);
    SetOpeningEnabled(window, true);

    const std::string lastFolder = state.lastFolder;
    state = RunState{};
    state.lastFolder = lastFolder;

    window.SetCaption(Control::frmMainForm, kMainCaption);
    window.SetCaption(Control::cmdColourScheme, "3 colour mode");
    window.SetCaption(Control::lblCutoff1dsply, WholeText(state.cutoff1));
    window.SetCaption(Control::lblCutoff2dsply, WholeText(state.cutoff2));
    window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
}

void MainForm::OnClick(Control c) {
    if (!window.IsEnabled(c)) return;
    // While a run works, only leaving the program is possible: nothing may change its tables.
    if (state.runInProgress && c != Control::mnuStop && c != Control::cmdCancel) return;
    if (const auto handler = clickHandlers.find(c); handler != clickHandlers.end())
        handler->second();
}

void MainForm::OnValueChanged(Control c, int value) {
    if (state.runInProgress) return;
    if (const auto handler = changeHandlers.find(c); handler != changeHandlers.end())
        handler->second(value);
}

void MainForm::OnFilesDropped(Control target, const std::vector<std::string>& paths) {
    if (!window.IsDropEnabled(target) || state.runInProgress) return;
    DropFiles(*this, target, paths);
}

void MainForm::OnResized() {
    LayOutMainWindow(window);
}

void MainForm::OnPictureResized(Control picture) {
    if (const auto handler = pictureResizeHandlers.find(picture);
        handler != pictureResizeHandlers.end())
        handler->second();
}

void MainForm::OnMouseDown(Control c, bool rightButton) {
    if (const auto handler = mouseDownHandlers.find(c); handler != mouseDownHandlers.end())
        handler->second(rightButton);
}

bool MainForm::OnCloseRequested() {
    return ConfirmExit(*this);
}

}  // namespace kvr
