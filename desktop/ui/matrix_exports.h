// The matrix picture's Save and Copy menu entries: an EMF or BMP file the user names (the name
// as typed followed by "_mat.emf" or "_mat.bmp"), and the clipboard as bitmap or metafile.
#pragma once

#include <functional>
#include <string>

#include "io/file_io.h"
#include "model/run_state.h"
#include "platform/window.h"

namespace kvr {

void OnSaveMatrixEmf(RunState& state, Window& window);  // mnuEMF
// mnuBMP, mnuPNG: the view at its present zoom, name + suffix ("_mat.bmp", "_mat.png").
void OnSaveMatrixBmp(RunState& state, Window& window, const char* suffix);
// mnuSVG, mnuPDF: the full-size screen drawing as name + "_mat.svg" or "_mat.pdf".
void OnSaveMatrixVector(RunState& state, Window& window, PictureFormat format);
void OnCopyMatrixBmp(Window& window);  // mnuCopyMatBMP: the full-size canvas
void OnCopyMatrixEmf(const RunState& state, Window& window,
                     const std::string& workFolder);  // mnuCopyMatEMF

// Picture exports share these steps with the plot's.
// The save dialog in lastFolder; "" when cancelled. A completed dialog moves lastFolder.
std::string AskPictureName(RunState& state, Window& window, std::string_view suffix);
// Writes one picture file with the status text and the busy pointer around it; "Done" when it
// was written, else the user is told where and why and the status shows "Failed".
void SavePictureFile(Window& window, const char* status, const std::string& path,
                     const std::function<Result<void>(const std::string&)>& write);
// The outcome of a writer that only says whether it succeeded.
Result<void> PictureWritten(bool written);
// Writes an SVG or PDF picture where the window's platform can; else tells the user. The
// extension follows the suffix ("_mat" or "_plt").
void SaveVectorPicture(Window& window, const char* status, const std::string& name,
                       const char* suffix, PictureFormat format,
                       const std::function<void(DrawingSurface&)>& draw);
// Tells the user that the work-folder picture could not be put on the clipboard.
void ReportPictureNotCopied(Window& window, const std::string& path);

}  // namespace kvr
