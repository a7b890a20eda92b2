// The pictures of kvr run and kvr show: the matrix and the distribution plot as EMF files (the
// layouts of the desktop program's Save menu), and as the screen drawing in images (PNG or BMP),
// SVG and PDF files, all from the same drawing code as the window. None needs a display.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/group_frames.h"
#include "model/run_state.h"
#include "pipeline/run_options.h"
#include "platform/progress.h"

namespace kvr::cli {

struct PictureRequest {
    std::string matrixEmf;  // empty: not wanted
    std::string plotEmf;
    std::string matrixImage;  // PNG or BMP by the extension
    std::string plotImage;
    std::string matrixSvg;  // the screen drawing, text kept as text
    std::string matrixPdf;
    std::string plotSvg;
    std::string plotPdf;
    bool outlineGroups = false;  // frame the groups on the matrix pictures
    bool tree = false;           // the tree that ordered the sequences beside the matrix's names

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const std::string* p : {&matrixEmf, &plotEmf, &matrixImage, &plotImage, &matrixSvg,
                                     &matrixPdf, &plotSvg, &plotPdf})
            if (!p->empty()) paths.push_back(*p);
        return paths;
    }
    bool Any() const { return !Paths().empty(); }
};

// The plot image's size: the view of the desktop program's main window on a 1920 x 1080 screen.
inline constexpr int kPlotImageWidthPx = 1160;
inline constexpr int kPlotImageHeightPx = 757;

// What is wrong with the request before anything runs: image files must end in .png or .bmp,
// --outline-groups and --picture-tree need a matrix picture, and --picture-tree a tree (treeMade:
// the command makes or keeps one).
std::vector<std::string> CheckPictureRequest(const PictureRequest& pictures, bool treeMade = true);

// Writes every requested picture of the analysis as made (ordered and binned), the blocks outlined
// framed on the matrix's, and the tree beside the names when asked for. False, with a message on
// err for each, when one could not be written or the tree could not be drawn (the pictures are
// then written without it).
bool WritePictures(const RunState& state, const PictureRequest& pictures, std::ostream& err,
                   const std::vector<CellBlock>& outlined = {});

}  // namespace kvr::cli
