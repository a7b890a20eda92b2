#include "app/kvr_pictures.h"

#include <QBuffer>
#include <QFont>
#include <QImageWriter>
#include <QString>
#include <algorithm>
#include <cctype>

#include "matrix/matrix_canvas.h"
#include "matrix/matrix_picture.h"
#include "matrix/palette.h"
#include "platform/qt/canvas_text.h"
#include "platform/qt/offscreen_gui.h"
#include "platform/qt/qimage_surface.h"
#include "platform/qt/vector_file_surface.h"
#include "plot/binning.h"
#include "plot/plot_picture.h"
#include "plot/screen_plot.h"
#include "state/file_io.h"
#include "state/number_text.h"

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

// "94,78" -> 94 and 78; false unless both are whole numbers.
bool ParseCutoffs(const std::string& text, float& upper, float& lower) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) return false;
    const auto whole = [](const std::string& part, float& value) {
        if (part.empty() || part.size() > 3 ||
            !std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isdigit(c); }))
            return false;
        value = static_cast<float>(NumberValue(part));
        return true;
    };
    return whole(text.substr(0, comma), upper) && whole(text.substr(comma + 1), lower);
}

QImageSurface MakeCanvas() {
    EnsureGuiApplication();
    return QImageSurface(CanvasFont());
}

// Encoded in memory and written whole, so that a failed write leaves no torn file behind. Large
// pictures of flat colour compress well at a low level, and much faster.
WriteResult SaveImage(const QImageSurface& canvas, const std::string& path) {
    const QImage& image = canvas.Image();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, LowerExtension(path) == "bmp" ? "BMP" : "PNG");
    constexpr qint64 kLargePixels = 16'000'000;
    if (static_cast<qint64>(image.width()) * image.height() > kLargePixels) writer.setQuality(80);
    if (!writer.write(image)) return {false, writer.errorString().toStdString()};
    const QByteArray& bytes = buffer.data();
    return WriteWholeFile(path, std::string_view(bytes.constData(), bytes.size()));
}

Size PlotImageSize() {
    return {kPlotImageWidthPx * 15.0, kPlotImageHeightPx * 15.0};
}

}  // namespace

bool PictureRequest::Any() const {
    return !Paths().empty();
}

std::vector<std::string> PictureRequest::Paths() const {
    std::vector<std::string> paths;
    for (const std::string* p : {&matrixEmf, &plotEmf, &matrixImage, &plotImage, &matrixSvg,
                                 &matrixPdf, &plotSvg, &plotPdf})
        if (!p->empty()) paths.push_back(*p);
    return paths;
}

OptionUse TakePictureOption(const std::string& option,
                            const std::function<bool(std::string&)>& takeValue,
                            PictureRequest& pictures, RunOptions& options, std::string& problem) {
    std::string* file = option == "--matrix-emf"     ? &pictures.matrixEmf
                        : option == "--plot-emf"     ? &pictures.plotEmf
                        : option == "--matrix-image" ? &pictures.matrixImage
                        : option == "--plot-image"   ? &pictures.plotImage
                        : option == "--matrix-svg"   ? &pictures.matrixSvg
                        : option == "--matrix-pdf"   ? &pictures.matrixPdf
                        : option == "--plot-svg"     ? &pictures.plotSvg
                        : option == "--plot-pdf"     ? &pictures.plotPdf
                                                     : nullptr;
    if (file != nullptr) {
        if (!takeValue(*file) || file->empty()) {
            problem = option + " needs a file name";
            return OptionUse::Problem;
        }
        return OptionUse::Taken;
    }
    std::string value;
    if (option == "--mode") {
        if (!takeValue(value) || (value != "full" && value != "three")) {
            problem = "--mode needs full or three";
            return OptionUse::Problem;
        }
        options.colourMode = value == "full" ? kFullColour : kThreeColour;
        return OptionUse::Taken;
    }
    if (option == "--palette") {
        const int kind = takeValue(value) ? PaletteKindNamed(value) : -1;
        if (kind < 0) {
            problem = "--palette needs rainbow or viridis";
            return OptionUse::Problem;
        }
        options.paletteKind = kind;
        return OptionUse::Taken;
    }
    if (option == "--cutoffs") {
        if (!takeValue(value) || !ParseCutoffs(value, options.cutoff1, options.cutoff2)) {
            problem = "--cutoffs needs two whole percentages, the upper first: 94,78";
            return OptionUse::Problem;
        }
        return OptionUse::Taken;
    }
    return OptionUse::NotMine;
}

