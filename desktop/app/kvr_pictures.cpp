#include "app/kvr_pictures.h"

#include <QFont>
#include <QString>
#include <algorithm>
#include <cctype>

#include "matrix/matrix_canvas.h"
#include "matrix/matrix_picture.h"
#include "matrix/matrix_screen.h"
#include "matrix/palette.h"
#include "platform/qt/offscreen_gui.h"
#include "platform/qt/qimage_surface.h"
#include "plot/binning.h"
#include "plot/plot_picture.h"
#include "plot/screen_plot.h"
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
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8.25);
    return QImageSurface(font);
}

bool SaveImage(const QImageSurface& canvas, const std::string& path) {
    const char* format = LowerExtension(path) == "bmp" ? "BMP" : "PNG";
    return canvas.Image().save(QString::fromStdString(path), format);
}

}  // namespace

bool PictureRequest::Any() const {
    return !Paths().empty();
}

std::vector<std::string> PictureRequest::Paths() const {
    std::vector<std::string> paths;
    for (const std::string* p : {&matrixEmf, &plotEmf, &matrixImage, &plotImage})
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
    const auto report = [&](bool ok, const std::string& what, const std::string& path) {
        if (!ok) err << "kvr run: cannot write the " << what << " to " << path << "\n";
        written = written && ok;
    };
    BuildPalette(state);
    if (!pictures.plotEmf.empty() || !pictures.plotImage.empty()) BinIdentities(state, window);

    if (!pictures.matrixEmf.empty())
        report(WriteMatrixPictureFile(state, pictures.matrixEmf), "matrix picture",
               pictures.matrixEmf);
    if (!pictures.plotEmf.empty())
        report(WritePlotPictureFile(state, pictures.plotEmf, CurveStart::Floored), "plot picture",
               pictures.plotEmf);
    if (!pictures.matrixImage.empty()) {
        if (!FitsOnScreen(state)) {
            err << "kvr run: the matrix image is drawn for at most " << kMaxScreenSequences
                << " sequences, as on screen; --matrix-emf draws any number\n";
            written = false;
        } else {
            QImageSurface canvas = MakeCanvas();
            DrawMatrixCanvas(state, canvas, Size{});
            report(SaveImage(canvas, pictures.matrixImage), "matrix image", pictures.matrixImage);
        }
    }
    if (!pictures.plotImage.empty()) {
        QImageSurface canvas = MakeCanvas();
        ScreenPlot(state, canvas, Size{kPlotImageWidthPx * 15.0, kPlotImageHeightPx * 15.0});
        report(SaveImage(canvas, pictures.plotImage), "plot image", pictures.plotImage);
    }
    return written;
}

}  // namespace kvr::cli
