#include "matrix/matrix_screen.h"

#include <memory>

#include "matrix/matrix_canvas.h"
#include "matrix/zoom.h"

namespace kvr {

void DrawMatrixOnScreen(RunState& state, Window& window) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    // Laid out and coloured once; the window draws it by regions as the view shows them, long
    // after this analysis may have been replaced.
    const auto drawing = std::make_shared<const MatrixDrawing>(
        state, window.Canvas(Control::InnerPicture), Size{viewport.width, viewport.height});
    const int width = drawing->Width(), height = drawing->Height();
    state.drawnCells = drawing->Cells();
    window.SetCanvasDrawing(width, height, [drawing](DrawingSurface& s, const SurfaceBox& region) {
        drawing->Draw(s, region);
    });

    window.SetVisible(Control::InnerPicture, false);
    if (state.zoomLevel != 0)
        window.ShowCanvasInView(true);  // the view keeps its zoomed size
    else
        ShowCanvasAtSize(window, width, height, false);

    if (viewport.height < height) window.SetEnabled(Control::VScroll1, true);
    if (viewport.width < width) window.SetEnabled(Control::HScroll1, true);
}

}  // namespace kvr
