// Zoom and scrolling of the picture view: ZoomingPicture shows the full-size canvas 1:1 or
// stretched, inside the viewport OuterPicture, moved by the two scroll bars. The Save menu also
// pops up on a right click on the picture.
#pragma once

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

inline constexpr const char* kZoomInRefused = "Sorry you cannot zoom in any further.";
inline constexpr const char* kZoomOutRefused = "Sorry you cannot zoom out any further.";

// About 5 % larger (size / 0.95), refused once the width times 1.05 reaches 31700 twips.
void OnZoomIn(RunState& state, Window& window);
// 5 % smaller (size x 0.95), while either side stays above 500 twips.
void OnZoomOut(RunState& state, Window& window);

// The scroll bars follow the size of the view: disabled when the view fits the viewport in that
// direction, else enabled with the overhang as maximum and a small change of 100.
void OnZoomingPictureResized(Window& window);

// Scroll value v shows the picture shifted by v twips.
void OnHorizontalScroll(Window& window);
void OnVerticalScroll(Window& window);

// A right click shows the Save menu, once for the plot entries and once for the matrix entries
// when they are enabled.
void OnPictureMouseDown(Window& window, bool rightButton);

// Moves the view to the viewport's top-left with the given size and stretches the canvas into it.
void ShowCanvasAtSize(Window& window, double width, double height, bool stretch);

}  // namespace kvr
