#include "matrix/matrix_screen.h"

#include "matrix/matrix_canvas.h"
#include "matrix/zoom.h"

namespace kvr {

void DrawMatrixOnScreen(RunState& state, Window& window) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    DrawingSurface& canvas = window.Canvas(Control::InnerPicture);
    DrawMatrixCanvas(state, canvas, Size{viewport.width, viewport.height});

    window.SetVisible(Control::InnerPicture, false);
    if (state.zoomLevel != 0)
        window.ShowCanvasInView(true);  // the view keeps its zoomed size
    else
        ShowCanvasAtSize(window, canvas.Width(), canvas.Height(), false);

    if (viewport.height < canvas.Height()) window.SetEnabled(Control::VScroll1, true);
    if (viewport.width < canvas.Width()) window.SetEnabled(Control::HScroll1, true);
}

}  // namespace kvr
