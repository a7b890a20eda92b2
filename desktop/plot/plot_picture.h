// The distribution plot as a vector picture (EMF) of fixed size, 350 x 270 mm, in device units:
// written to the work folder after runs and session loads, and to files the user names.
#pragma once

#include <string>

#include "platform/drawing_surface.h"
#include "platform/window.h"
#include "plot/plot_scale.h"
#include "state/run_state.h"

namespace kvr {

inline constexpr const char* kPlotPictureName = "Identity_distribution_plot.emf";
inline constexpr int kPlotFrameWidth = 35000;  // hundredths of a millimetre
inline constexpr int kPlotFrameHeight = 27000;

// The drawing proper: axes, titles, green and black tick boxes, the curve with the black pen.
void DrawPlotPicture(const RunState& state, DrawingSurface& picture, CurveStart start);

// Draws the picture into a new EMF file at path; false when the file cannot be created.
bool WritePlotPictureFile(const RunState& state, const std::string& path, CurveStart start);

// Replaces the work folder's "Identity_distribution_plot.emf" (curve from the rounded minimum)
// and makes the view and the canvas visible.
std::string PlotPicturePath(const std::string& workFolder);
void WritePlotPicture(const RunState& state, Window& window, const std::string& workFolder);

}  // namespace kvr
