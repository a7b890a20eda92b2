// The alignment behind a cell of the matrix: a double-click (or Enter) on a cell aligns its two
// sequences on demand with the analysis's aligner and opens a viewer of their alignment.
#pragma once

#include "ui/main_form.h"

namespace kvr {

// Opens the viewer of the cell under the canvas point (twips) of the matrix on display; does
// nothing off the cells, on the diagonal, or when no matrix is on display.
void OpenCellAlignment(MainForm& form, double x, double y);

}  // namespace kvr
