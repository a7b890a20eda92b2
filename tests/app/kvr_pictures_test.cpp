#include "app/kvr_pictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <sstream>

#include "fakes/recording_window.h"
#include "io/file_io.h"
#include "model/palette.h"
#include "pipeline/binning.h"
#include "support/analysis_state.h"
#include "support/temp_folder.h"

namespace kvr::cli {
namespace {

using kvr::testing::TempFolder;

TEST(KvrPictureOptions, ImagesNeedAKnownExtension) {
    PictureRequest pictures;
    pictures.matrixImage = "out/matrix.PNG";
    pictures.plotImage = "plot.jpg";
    const auto problems = CheckPictureRequest(pictures);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0],
              "cannot tell the image format of plot.jpg: the name must end in .png or .bmp");
}

TEST(KvrPictures, VectorOptionsAndUnwritableFilesAreReported) {
    TempFolder out;
    RunState state = kvr::testing::MakeAnalysis(12, kvr::testing::Gradient(12, 0.5f));
    RecordingWindow window;
    BinIdentities(state, window.progress);  // as the pipeline makes the analysis
    PictureRequest pictures;
    pictures.matrixSvg = out.File("m.svg");
    pictures.plotPdf = out.File("p.pdf");
    pictures.plotEmf = "/nonexistent-folder/p.emf";
    pictures.matrixPdf = "/nonexistent-folder/m.pdf";
    EXPECT_EQ(pictures.Paths().size(), 4u);
    std::ostringstream err;
    EXPECT_FALSE(WritePictures(state, pictures, err));
    EXPECT_NE(err.str().find("cannot write the plot picture to /nonexistent-folder/p.emf"),
              std::string::npos);
    EXPECT_NE(err.str().find("cannot write the matrix picture to /nonexistent-folder/m.pdf"),
              std::string::npos);
    // Text stays text, colours are exact, and the page is the canvas at 20 twips a point.
    const std::string svg = ReadWholeFile(pictures.matrixSvg).value_or("");
    EXPECT_NE(svg.find(">seq_12</text>"), std::string::npos);
    EXPECT_NE(svg.find(">Pairwise identity (%)</text>"), std::string::npos);
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", PaletteOf(state)[63].r,
                  PaletteOf(state)[63].g, PaletteOf(state)[63].b);
    EXPECT_NE(svg.find(colour), std::string::npos) << colour;
    const std::string pdf = ReadWholeFile(pictures.plotPdf).value_or("");
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    const auto box = pdf.find("/MediaBox");
    ASSERT_NE(box, std::string::npos);
    // 1160 x 757 pixels at 96 dpi: 870 x 567.75 points, whole points in the file.
    EXPECT_EQ(pdf.substr(box, 37), "/MediaBox [0 0 870.000000 568.000000]");
}

TEST(KvrPictures, MatrixImageOfMoreSequencesThanTheScreenShows) {
    TempFolder out;
    RunState state = kvr::testing::MakeAnalysis(700, kvr::testing::Gradient(700, 0.5f));
    PictureRequest pictures;
    pictures.matrixImage = out.File("m.png");
    std::ostringstream err;
    EXPECT_TRUE(WritePictures(state, pictures, err)) << err.str();
    QImageReader::setAllocationLimit(1024);  // megabytes
    const QImage image(QString::fromStdString(pictures.matrixImage), "PNG");
    // 110000 / 700 twips a cell, in whole pixels: 150 twips, 10 pixels; no names.
    EXPECT_EQ(image.pixel(10 + 5, 5),
              qRgb(PaletteOf(state)[63].r, PaletteOf(state)[63].g, PaletteOf(state)[63].b));
    EXPECT_GE(image.width(), 700 * 10);
    EXPECT_LT(image.width(), 700 * 10 + 200);
}

}  // namespace
}  // namespace kvr::cli
