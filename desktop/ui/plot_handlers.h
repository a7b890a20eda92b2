// Showing the distribution plot in the main window, and its Save and Copy menu entries.
#pragma once

#include <string>

#include "model/run_state.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

// Draws the screen plot on the canvas at the viewport's size and shows it 1:1 (zoom level 0).
void ShowPlot(RunState& state, WindowView& shown, Window& window);

void OnPlotClicked(RunState& state, WindowView& shown, Window& window);  // cmdPlot
void OnSavePlotEmf(RunState& state, Window& window);  // mnuEMF2: name + "_plt.emf"
// mnuBMP2, mnuPNG2: the view, name + suffix ("_plt.bmp", "_plt.png").
void OnSavePlotBmp(RunState& state, Window& window, const char* suffix);
// mnuSVG2, mnuPDF2: the screen plot at the canvas's size, name + "_plt.svg" or "_plt.pdf".
void OnSavePlotVector(RunState& state, WindowView& shown, Window& window, PictureFormat format);
void OnCopyPlotBmp(Window& window);  // mnuCopyPlotBMP: the full-size canvas
void OnCopyPlotEmf(Window& window, const std::string& workFolder);  // mnuCopyPlotEMF

// Replaces the work folder's "Identity_distribution_plot.emf" and makes the view and the canvas
// visible.
void WritePlotPicture(const RunState& state, Window& window, const std::string& workFolder);

}  // namespace kvr
