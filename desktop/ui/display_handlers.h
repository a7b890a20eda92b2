// Connects the matrix display's and the plot's handlers to the main window's controls: colour
// mode, cut-offs, matrix and plot buttons, zoom, scroll bars, the picture's context menu, and the
// picture entries of the Save and Copy menus.
#pragma once

namespace kvr {

class MainForm;

void RegisterMatrixHandlers(MainForm& form);
void RegisterPlotHandlers(MainForm& form);

}  // namespace kvr
