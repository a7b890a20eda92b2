// Connects the matrix display's handlers to the main window's controls.
#pragma once

namespace kvr {

class MainForm;

// Colour mode, cut-offs, matrix button, zoom, scroll bars, the picture's context menu, and the
// matrix entries of the Save and Copy menus.
void RegisterMatrixHandlers(MainForm& form);

}  // namespace kvr
