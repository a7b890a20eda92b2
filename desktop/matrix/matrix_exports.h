// The matrix picture's Save and Copy menu entries: an EMF or BMP file the user names (the name
// as typed followed by "_mat.emf" or "_mat.bmp"), and the clipboard as bitmap or metafile.
#pragma once

#include <string>

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

void OnSaveMatrixEmf(RunState& state, Window& window);  // mnuEMF
void OnSaveMatrixBmp(RunState& state, Window& window);  // mnuBMP: the view at its present zoom
void OnCopyMatrixBmp(Window& window);                   // mnuCopyMatBMP: the full-size canvas
void OnCopyMatrixEmf(Window& window, const std::string& workFolder);  // mnuCopyMatEMF

// Picture exports share these steps with the plot's.
// The save dialog in lastFolder; "" when cancelled. A completed dialog moves lastFolder.
std::string AskPictureName(RunState& state, Window& window);
// Tells the user that a picture file could not be written; the status shows "Failed".
void ReportPictureNotWritten(Window& window, const std::string& path);
// Tells the user that the work-folder picture could not be put on the clipboard.
void ReportPictureNotCopied(Window& window, const std::string& path);

}  // namespace kvr
