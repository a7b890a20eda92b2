// What the pointer shows over a cell of the matrix on screen: both names, the identity and the
// cell's place.
#pragma once

#include <string>

#include "state/run_state.h"

namespace kvr {

// "Zea_mays_1 / Saccharomyces: 61.20 % (row 4, column 1)" for the cell under the canvas point
// (twips) of the matrix as last drawn; "" off the cells.
std::string CellReadout(const RunState& state, double x, double y);

}  // namespace kvr
