#include "app/kvr_pictures.h"

#include <QBuffer>
#include <QFont>
#include <QImageWriter>
#include <QString>
#include <algorithm>
#include <cctype>

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/tree_shape.h"
#include "model/palette.h"
#include "pictures/matrix_canvas.h"
#include "pictures/matrix_picture.h"
#include "pictures/plot_picture.h"
#include "pictures/screen_plot.h"
#include "platform/qt/canvas_text.h"
#include "platform/qt/offscreen_gui.h"
#include "platform/qt/qimage_surface.h"
#include "platform/qt/vector_file_surface.h"

namespace kvr::cli {

namespace {

std::string LowerExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

QImageSurface MakeCanvas() {
    EnsureGuiApplication();
    return QImageSurface(CanvasFont());
}

// Encoded in memory and written whole, so that a failed write leaves no torn file behind. Large
// pictures of flat colour compress well at a low level, and much faster.
Result<void> SaveImage(const QImageSurface& canvas, const std::string& path) {
    const QImage& image = canvas.Image();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, LowerExtension(path) == "bmp" ? "BMP" : "PNG");
    constexpr qint64 kLargePixels = 16'000'000;
    if (static_cast<qint64>(image.width()) * image.height() > kLargePixels) writer.setQuality(80);
    if (!writer.write(image)) return Problem{writer.errorString().toStdString()};
    const QByteArray& bytes = buffer.data();
    return WriteWholeFile(path, std::string_view(bytes.constData(), bytes.size()));
}

Size PlotImageSize() {
    return {kPlotImageWidthPx * 15.0, kPlotImageHeightPx * 15.0};
}

}  // namespace

std::vector<std::string> CheckPictureRequest(const PictureRequest& pictures, bool treeMade) {
    std::vector<std::string> problems;
    for (const std::string* image : {&pictures.matrixImage, &pictures.plotImage}) {
        if (image->empty()) continue;
        const std::string extension = LowerExtension(*image);
        if (extension != "png" && extension != "bmp")
            problems.push_back("cannot tell the image format of " + *image +
                               ": the name must end in .png or .bmp");
    }
    if (pictures.outlineGroups && pictures.matrixEmf.empty() && pictures.matrixImage.empty() &&
        pictures.matrixSvg.empty() && pictures.matrixPdf.empty())
        problems.push_back(
            "--outline-groups frames the groups on a matrix picture: give --matrix-emf, "
            "--matrix-image, --matrix-svg or --matrix-pdf");
    if (pictures.tree && pictures.matrixEmf.empty() && pictures.matrixImage.empty() &&
        pictures.matrixSvg.empty() && pictures.matrixPdf.empty())
        problems.push_back(
            "--picture-tree draws the tree beside the names on a matrix picture: give "
            "--matrix-emf, --matrix-image, --matrix-svg or --matrix-pdf");
    if (pictures.tree && !treeMade)
        problems.push_back("--picture-tree needs --tree, which makes the tree");
    return problems;
}

bool WritePictures(const RunState& state, const PictureRequest& pictures, std::ostream& err,
                   const std::vector<CellBlock>& outlined) {
    bool written = true;
    const auto report = [&](const Result<void>& result, const std::string& what,
                            const std::string& path) {
        if (!result)
            err << "kvr: cannot write the " << what << " to " << path << ": "
                << result.problem().message << "\n";
        written = written && result.Ok();
    };
    std::shared_ptr<const TreeShape> tree;
    if (pictures.tree) {
        if (std::optional<TreeShape> made = AnalysisTree(state))
            tree = std::make_shared<const TreeShape>(std::move(*made));
        else
            report(Problem{"its rows are not those of a tree kvr can read"},
                   "tree beside the matrix", "the matrix pictures");
    }

    if (!pictures.matrixEmf.empty())
        report(WriteMatrixPictureFile(state, pictures.matrixEmf, outlined, tree.get()),
               "matrix picture", pictures.matrixEmf);
    if (!pictures.plotEmf.empty())
        report(WritePlotPictureFile(state, pictures.plotEmf), "plot picture", pictures.plotEmf);
    if (!pictures.matrixImage.empty()) {
        QImageSurface canvas = MakeCanvas();
        DrawMatrixCanvas(state, canvas, Size{}, outlined, tree);
        report(SaveImage(canvas, pictures.matrixImage), "matrix image", pictures.matrixImage);
    }
    if (!pictures.plotImage.empty()) {
        QImageSurface canvas = MakeCanvas();
        ScreenPlot(state, canvas, PlotImageSize());
        report(SaveImage(canvas, pictures.plotImage), "plot image", pictures.plotImage);
    }
    const auto vector = [&](const std::string& path, PictureFormat format, bool matrix) {
        if (path.empty()) return;
        EnsureGuiApplication();
        const Result<void> ok = WriteVectorFile(format, path, [&](DrawingSurface& picture) {
            if (matrix)
                DrawMatrixCanvas(state, picture, Size{}, outlined, tree);
            else
                ScreenPlot(state, picture, PlotImageSize());
        });
        report(ok, matrix ? "matrix picture" : "plot picture", path);
    };
    vector(pictures.matrixSvg, PictureFormat::Svg, true);
    vector(pictures.matrixPdf, PictureFormat::Pdf, true);
    vector(pictures.plotSvg, PictureFormat::Svg, false);
    vector(pictures.plotPdf, PictureFormat::Pdf, false);
    return written;
}

}  // namespace kvr::cli
