#include "ui/plot_handlers.h"

#include <memory>

#include "io/program_folder.h"
#include "pictures/plot_picture.h"
#include "pictures/screen_plot.h"
#include "ui/control_states.h"
#include "ui/matrix_exports.h"
#include "ui/matrix_screen.h"
#include "ui/save_dialog.h"
#include "ui/zoom.h"

namespace kvr {

namespace {

constexpr const char* kSaving = "Saving the plot ...";

}  // namespace

void ShowPlot(RunState& state, WindowView& shown, Window& window) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    for (Control bar : {Control::VScroll1, Control::HScroll1}) {
        window.SetValue(bar, 0);
        window.SetEnabled(bar, false);
    }
    // Drawn by the window as its view needs it, so that the plot is sharp at any pixel density.
    const auto plot =
        std::make_shared<const PlotDrawing>(state, Size{viewport.width, viewport.height});
    const int width = plot->Width(), height = plot->Height();
    shown.shownPlot = SurfaceBox{0, 0, width, height};
    window.SetCanvasDrawing(width, height,
                            [plot](DrawingSurface& s, const SurfaceBox&) { plot->Draw(s); });
    window.SetVisible(Control::InnerPicture, false);
    ShowCanvasAtSize(window, width, height, false);
    shown.zoomLevel = 0;
}

void OnPlotClicked(RunState& state, WindowView& shown, Window& window) {
    window.SetCaption(Control::lblProgress, "Ploting the scores ...");
    window.SetBusy(true);
    shown.view = AnalysisView::Plot;
    ApplyControlStates(state, shown, window);
    ShowPlot(state, shown, window);
    window.SetBusy(false);
    window.SetCaption(Control::lblProgress, "Done");
}

void OnSavePlotEmf(RunState& state, Window& window) {
    const std::string name = AskPictureName(state, window, "_plt.emf");
    if (name.empty()) return;
    SavePictureFile(
        window, kSaving, WithSuffix(name, "_plt.emf"),
        [&state](const std::string& path) { return WritePlotPictureFile(state, path); });
}

void OnSavePlotBmp(RunState& state, Window& window, const char* suffix) {
    const std::string name = AskPictureName(state, window, suffix);
    if (name.empty()) return;
    SavePictureFile(window, kSaving, WithSuffix(name, suffix), [&window](const std::string& path) {
        return PictureWritten(window.SaveViewBitmap(path));
    });
}

void OnSavePlotVector(RunState& state, WindowView& shown, Window& window, PictureFormat format) {
    const std::string name =
        AskPictureName(state, window, format == PictureFormat::Svg ? "_plt.svg" : "_plt.pdf");
    if (name.empty()) return;
    const Size size{static_cast<double>(shown.shownPlot.right),
                    static_cast<double>(shown.shownPlot.bottom)};
    SaveVectorPicture(
        window, kSaving, name, "_plt", format,
        [&state, size](DrawingSurface& picture) { ScreenPlot(state, picture, size); });
}

void OnCopyPlotBmp(Window& window) {
    window.CopyCanvasBitmap(Control::InnerPicture);
}

void OnCopyPlotEmf(Window& window, const std::string& workFolder) {
    const std::string path = PlotPicturePath(workFolder);
    if (!window.CopyMetafile(path)) ReportPictureNotCopied(window, path);
}

void WritePlotPicture(const RunState& state, Window& window, const std::string& workFolder) {
    const std::string path = PlotPicturePath(workFolder);
    WritePlotPictureFile(state, path);
    window.SetVisible(Control::ZoomingPicture, true);
    window.SetVisible(Control::InnerPicture, true);
}

}  // namespace kvr
