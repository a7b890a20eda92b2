// Drawing the matrix on screen: the full-size canvas InnerPicture, key included, and the view
// ZoomingPicture at 1:1 or at the present zoom.
#pragma once

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// Draws the current matrix under the current ColourMode (Palette built by the caller) into the
// canvas and the key panel and shows them: 1:1 at zoom level 0, else stretched into the present
// view, with the scroll bars the canvas needs. Callers check FitsOnScreen first and set the other
// controls from the window's state.
void DrawMatrixOnScreen(RunState& state, Window& window);

}  // namespace kvr
