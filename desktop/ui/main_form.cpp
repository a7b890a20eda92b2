#include "ui/main_form.h"

#include <unistd.h>

#include <algorithm>

#include "io/number_text.h"
#include "io/program_folder.h"
#include "io/settings.h"
#include "ui/alignment_viewer.h"
#include "ui/control_states.h"
#include "ui/decision_handlers.h"
#include "ui/display_handlers.h"
#include "ui/file_handlers.h"
#include "ui/layout.h"
#include "ui/matrix_screen.h"
#include "ui/matrix_selection.h"
#include "ui/open_handlers.h"
#include "ui/window_states.h"

namespace kvr {

MainForm::MainForm(RunState& runState, Window& mainWindow, Shell& processShell, std::string folder)
    : state(runState), window(mainWindow), shell(processShell), programFolder(std::move(folder)) {
    RegisterOpenHandlers(*this);
    RegisterMatrixHandlers(*this);
    RegisterPlotHandlers(*this);
    RegisterFileHandlers(*this);
    RegisterDecisionHandlers(*this);
}

bool MainForm::SaveSettings() {
    windowSettings.geometry = window.Geometry(Control::frmMainForm);
    return WriteSettings(state, programFolder, windowSettings);
}

std::string MainForm::WorkFolder() const {
    return kvr::WorkFolder(programFolder);
}

void MainForm::Load() {
    RunState fresh;
    fresh.choices.lastFolder = state.choices.lastFolder;
    ReadSettings(fresh, programFolder, &windowSettings);
    state = std::move(fresh);
    next.reset();

    // The window where the user left it, when that is still on the screen; else centred, 0.63 of
    // the screen's width and 0.85555 of its height, but never so small that a control is cut off.
    const Size screen = window.ScreenSize();
    // On a screen smaller than that, the screen is the limit.
    const Size fullLeast = MinimumMainWindowSize();
    const Size least{std::min(fullLeast.width, screen.width),
                     std::min(fullLeast.height, screen.height)};
    window.SetMinimumSize(Control::frmMainForm, least);
    const Rect& kept = windowSettings.geometry;
    const bool keptFits = kept.width >= least.width && kept.height >= least.height &&
                          kept.left >= 0 && kept.top >= 0 && kept.Right() <= screen.width &&
                          kept.Bottom() <= screen.height;
    if (keptFits) {
        window.SetGeometry(Control::frmMainForm, kept);
    } else {
        const double width = std::clamp(screen.width * 0.63, least.width, screen.width);
        const double height = std::clamp(screen.height * 0.85555, least.height, screen.height);
        window.SetGeometry(Control::frmMainForm, Rect{(screen.width - width) / 2,
                                                      (screen.height - height) / 2, width, height});
    }
    LayOutMainWindow(window, /*atStartUp=*/true);

    ApplyControlStates(state, shown, window);
    ShowEmptyView(window);
    window.SetRecentFiles(windowSettings.recentFiles);
    window.SetChecked(Control::mnuViridis, state.choices.paletteKind == kViridisPalette);

    window.SetCaption(Control::frmMainForm, kMainCaption);
    window.SetCaption(Control::cmdColourScheme, "3 colour mode");
    window.SetCaption(Control::lblCutoff1dsply, WholeText(state.cutoff1));
    window.SetCaption(Control::lblCutoff2dsply, WholeText(state.cutoff2));
    window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
}

namespace {

// Counts a handler in progress for as long as it runs.
class Handling {
  public:
    explicit Handling(int& depth) : depth_(depth) { ++depth_; }
    ~Handling() { --depth_; }
    Handling(const Handling&) = delete;
    Handling& operator=(const Handling&) = delete;

  private:
    int& depth_;
};

}  // namespace

bool MainForm::Working() const {
    return shown.windowState == WindowState::Busy || shown.windowState == WindowState::Running ||
           handling_ > 0;
}

void MainForm::OnClick(Control c) {
    if (!window.IsEnabled(c)) return;
    // While a file is read or written or a run works, the events its waits let through may only
    // leave the program or cancel: nothing else may touch the tables it reads.
    if (Working() && c != Control::mnuStop && c != Control::cmdCancel) return;
    if (const auto handler = clickHandlers.find(c); handler != clickHandlers.end()) {
        const Handling handling(handling_);
        handler->second();
    }
}

void MainForm::OnValueChanged(Control c, int value) {
    const bool cutoff = c == Control::updCutoff1 || c == Control::UpdCutoff2;
    if (shown.windowState == WindowState::Running || (cutoff && Working())) return;
    if (const auto handler = changeHandlers.find(c); handler != changeHandlers.end())
        handler->second(value);
}

void MainForm::OnFilesDropped(Control target, const std::vector<std::string>& paths) {
    if (!window.IsDropEnabled(target) || Working()) return;
    const Handling handling(handling_);
    DropFiles(*this, target, paths);
}

bool MainForm::MatrixOnView() const {
    return shown.ShowsAnalysis() && shown.view == AnalysisView::Matrix && state.FitsOnScreen();
}

void MainForm::OnPointerMoved(double x, double y) {
    if (x >= 0)
        pointer_ = ViewPoint{x, y};
    else
        pointer_.reset();
    // Over a drawn matrix the view tells the cell under the pointer, and nothing off its cells;
    // an empty view says what it takes.
    const std::string readout =
        MatrixOnView() && x >= 0 ? CellReadout(state, shown, x, y) : std::string();
    const std::string tip = !readout.empty()        ? readout
                            : shown.ShowsAnalysis() ? std::string()
                                                    : kDropToolTip;
    if (window.ToolTip(Control::ZoomingPicture) != tip)
        window.SetToolTip(Control::ZoomingPicture, tip);
}

void MainForm::OnCellOpened(double x, double y) {
    if (Working()) return;
    const Handling handling(handling_);
    OpenCellAlignment(*this, x, y);
}

void MainForm::OnOpenRecent(const std::string& path) {
    if (Working()) return;
    const Handling handling(handling_);
    OpenPath(*this, path);
}

void MainForm::OnFormClosed(Control form) {
    if (form == Control::frmOptions) OnOptionsClosed(*this);
}

void MainForm::OnResized() {
    LayOutMainWindow(window);
    // The key goes beside the matrix or into the corner as the new viewport allows.
    if (MatrixOnView() && !Working()) DrawMatrixOnScreen(state, shown, window, ViewPlace::Kept);
    if (shown.windowState == WindowState::Idle) ShowEmptyView(window);
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
