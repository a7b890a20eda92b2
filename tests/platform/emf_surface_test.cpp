#include "platform/emf/emf_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "support/emf_reader.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::EmfFile;
using testing::ReadEmf;
using namespace testing;  // record types

EmfFile Draw(const TempFolder& folder, int frameWidth, int frameHeight,
             const std::function<void(EmfSurface&)>& draw) {
    const std::string path = folder.File("picture.emf");
    {
        EmfSurface surface(path, frameWidth, frameHeight);
        EXPECT_TRUE(surface.IsOpen());
        draw(surface);
    }
    auto file = ReadEmf(path);
    EXPECT_TRUE(file.has_value()) << "not a well-formed EMF file";
    return file.value_or(EmfFile{});
}

TEST(EmfSurface, FrameFontsPenAndTransparentText) {
    TempFolder folder;
    const EmfFile file = Draw(folder, 35000, 27000, [](EmfSurface& s) {
        EXPECT_EQ(s.Width(), 1120);
        EXPECT_EQ(s.Height(), 864);
        s.RotatedText(0, 425, "Proportion of pairwise identities");
    });
    EXPECT_EQ(file.FrameWidth(), 35000);
    EXPECT_EQ(file.FrameHeight(), 27000);
    const auto fonts = file.OfType(kEmrExtCreateFontIndirectW);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].FontHeight(), 16);
    EXPECT_EQ(fonts[0].FontEscapement(), 0);
    EXPECT_EQ(fonts[1].FontEscapement(), 900);
    EXPECT_EQ(fonts[0].FontFace(), "Arial");
    EXPECT_EQ(fonts[1].FontFace(), "Arial");
    const auto pens = file.OfType(kEmrCreatePen);
    ASSERT_EQ(pens.size(), 1u);
    EXPECT_EQ(pens[0].Colour(), kBlack);
    EXPECT_EQ(pens[0].Int(16), 0) << "thinnest width";
    ASSERT_EQ(file.Count(kEmrSetBkMode), 1u);
    EXPECT_EQ(file.OfType(kEmrSetBkMode)[0].Int(8), 1) << "TRANSPARENT";
    // Pen and both fonts are released before the end.
    EXPECT_EQ(file.Count(kEmrDeleteObject), 3u);
}

TEST(EmfSurface, BoxMakesSelectsAndReleasesOneBrush) {
    TempFolder folder;
    const EmfFile file = Draw(folder, 1000, 1000, [](EmfSurface& s) {
        s.Box(10, 20, 32, 40, Rgb{255, 96, 0});
    });
    std::vector<std::uint32_t> types;
    for (const auto& r : file.records) types.push_back(r.type);
    const std::vector<std::uint32_t> boxPart = {kEmrCreateBrushIndirect, kEmrSelectObject,
                                                kEmrRectangle, kEmrDeleteObject};
    EXPECT_NE(std::search(types.begin(), types.end(), boxPart.begin(), boxPart.end()), types.end());
    const auto brush = file.OfType(kEmrCreateBrushIndirect).at(0);
    EXPECT_EQ(brush.Colour(), (Rgb{255, 96, 0}));
    const auto box = file.OfType(kEmrRectangle).at(0);
    EXPECT_EQ(box.X(), 10);
    EXPECT_EQ(box.Y(), 20);
    EXPECT_EQ(box.Right(), 32);
    EXPECT_EQ(box.Bottom(), 40);
}

TEST(EmfSurface, TextsUseTheirFontAndTopLeftPoint) {
    TempFolder folder;
    const EmfFile file = Draw(folder, 1000, 1000, [](EmfSurface& s) {
        s.Text(0, 20, "seq_1");
        s.RotatedText(42, 110, "seq_1");
        s.Text(0, 40, "seq_2");
    });
    const auto texts = file.OfType(kEmrExtTextOutA);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].Text(), "seq_1");
    EXPECT_EQ(texts[1].X(), 42);
    EXPECT_EQ(texts[1].Y(), 110);
    // Upright, rotated, upright again: the font is selected before each change.
    const auto fonts = file.OfType(kEmrExtCreateFontIndirectW);
    std::vector<int> selected;
    for (const auto& r : file.records) {
        if (r.type != kEmrSelectObject) continue;
        for (std::size_t f = 0; f < fonts.size(); ++f)
            if (r.Int(8) == fonts[f].Int(8)) selected.push_back(static_cast<int>(f));
    }
    EXPECT_EQ(selected, (std::vector<int>{0, 1, 0}));
}

TEST(EmfSurface, LinesMoveAndDraw) {
    TempFolder folder;
    const EmfFile file = Draw(folder, 1000, 1000, [](EmfSurface& s) {
        s.Line(70, 0, 70, 620, kBlack);
        s.Line(1, 2, 3, 4, Rgb{255, 0, 0});
    });
    const auto moves = file.OfType(kEmrMoveToEx);
    const auto lines = file.OfType(kEmrLineTo);
    ASSERT_EQ(moves.size(), 2u);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].X(), 70);
    EXPECT_EQ(lines[0].Y(), 620);
    // A red line gets a red pen of its own, released after it.
    const auto pens = file.OfType(kEmrCreatePen);
    ASSERT_EQ(pens.size(), 2u);
    EXPECT_EQ(pens[1].Colour(), (Rgb{255, 0, 0}));
}

TEST(EmfSurface, UnwritablePathIsReportedAndDrawingIsHarmless) {
    EmfSurface surface("/nonexistent-folder/x.emf", 1000, 1000);
    EXPECT_FALSE(surface.IsOpen());
    surface.Box(0, 0, 10, 10, kWhite);
    surface.Text(0, 0, "x");
    surface.Close();
}

}  // namespace
}  // namespace kvr
