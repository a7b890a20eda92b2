#include "matrix/zoom.h"

#include <cmath>

namespace kvr {

namespace {

constexpr double kZoomInLimit = 31700;  // twips
constexpr double kZoomOutLimit = 500;   // twips

// One direction of the scroll-bar rule.
void FitScrollBar(Window& window, Control bar, double viewSize, double viewportSize) {
    if (viewSize <= viewportSize) {
        window.SetEnabled(bar, false);
        return;
    }
    const float overhang = static_cast<float>(viewSize - viewportSize);
    window.SetMaximum(bar, static_cast<int>(std::nearbyint(overhang)));
    window.SetEnabled(bar, true);
    window.SetSmallChange(bar, 100);
}

}  // namespace

void ShowCanvasAtSize(Window& window, double width, double height, bool stretch) {
    window.SetGeometry(Control::ZoomingPicture, Rect{0, 0, width, height});
    // The view is back in the corner; the scroll bars say so too.
    window.SetValue(Control::HScroll1, 0);
    window.SetValue(Control::VScroll1, 0);
    window.ShowCanvasInView(stretch);
    OnZoomingPictureResized(window);
}

void OnZoomIn(RunState& state, Window& window) {
    const Rect view = window.Geometry(Control::ZoomingPicture);
    if (view.width * 1.05 >= kZoomInLimit) {
        window.ShowMessage(kZoomInRefused);
        return;
    }
    ShowCanvasAtSize(window, view.width / 0.95, view.height / 0.95, true);
    ++state.zoomLevel;
}

void OnZoomOut(RunState& state, Window& window) {
    const Rect view = window.Geometry(Control::ZoomingPicture);
    if (view.width * 0.95 > kZoomOutLimit || view.height * 0.95 > kZoomOutLimit) {
        ShowCanvasAtSize(window, view.width * 0.95, view.height * 0.95, true);
        --state.zoomLevel;
        return;
    }
    window.ShowMessage(kZoomOutRefused);
}

void OnZoomingPictureResized(Window& window) {
    const Rect view = window.Geometry(Control::ZoomingPicture);
    const Rect viewport = window.Geometry(Control::OuterPicture);
    FitScrollBar(window, Control::VScroll1, view.height, viewport.height);
    FitScrollBar(window, Control::HScroll1, view.width, viewport.width);
}

void OnHorizontalScroll(Window& window) {
    Rect view = window.Geometry(Control::ZoomingPicture);
    view.left = -window.Value(Control::HScroll1);
    window.SetGeometry(Control::ZoomingPicture, view);
}

void OnVerticalScroll(Window& window) {
    Rect view = window.Geometry(Control::ZoomingPicture);
    view.top = -window.Value(Control::VScroll1);
    window.SetGeometry(Control::ZoomingPicture, view);
}

void OnPictureMouseDown(Window& window, bool rightButton) {
    if (!rightButton) return;
    if (window.IsEnabled(Control::mnuSavePlot)) window.PopUpMenu(Control::mnuSave);
    if (window.IsEnabled(Control::mnuSaveMatrix)) window.PopUpMenu(Control::mnuSave);
}

}  // namespace kvr
