// The distribution plot as a vector picture (EMF) in device units: written to the work folder
// after runs and session loads, and to files the user names.
#pragma once

#include <functional>
#include <string>

#include "model/run_state.h"
#include "pictures/matrix_picture.h"
#include "pictures/plot_scale.h"
#include "platform/drawing_surface.h"

namespace kvr {

inline constexpr const char* kPlotPictureName = "Identity_distribution_plot.emf";
// The picture's frame in hundredths of a millimetre: the drawing and a 10-unit margin, at the
// reference device's 32 units to the centimetre (about 320 x 220 mm).
PictureFrame PlotPictureFrame(const RunState& state);

// The drawing proper: axes, titles, green and black tick boxes, the curve with the black pen.
// The fixed layout is moved down (and right, when labels with many decimals need it) so that
// every text lies inside; labels that would overprint another are left out.
void DrawPlotPicture(const RunState& state, DrawingSurface& picture);

// Draws the picture into a new EMF file at path, through ReplaceFile.
Result<void> WritePlotPictureFile(const RunState& state, const std::string& path);

// The work folder's "Identity_distribution_plot.emf".
std::string PlotPicturePath(const std::string& workFolder);

}  // namespace kvr