std::vector<std::string> CheckPictureRequest(const PictureRequest& pictures) {
    std::vector<std::string> problems;
    for (const std::string* image : {&pictures.matrixImage, &pictures.plotImage}) {
        if (image->empty()) continue;
        const std::string extension = LowerExtension(*image);
        if (extension != "png" && extension != "bmp")
            problems.push_back("cannot tell the image format of " + *image +
                               ": the name must end in .png or .bmp");
    }
    return problems;
}

bool WritePictures(RunState& state, Window& window, const PictureRequest& pictures,
                   std::ostream& err) {
    bool written = true;
    const auto report = [&](const WriteResult& result, const std::string& what,
                            const std::string& path) {
        if (!result)
            err << "kvr: cannot write the " << what << " to " << path << ": " << result.reason
                << "\n";
        written = written && result.ok;
    };
    BuildPalette(state);
    const bool plot = !pictures.plotEmf.empty() || !pictures.plotImage.empty() ||
                      !pictures.plotSvg.empty() || !pictures.plotPdf.empty();
    if (plot) BinIdentities(state, window);

    if (!pictures.matrixEmf.empty())
        report(WriteMatrixPictureFile(state, pictures.matrixEmf), "matrix picture",
               pictures.matrixEmf);
    if (!pictures.plotEmf.empty())
        report(WritePlotPictureFile(state, pictures.plotEmf), "plot picture", pictures.plotEmf);
    if (!pictures.matrixImage.empty()) {
        QImageSurface canvas = MakeCanvas();
        DrawMatrixCanvas(state, canvas, Size{});
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
        const WriteResult ok = WriteVectorFile(format, path, [&](DrawingSurface& picture) {
            if (matrix)
                DrawMatrixCanvas(state, picture, Size{});
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

const char* const kPictureOptionsHelp =
    "  --mode full|three    colouring of the matrix pictures: the whole observed range in 64\n"
    "                       steps (full, the default) or three bands set by the cut-offs\n"
    "  --palette rainbow|viridis  the 64 steps of full colour mode: the rainbow (the default)\n"
    "                       or viridis, dark purple to yellow, which reads in order for people\n"
    "                       with any common colour blindness; the key matches\n"
    "  --cutoffs C1,C2      the upper and lower cut-off of the three bands, whole percent\n"
    "                       (default 94,78); raised to the smallest identity when it lies above\n"
    "                       the lower one, as in the window\n"
    "  --matrix-emf FILE    the matrix as an EMF picture in its compact layout\n"
    "  --plot-emf FILE      the distribution of the identities as an EMF picture\n"
    "  --matrix-image FILE  the matrix as the window draws it, full size, PNG or BMP by the\n"
    "                       file's extension; beyond 500 sequences the cells shrink (to two\n"
    "                       pixels at least) and names too small to read are left out\n"
    "  --matrix-svg FILE    the same drawing as an SVG or PDF file: text stays text, page size\n"
    "  --matrix-pdf FILE    that of the image at 96 dpi\n"
    "  --plot-image FILE    the distribution as the window draws it, 1160 x 757 pixels, PNG or\n"
    "                       BMP\n"
    "  --plot-svg FILE      the same plot as an SVG or PDF file\n"
    "  --plot-pdf FILE\n";

std::string OptionProblem(OptionUse use, const std::string& problem, const std::string& typed) {
    switch (use) {
        case OptionUse::Taken:
            return {};
        case OptionUse::Problem:
            return problem;
        case OptionUse::NotMine:
            break;
    }
    return "unknown option '" + typed + "'";
}

}  // namespace kvr::cli
