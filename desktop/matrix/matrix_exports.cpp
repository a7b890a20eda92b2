#include "matrix/matrix_exports.h"

#include "matrix/matrix_picture.h"
#include "matrix/palette.h"
#include "state/program_folder.h"

namespace kvr {

namespace {

constexpr const char* kSaving = "Saving the matrix ...";

// Runs one save: status and busy pointer around it, the outcome reported.
template <typename Write>
void SavePicture(Window& window, const char* status, const std::string& path, Write write) {
    window.SetCaption(Control::lblProgress, status);
    window.SetBusy(true);
    const bool written = write(path);
    window.SetBusy(false);
    if (written) window.SetCaption(Control::lblProgress, "Done");
    else ReportPictureNotWritten(window, path);
}

}  // namespace

std::string AskPictureName(RunState& state, Window& window) {
    std::string name = window.SaveFileDialog(state.lastFolder);
    if (!name.empty()) state.lastFolder = CurrentDirectory();
    return name;
}

void ReportPictureNotWritten(Window& window, const std::string& path) {
    window.SetCaption(Control::lblProgress, "Failed");
    window.ShowMessage("The picture could not be written to " + path + ".");
}

void ReportPictureNotCopied(Window& window, const std::string& path) {
    window.ShowMessage("The picture " + path + " could not be put on the clipboard.");
}

void OnSaveMatrixEmf(RunState& state, Window& window) {
    BuildPalette(state);
    const std::string name = AskPictureName(state, window);
    if (name.empty()) return;
    SavePicture(window, kSaving, name + "_mat.emf",
                [&state](const std::string& path) { return WriteMatrixPictureFile(state, path); });
}

void OnSaveMatrixBmp(RunState& state, Window& window) {
    const std::string name = AskPictureName(state, window);
    if (name.empty()) return;
    SavePicture(window, kSaving, name + "_mat.bmp",
                [&window](const std::string& path) { return window.SaveViewBitmap(path); });
}

void OnCopyMatrixBmp(Window& window) { window.CopyCanvasBitmap(Control::InnerPicture); }

void OnCopyMatrixEmf(Window& window, const std::string& workFolder) {
    const std::string path = MatrixPicturePath(workFolder);
    if (!window.CopyMetafile(path)) ReportPictureNotCopied(window, path);
}

}  // namespace kvr
