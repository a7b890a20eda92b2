// What the pointer shows over a cell of the matrix on screen: both names, the identity and the
// cell's place.
#pragma once

#include <string>

#include "platform/drawing_surface.h"
#include "state/run_state.h"

namespace kvr {

// "Zea_mays_1 / Saccharomyces: 61.20 % (row 4, column 1)" for the cell under the canvas point
// (twips) of the drawn matrix; "" off the cells.
std::string CellReadout(const RunState& state, const DrawingSurface& canvas, double x, double y);

}  // namespace kvr
