#include "pictures/matrix_picture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/recording_surface.h"
#include "model/palette.h"
#include "platform/emf/emf_surface.h"
#include "support/analysis_state.h"
#include "support/emf_reader.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using Kind = DrawOp::Kind;
using testing::EmfFile;
using testing::Gradient;
using testing::MakeAnalysis;
using testing::ReadEmf;
using testing::TempFolder;

RunState PictureAnalysis(int n, int mode = kFullColour) {
    RunState state = MakeAnalysis(n, Gradient(n, 0.55f));  // names ">seq_1": L = 51
    state.choices.ColourMode = mode;
    return state;
}

TEST(MatrixPictureFrame, HoldsTheDrawingAndAMarginAndNoMore) {
    struct Case {
        int n, right, bottom;  // the drawing's extent in device units
    };
    // Name space L = 85 (ten characters); the frame is 1000 / 32 hundredths of a millimetre a
    // unit, 10 units beyond the drawing.
    // The title (145 units in Arial of em 16) reaches further right than the key's labels
    // (" 100", 32 units, from 14 right of the boxes' right edge).
    const Case cases[] = {
        // The key, 22 boxes of 15 from y = 20, is taller than a small triangle with its names.
        {2, 44 + 95 + 145, 20 + 22 * 15},
        // Larger ones: the names under the triangle end lowest.
        {25, 550 + 95 + 145, 500 + 10 + 85},
        {100, 2200 + 95 + 145, 2000 + 10 + 85},
    };
    for (const Case& c : cases) {
        const PictureFrame frame = MatrixPictureFrame(c.n, 10);
        EXPECT_EQ(EmfSurface::FrameToPixels(frame.width), c.right + 10) << c.n;
        EXPECT_EQ(EmfSurface::FrameToPixels(frame.height), c.bottom + 10) << c.n;
    }
}

TEST(MatrixPicture, CompactLayoutInDeviceUnits) {
    const RunState state = PictureAnalysis(3);
    RecordingSurface picture(EmfSurface::kTextCell, EmfSurface::kTextCell);
    DrawMatrixPicture(state, picture);
    const auto texts = picture.OpsOf(Kind::Text);
    const auto turned = picture.OpsOf(Kind::RotatedText);
    ASSERT_EQ(turned.size(), 3u);
    EXPECT_EQ(texts[2].text, "seq_3");
    EXPECT_EQ(std::tie(texts[2].x1, texts[2].y1), std::make_tuple(0, 40));
    EXPECT_EQ(std::tie(turned[2].x1, turned[2].y1), std::make_tuple(44 + 61, 60 + 10 + 51));

    const auto boxes = picture.OpsOf(Kind::Box);
    ASSERT_EQ(boxes.size(), 6u + 22);
    EXPECT_EQ(std::tie(boxes[0].x1, boxes[0].y1, boxes[0].x2, boxes[0].y2),
              std::make_tuple(61, 0, 83, 20));
    EXPECT_EQ(std::tie(boxes[5].x1, boxes[5].y1), std::make_tuple(105, 40));  // column 2, row 2
    EXPECT_EQ(boxes[2].colour, PaletteOf(state)[0]) << "column 0, row 2: the minimum";

    // A small matrix: the title at y = 0, the first key box at y = 20.
    EXPECT_EQ(texts[3].text, "Pairwise identity (%)");
    EXPECT_EQ(std::tie(texts[3].x1, texts[3].y1), std::make_tuple(127, 0));
    const DrawOp& key = boxes[6];
    EXPECT_EQ(std::tie(key.x1, key.y1, key.x2, key.y2), std::make_tuple(157, 20, 196, 35));
    EXPECT_EQ(key.colour, PaletteOf(state)[63]);
    const auto ticks = picture.OpsOf(Kind::Line);
    ASSERT_EQ(ticks.size(), 11u);
    EXPECT_EQ(std::tie(ticks[0].x1, ticks[0].y1, ticks[0].x2, ticks[0].y2),
              std::make_tuple(195, 28, 211, 28));  // 27.5 -> 28
    EXPECT_EQ(ticks[1].y1, 58);                    // box 3 at y = 50: 57.5 -> 58
    EXPECT_EQ(texts[4].text, " 100");
    EXPECT_EQ(std::tie(texts[4].x1, texts[4].y1), std::make_tuple(210, 20));
}

