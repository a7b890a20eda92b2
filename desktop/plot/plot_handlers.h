// Showing the distribution plot in the main window, and its Save and Copy menu entries.
#pragma once

#include <string>

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// Draws the screen plot on the canvas at the viewport's size and shows it 1:1 (zoom level 0).
void ShowPlot(RunState& state, Window& window);

void OnPlotClicked(RunState& state, Window& window);  // cmdPlot
void OnSavePlotEmf(RunState& state, Window& window);  // mnuEMF2: name + "_plt.emf"
void OnSavePlotBmp(RunState& state, Window& window);  // mnuBMP2: the view, name + "_plt.bmp"
// mnuSVG2, mnuPDF2: the screen plot at the canvas's size, name + "_plt.svg" or "_plt.pdf".
void OnSavePlotVector(RunState& state, Window& window, PictureFormat format);
void OnCopyPlotBmp(Window& window);  // mnuCopyPlotBMP: the full-size canvas
void OnCopyPlotEmf(Window& window, const std::string& workFolder);  // mnuCopyPlotEMF

}  // namespace kvr
