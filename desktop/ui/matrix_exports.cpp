#include "ui/matrix_exports.h"

#include <filesystem>

#include "io/program_folder.h"
#include "model/palette.h"
#include "pictures/matrix_canvas.h"
#include "pictures/matrix_picture.h"
#include "pictures/row_tree.h"
#include "ui/save_dialog.h"

namespace kvr {

namespace {

constexpr const char* kSaving = "Saving the matrix ...";

}  // namespace

std::string AskPictureName(RunState& state, Window& window, std::string_view suffix) {
    std::string name = AskSaveName(state, window, suffix);
    if (!name.empty()) RememberFolderOf(state, name);
    return name;
}

Result<void> PictureWritten(bool written) {
    if (written) return {};
    return Problem{"the picture could not be made"};
}

void SavePictureFile(Window& window, const char* status, const std::string& path,
                     const std::function<Result<void>(const std::string&)>& write) {
    window.SetCaption(Control::lblProgress, status);
    window.SetBusy(true);
    const Result<void> written = write(path);
    window.SetBusy(false);
    if (written) {
        window.SetCaption(Control::lblProgress, "Done");
        return;
    }
    window.SetCaption(Control::lblProgress, "Failed");
    window.ShowMessage(WriteFailureMessage(path, written.problem()));
}

void SaveVectorPicture(Window& window, const char* status, const std::string& name,
                       const char* suffix, PictureFormat format,
                       const std::function<void(DrawingSurface&)>& draw) {
    const std::string path =
        WithSuffix(name, suffix + std::string(format == PictureFormat::Svg ? ".svg" : ".pdf"));
    auto* writer = dynamic_cast<VectorPictureWriter*>(&window);
    if (writer == nullptr) {
        window.ShowMessage("This window cannot write SVG or PDF files.");
        return;
    }
    SavePictureFile(window, status, path, [&](const std::string& target) {
        return PictureWritten(writer->WriteVectorPicture(format, target, draw));
    });
}

void ReportPictureNotCopied(Window& window, const std::string& path) {
    window.ShowMessage("The picture " + path + " could not be put on the clipboard.");
}

void OnSaveMatrixEmf(RunState& state, Window& window) {
    const std::string name = AskPictureName(state, window, "_mat.emf");
    if (name.empty()) return;
    // The tree beside the names as the View menu shows it.
    const std::shared_ptr<const TreeShape> tree = ShownTree(state);
    SavePictureFile(window, kSaving, WithSuffix(name, "_mat.emf"),
                    [&state, &tree](const std::string& path) {
                        return WriteMatrixPictureFile(state, path, {}, tree.get());
                    });
}

void OnSaveMatrixBmp(RunState& state, Window& window, const char* suffix) {
    const std::string name = AskPictureName(state, window, suffix);
    if (name.empty()) return;
    // The picture at its own size with its key, whatever the zoom shows: the same as a copy.
    SavePictureFile(window, kSaving, WithSuffix(name, suffix), [&window](const std::string& path) {
        return PictureWritten(window.SaveCanvasBitmap(path));
    });
}

void OnSaveMatrixVector(RunState& state, Window& window, PictureFormat format) {
    const std::string name =
        AskPictureName(state, window, format == PictureFormat::Svg ? "_mat.svg" : "_mat.pdf");
    if (name.empty()) return;
    SaveVectorPicture(window, kSaving, name, "_mat", format,
                      [&state, tree = ShownTree(state)](DrawingSurface& picture) {
                          DrawMatrixCanvas(state, picture, Size{}, {}, tree);
                      });
}

void OnCopyMatrixBmp(Window& window) {
    window.CopyCanvasBitmap(Control::InnerPicture);
}

void OnCopyMatrixEmf(const RunState& state, Window& window, const std::string& workFolder) {
    const std::string path = MatrixPicturePath(workFolder);
    // A large set's picture is made when it is first asked for.
    std::error_code ignored;
    if (state.seqCount > kEagerMatrixPicture && !std::filesystem::exists(path, ignored))
        SavePictureFile(window, kSaving, path, [&state](const std::string& target) {
            return WriteMatrixPictureFile(state, target, {}, ShownTree(state).get());
        });
    if (!window.CopyMetafile(path)) ReportPictureNotCopied(window, path);
}

}  // namespace kvr