TEST(MatrixPicture, LargerMatrixCentresTitleAndKey) {
    const RunState state = PictureAnalysis(40);
    RecordingSurface picture(EmfSurface::kTextCell, EmfSurface::kTextCell);
    DrawMatrixPicture(state, picture);
    // Names up to ">seq_40": L = round(7 x 8.5) = 60 (59.5, half to even).
    const DrawOp& title = picture.OpsOf(Kind::Text)[40];
    EXPECT_EQ(title.y1, 227);                                  // (800 + 60 + 10 - 416) / 2
    EXPECT_EQ(picture.OpsOf(Kind::Box)[40 * 41 / 2].y1, 247);  // (800 + 60 + 50 - 416) / 2
}

TEST(MatrixPicture, WorkFolderFileReadsBack) {
    TempFolder work;
    const RunState state = PictureAnalysis(48, kThreeColour);
    WriteMatrixPicture(state, work.Path());
    const auto file = ReadEmf(work.File("Identity_mat.emf"));
    ASSERT_TRUE(file.has_value());
    const PictureFrame frame = MatrixPictureFrame(48, 7);
    EXPECT_EQ(file->FrameWidth(), frame.width);
    EXPECT_EQ(file->FrameHeight(), frame.height);
    const std::size_t boxes = 48 * 49 / 2 + 22;
    EXPECT_EQ(file->Count(testing::kEmrRectangle), boxes);
    EXPECT_EQ(file->Count(testing::kEmrCreateBrushIndirect), boxes);
    EXPECT_EQ(file->Count(testing::kEmrDeleteObject), boxes + 3) << "each brush, pen and fonts";
    EXPECT_EQ(file->Count(testing::kEmrLineTo), 11u);
    const auto texts = file->Texts();
    ASSERT_EQ(texts.size(), 2u * 48 + 1 + 11);
    EXPECT_EQ(texts[0], "seq_1");
    EXPECT_EQ(texts[96], "Pairwise identity (%)");
    EXPECT_EQ(texts[97], " 100");
    // The cell of pair (0, 47) is the minimum: the palest blue.
    const auto brushes = file->OfType(testing::kEmrCreateBrushIndirect);
    EXPECT_EQ(brushes[47].Colour(), (Rgb{0, 228, 255}));
    EXPECT_EQ(brushes[0].Colour(), (Rgb{171, 0, 0}));
    const auto rectangles = file->OfType(testing::kEmrRectangle);
    EXPECT_EQ(rectangles[47].X(), 70);  // L = 60, plus the margin
    EXPECT_EQ(rectangles[47].Y(), 940);

    // Rewriting replaces the file.
    RunState recoloured = state;
    recoloured.choices.ColourMode = kFullColour;
    WriteMatrixPicture(recoloured, work.Path());
    const auto again = ReadEmf(work.File("Identity_mat.emf"));
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->OfType(testing::kEmrCreateBrushIndirect)[0].Colour(), (Rgb{128, 0, 0}));
}

TEST(MatrixPicture, UnwritableTargetIsReported) {
    const RunState state = PictureAnalysis(3);
    EXPECT_FALSE(WriteMatrixPictureFile(state, "/nonexistent-folder/m_mat.emf"));
}

// A full disk while the EMF file is finished (libEMF throws from its close): the write fails with
// the system's reason, the old file stays, no temporary file is left, and the program goes on.
TEST(MatrixPicture, AFullDiskFailsTheWriteWithItsReason) {
    TempFolder folder;
    const std::string path = folder.Write("m_mat.emf", "old");
    const RunState state = PictureAnalysis(48);
    Result<void> written;
    {
        const testing::FileSizeLimit limit(1000);
        written = WriteMatrixPictureFile(state, path);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(written.problem().message, "File too large");
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_TRUE(WriteMatrixPictureFile(state, path));  // and the next write works
}

}  // namespace
}  // namespace kvr
