// The distribution plot as drawn for the screen, in twips, scaled to the view: proportion of
// pairs against percentage identity, green marks every 5 %, the curve in red.
#pragma once

#include "model/run_state.h"
#include "platform/drawing_surface.h"
#include "platform/geometry.h"

namespace kvr {

inline constexpr const char* kProportionTitle = "Proportion of pairwise identities";

// Resizes the canvas (white) to size and draws the plot of BinArray over it.
void ScreenPlot(const RunState& state, DrawingSurface& canvas, Size size);

// The plot of one analysis at one size, with its own copy of what it shows (the identity range
// and the histogram), so that a window can draw it again at any pixel density after the analysis
// has been replaced.
class PlotDrawing {
  public:
    PlotDrawing(const RunState& state, Size size);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Draw(DrawingSurface& surface) const;  // the whole plot; the surface clips

  private:
    RunState plotted_;
    int width_, height_;
};

}  // namespace kvr
