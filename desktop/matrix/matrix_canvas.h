// The matrix as drawn for the screen, in twips: the lower-left triangle of cells, the names along
// the left and (turned) below, and the colour key beside it, whole: the one key on screen.
#pragma once

#include <optional>

#include "platform/drawing_surface.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// Cell width A, height B and key offset K by the number of sequences. Beyond 500 sequences the
// cells shrink with n to a least size of two pixels.
struct ScreenCells {
    int width;
    int height;
    int keyOffset;
};
ScreenCells ScreenCellsFor(int n);

// The canvas size for the current matrix: the drawing's own extent, at least 3500 x 3100 twips,
// at least the viewport (a zero viewport adds nothing), and always room for the whole key in the
// canvas's font.
Size MatrixCanvasSize(const RunState& state, const DrawingSurface& canvas, Size viewport);

// The cell under a point of the drawn canvas (twips): the sequences of its column and its row in
// display order (column <= row), none off the triangle.
struct MatrixCell {
    int column = 0;
    int row = 0;
};
std::optional<MatrixCell> MatrixCellAt(const RunState& state, const DrawingSurface& canvas,
                                       double x, double y);

// Resizes the canvas (white) and draws the matrix and its key under the current ColourMode.
// The Palette of the mode must have been built. Names too long for 90 twips a character widen
// their margin; rows lower than a line of text carry no names, and the key says so.
void DrawMatrixCanvas(const RunState& state, DrawingSurface& canvas, Size viewport);

}  // namespace kvr
