// The distribution plot as drawn for the screen, in twips, scaled to the view: proportion of
// pairs against percentage identity, green marks every 5 %, the curve in red.
#pragma once

#include "platform/drawing_surface.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

inline constexpr const char* kProportionTitle = "Proportion of pairwise identities";

// Resizes the canvas (white) to size and draws the plot of BinArray over it.
void ScreenPlot(const RunState& state, DrawingSurface& canvas, Size size);

}  // namespace kvr
