// Zoom and scrolling of the matrix view. The view shows the matrix drawn at the zoom's cell size,
// a pixel of the drawing to a pixel of the screen, so that names and the key keep the size of
// text at every zoom; the window draws only the tiles that come into sight, so no zoom is too
// large for it. ZoomingPicture moves inside the viewport OuterPicture by the two scroll bars.
#pragma once

#include <optional>

#include "model/run_state.h"
#include "pictures/matrix_canvas.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

inline constexpr int kLargestCell = 40 * 15;  // twips: cells of 40 pixels at most

// A point of the drawing on view (twips), such as the one under the pointer.
struct ViewPoint {
    double x = 0;
    double y = 0;
};

// The cells at a zoom level: the picture's own at 0 (ScreenCellsFor), else a quarter of an octave
// larger or smaller a step, in whole pixels (whole twips below a pixel), at most kLargestCell
// wide, the height keeping the picture's proportion.
ScreenCells CellsAtZoom(int n, int level);
// The zoom as the status line says it: 100 at level 0.
int ZoomPercent(int n, int level);

// The next level up or down whose cells differ from those of level; level itself at the end.
int NextZoomLevel(int n, int level, int direction);

// The largest level at which the whole matrix, names included where they fit, lies in the
// viewport (its key then beside it or pinned in a corner).
int FitZoomLevel(const RunState& state, const DrawingSurface& fonts, Size viewport);

// The level a matrix opens at: its own (100 %), or, when its cells would be too small there to
// read anything (under four pixels), the level that fits it whole into the viewport.
int OpeningZoomLevel(const RunState& state, const DrawingSurface& fonts, Size viewport);

// Zoom steps, about the point under the pointer when there is one, else about the middle of the
// viewport, moved onto the triangle when it lies in the blank upper triangle or off the cells (the
// point then comes to the viewport's middle); each says the zoom in the status line. At a limit the
// step does nothing (the button is disabled then).
void OnZoomIn(RunState& state, WindowView& shown, Window& window,
              std::optional<ViewPoint> anchor = std::nullopt);
void OnZoomOut(RunState& state, WindowView& shown, Window& window,
               std::optional<ViewPoint> anchor = std::nullopt);
// The whole matrix in the viewport, and the picture's own size.
void OnZoomToFit(RunState& state, WindowView& shown, Window& window);
void OnZoomTo100(RunState& state, WindowView& shown, Window& window);
// Shows the matrix at a level, the anchor (a point of the drawing shown now) staying where it is
// on the screen, or the view moving to show the cell (column, row) when one is given.
void ShowZoomLevel(RunState& state, WindowView& shown, Window& window, int level,
                   std::optional<ViewPoint> anchor);

// The scroll bars follow the size of the view: disabled when the view fits the viewport in that
// direction, else enabled with the overhang as maximum and a small change of 100. The viewport's
// width is less the strip the pinned key takes (keyPicture, when shown), so that every cell can
// be scrolled into sight left of it.
void OnZoomingPictureResized(Window& window);
// Moves the view so that the point (x, y) of the drawing is at the viewport's top-left, as far as
// the scroll bars reach.
void ScrollViewTo(Window& window, double x, double y);

// Scroll value v shows the picture shifted by v twips. The frozen names (namesPicture) follow the
// view up and down and stay at the viewport's left edge while the cells scroll sideways.
void OnHorizontalScroll(Window& window);
void OnVerticalScroll(Window& window);

// A right click shows the Save menu, once for the plot entries and once for the matrix entries
// when they are enabled.
void OnPictureMouseDown(Window& window, bool rightButton);

// Moves the view to the viewport's top-left with the given size and stretches the canvas into it.
void ShowCanvasAtSize(Window& window, double width, double height, bool stretch);

}  // namespace kvr
