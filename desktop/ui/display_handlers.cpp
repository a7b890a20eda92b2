#include "ui/display_handlers.h"

#include "io/program_folder.h"
#include "ui/colour_controls.h"
#include "ui/main_form.h"
#include "ui/matrix_exports.h"
#include "ui/matrix_screen.h"
#include "ui/matrix_selection.h"
#include "ui/plot_handlers.h"
#include "ui/zoom.h"

namespace kvr {

void RegisterMatrixHandlers(MainForm& form) {
    RunState& state = form.state;
    WindowView& shown = form.shown;
    Window& window = form.window;
    const auto work = [&form] { return WorkFolder(form.programFolder); };

    form.clickHandlers[Control::cmdColourScheme] = [&, work] {
        OnColourSchemeClicked(state, shown, window, work());
    };
    form.clickHandlers[Control::mnuViridis] = [&, work] {
        OnViridisClicked(state, shown, window, work());
        form.SaveSettings();
    };
    form.clickHandlers[Control::mnuShowTree] = [&, work] {
        OnShowTreeClicked(state, shown, window, work());
    };
    form.clickHandlers[Control::cmdDrawMat] = [&, work] {
        OnDrawMatrixClicked(state, shown, window, work());
    };
    form.changeHandlers[Control::updCutoff1] = [&, work](int) {
        OnCutoff1Changed(state, shown, window, work());
    };
    form.changeHandlers[Control::UpdCutoff2] = [&, work](int) {
        OnCutoff2Changed(state, shown, window, work());
    };

    // Zoom steps keep the point under the pointer in place (Ctrl and the wheel over the view),
    // else the selected cell (the buttons and keys after a click or Find), else the middle of
    // the view.
    const auto anchor = [&form]() -> std::optional<ViewPoint> {
        if (const auto pointer = form.PointerOnView()) return pointer;
        const WindowView& view = form.shown;
        if (!HasSelection(form.state, view)) return std::nullopt;
        const CellGrid& grid = view.drawnCells;
        return ViewPoint{grid.left + (view.selectedColumn + 0.5) * grid.cellWidth,
                         (view.selectedRow + 0.5) * grid.cellHeight};
    };
    form.clickHandlers[Control::cmdZoomIn] = [&, anchor] {
        OnZoomIn(state, shown, window, anchor());
    };
    form.clickHandlers[Control::cmdZoomOut] = [&, anchor] {
        OnZoomOut(state, shown, window, anchor());
    };
    form.clickHandlers[Control::mnuZoomFit] = [&] { OnZoomToFit(state, shown, window); };
    form.clickHandlers[Control::mnuZoom100] = [&] { OnZoomTo100(state, shown, window); };
    form.clickHandlers[Control::mnuFind] = [&] {
        OnFindClicked(state, shown, window, form.lastFind);
    };
    form.clickHandlers[Control::mnuCopyCell] = [&] { OnCopyCellClicked(state, shown, window); };
    form.pictureResizeHandlers[Control::ZoomingPicture] = [&] { OnZoomingPictureResized(window); };
    form.changeHandlers[Control::HScroll1] = [&](int) { OnHorizontalScroll(window); };
    form.changeHandlers[Control::VScroll1] = [&](int) { OnVerticalScroll(window); };
    form.mouseDownHandlers[Control::OuterPicture] = [&](bool right) {
        OnPictureMouseDown(window, right);
    };
    form.mouseDownHandlers[Control::ZoomingPicture] = [&](bool right) {
        const std::optional<ViewPoint> at = form.PointerOnView();
        if (!right && at && form.MatrixOnView())
            OnMatrixClicked(state, shown, window, at->x, at->y);
        OnPictureMouseDown(window, right);
    };

    form.clickHandlers[Control::mnuEMF] = [&] { OnSaveMatrixEmf(state, window); };
    form.clickHandlers[Control::mnuBMP] = [&] { OnSaveMatrixBmp(state, window, "_mat.bmp"); };
    form.clickHandlers[Control::mnuPNG] = [&] { OnSaveMatrixBmp(state, window, "_mat.png"); };
    form.clickHandlers[Control::mnuSVG] = [&] {
        OnSaveMatrixVector(state, window, PictureFormat::Svg);
    };
    form.clickHandlers[Control::mnuPDF] = [&] {
        OnSaveMatrixVector(state, window, PictureFormat::Pdf);
    };
    form.clickHandlers[Control::mnuCopyMatBMP] = [&] { OnCopyMatrixBmp(window); };
    form.clickHandlers[Control::mnuCopyMatEMF] = [&, work] {
        OnCopyMatrixEmf(state, window, work());
    };
}

void RegisterPlotHandlers(MainForm& form) {
    RunState& state = form.state;
    WindowView& shown = form.shown;
    Window& window = form.window;
    form.clickHandlers[Control::cmdPlot] = [&] { OnPlotClicked(state, shown, window); };
    form.clickHandlers[Control::mnuEMF2] = [&] { OnSavePlotEmf(state, window); };
    form.clickHandlers[Control::mnuBMP2] = [&] { OnSavePlotBmp(state, window, "_plt.bmp"); };
    form.clickHandlers[Control::mnuPNG2] = [&] { OnSavePlotBmp(state, window, "_plt.png"); };
    form.clickHandlers[Control::mnuSVG2] = [&] {
        OnSavePlotVector(state, shown, window, PictureFormat::Svg);
    };
    form.clickHandlers[Control::mnuPDF2] = [&] {
        OnSavePlotVector(state, shown, window, PictureFormat::Pdf);
    };
    form.clickHandlers[Control::mnuCopyPlotBMP] = [&] { OnCopyPlotBmp(window); };
    form.clickHandlers[Control::mnuCopyPlotEMF] = [&form] {
        OnCopyPlotEmf(form.window, WorkFolder(form.programFolder));
    };
}

}  // namespace kvr
