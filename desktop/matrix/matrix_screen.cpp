#include "matrix/matrix_screen.h"

#include <memory>

#include "matrix/matrix_canvas.h"
#include "matrix/zoom.h"

namespace kvr {

namespace {

constexpr Size kKeyPanelSize{1815, 3855};  // twips, as the window design has it

}  // namespace

void DrawMatrixOnScreen(RunState& state, Window& window) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    // Laid out and coloured once; the window draws it by regions as the view shows them, long
    // after this analysis may have been replaced.
    const auto drawing = std::make_shared<const MatrixDrawing>(
        state, window.Canvas(Control::InnerPicture), Size{viewport.width, viewport.height});
    const int width = drawing->Width(), height = drawing->Height();
    window.SetCanvasDrawing(width, height, [drawing](DrawingSurface& s, const SurfaceBox& region) {
        drawing->Draw(s, region);
    });

    const Rect keyArea = window.Geometry(Control::keyPicture);
    const Size keySize = keyArea.width > 0 && keyArea.height > 0
                             ? Size{keyArea.width, keyArea.height}
                             : kKeyPanelSize;
    DrawKeyPanel(state, window.Canvas(Control::keyPicture), keySize);
    window.SetVisible(Control::keyPicture, true);

    window.SetVisible(Control::InnerPicture, false);
    if (state.zoomLevel != 0)
        window.ShowCanvasInView(true);  // the view keeps its zoomed size
    else
        ShowCanvasAtSize(window, width, height, false);

    if (viewport.height < height) window.SetEnabled(Control::VScroll1, true);
    if (viewport.width < width) window.SetEnabled(Control::HScroll1, true);
}

}  // namespace kvr
