// Drawing the matrix on screen: the canvas InnerPicture holds the picture at its own size with its
// key (what the clipboard and bitmap files get); the view ZoomingPicture shows the matrix at the
// present zoom, its key beside it when all of it is in sight, else on a strip of its own at the
// viewport's right (keyPicture) that the view scrolls clear of, so that it covers no cell. When
// the cells scroll sideways the names stay at the viewport's left (namesPicture).
#pragma once

#include "model/run_state.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

// Where the view goes: back to the top-left corner (a new colouring), kept where it was (a
// resized window, a zoom that places it afterwards), or to the corner at the zoom a new matrix
// opens at (OpeningZoomLevel).
enum class ViewPlace { Corner, Kept, Opening };

// Draws the current matrix under the current ColourMode (Palette built by the caller) at the
// zoom level, with the scroll bars the view needs and the zoom buttons enabled as far as the
// zoom can go (WindowView::drawnCells says so for the control states). Callers check FitsOnScreen
// first and set the other controls from the window's state.
void DrawMatrixOnScreen(const RunState& state, WindowView& shown, Window& window,
                        ViewPlace place = ViewPlace::Corner);

inline constexpr const char* kEmptyViewHint =
    "Open a FASTA file or a KVR session (Open, Ctrl+O), or drop one here";

// The view with nothing to show: white, the viewport's size, saying how to begin.
void ShowEmptyView(Window& window);

// A cell is selected (WindowView::selectedRow, selectedColumn) and lies in the matrix.
bool HasSelection(const RunState& state, const WindowView& shown);
// Marks the selected cell's row and column, names included, on the view (every drawing does);
// clears the marks when there is none.
void MarkSelection(const RunState& state, const WindowView& shown, Window& window);

}  // namespace kvr
