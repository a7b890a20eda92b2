#include "pictures/plot_picture.h"
#include "ui/plot_handlers.h"

#include <gtest/gtest.h>

#include "fakes/recording_surface.h"
#include "fakes/recording_window.h"
#include "platform/emf/emf_surface.h"
#include "support/analysis_state.h"
#include "support/emf_reader.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using Kind = DrawOp::Kind;
using testing::Histogram;
using testing::ReadEmf;
using testing::TempFolder;
constexpr Rgb kMarkColour{0, 255, 0};  // pure green

// The fixed layout moves down so that the top label (2 units above y = 0) is 10 units inside.
constexpr int kDown = 12;

RecordingSurface Draw(const RunState& state) {
    RecordingSurface picture(EmfSurface::kTextCell, EmfSurface::kTextCell);
    DrawPlotPicture(state, picture);
    return picture;
}

TEST(PlotPicture, FixedLayoutTicksAndShortLabels) {
    const RunState state = Histogram(0.70, 1.0f, 0.4f);
    const RecordingSurface picture = Draw(state);
    const auto texts = picture.OpsOf(Kind::Text);
    EXPECT_EQ(texts[0].text, "Percentage pairwise identities");
    EXPECT_EQ(std::tie(texts[0].x1, texts[0].y1), std::make_tuple(350, 650 + kDown));
    const auto turned = picture.OpsOf(Kind::RotatedText);
    ASSERT_EQ(turned.size(), 1u);
    EXPECT_EQ(std::tie(turned[0].x1, turned[0].y1), std::make_tuple(0, 425 + kDown));

    // 31 percentages, 70 to 100, one step of 860 / 30 = 29 (28.7, rounded).
    const auto boxes = picture.OpsOf(Kind::Box);
    ASSERT_EQ(boxes.size(), 31u + 21);
    EXPECT_EQ(std::tie(boxes[0].x1, boxes[0].y1, boxes[0].x2, boxes[0].y2),
              std::make_tuple(65, 615 + kDown, 70, 620 + kDown));  // the first: short, green
    EXPECT_EQ(boxes[0].colour, kMarkColour);
    EXPECT_EQ(std::tie(boxes[1].x1, boxes[1].y1, boxes[1].x2, boxes[1].y2),
              std::make_tuple(65 + 29 - 1, 615 + kDown, 65 + 29 + 3, 625 + kDown));  // 71: black
    EXPECT_EQ(boxes[1].colour, kBlack);
    EXPECT_EQ(std::tie(boxes[5].y1, boxes[5].y2),
              std::make_tuple(613 + kDown, 627 + kDown));  // 75: long, green
    EXPECT_EQ(boxes[5].colour, kMarkColour);
    EXPECT_EQ(std::tie(boxes[30].x1, boxes[30].y2), std::make_tuple(65 + 30 * 29, 620 + kDown));

    std::vector<std::string> horizontal, vertical;
    for (std::size_t t = 1; t < 1 + 7; ++t) horizontal.push_back(texts[t].text);
    for (std::size_t t = 8; t < texts.size(); ++t) vertical.push_back(texts[t].text);
    EXPECT_EQ(horizontal,
              (std::vector<std::string>{" 70", " 75", " 80", " 85", " 90", " 95", " 100"}));
    EXPECT_EQ(std::tie(texts[1].x1, texts[1].y1), std::make_tuple(55, 630 + kDown));
    ASSERT_EQ(vertical.size(), 21u);
    EXPECT_EQ(vertical[0], " 0");
    EXPECT_EQ(vertical[1], "0.02");
    EXPECT_EQ(vertical[4], "0.08");
    EXPECT_EQ(vertical[5], " .1");
    EXPECT_EQ(vertical[6], "0.12");
    EXPECT_EQ(vertical[10], " .2");
    EXPECT_EQ(vertical[20], " .4");
    // Vertical ticks from y = 620 up by 31; labels at (25, y - 2).
    const DrawOp& major = boxes[31];
    EXPECT_EQ(std::tie(major.x1, major.y1, major.x2, major.y2),
              std::make_tuple(65, 618 + kDown, 75, 622 + kDown));
    const DrawOp& minor = boxes[32];
    EXPECT_EQ(std::tie(minor.x1, minor.y1, minor.x2, minor.y2),
              std::make_tuple(64, 588 + kDown, 74, 590 + kDown));
    EXPECT_EQ(std::tie(texts[9].x1, texts[9].y1), std::make_tuple(25, 587 + kDown));
}

TEST(PlotPicture, CurveStartsWithTheSmallestIdentitysBinAndReachesTheTopAtTheMaximum) {
    // A maximum on a round axis top (20 steps of 0.02) reaches the top.
    RunState state = Histogram(0.736, 0.9f, 0.4f);
    state.BinArray[72][1] = 0.4f;  // 73 %, at the maximum: the top
    state.BinArray[73][1] = 0.2f;  // 74 %
    auto lines = Draw(state).OpsOf(Kind::Line);
    const std::vector<DrawOp> curve(lines.begin() + 2, lines.end());  // after the two axes
    ASSERT_EQ(curve.size(), 27u);                                     // ticks 73 .. 100
    const int step = 32;                                              // 860 / 27 = 31.85
    EXPECT_EQ(std::tie(curve[0].x1, curve[0].y1, curve[0].x2, curve[0].y2),
              std::make_tuple(65, kDown, 65 + step, 310 + kDown));
    EXPECT_EQ(curve[1].y2, 620 + kDown);
}

TEST(PlotPicture, MarkedMaximumRoundsHalfToEven) {
    for (const auto& [maxIdentity, label] : {std::pair{0.625f, " 62"}, std::pair{0.875f, " 88"}}) {
        const RecordingSurface picture = Draw(Histogram(0.5, maxIdentity, 0.4f));
        bool found = false;
        for (const DrawOp& op : picture.OpsOf(Kind::Text)) found = found || op.text == label;
        EXPECT_TRUE(found) << label;
    }
}

TEST(PlotPicture, WorkFolderFileReadsBack) {
    TempFolder work;
    RunState state = Histogram(0.70, 1.0f, 0.4f);
    state.BinArray[79][1] = 0.4f;
    RecordingWindow window;
    window.SetVisible(Control::ZoomingPicture, false);
    window.SetVisible(Control::InnerPicture, false);
    WritePlotPicture(state, window, work.Path());
    EXPECT_TRUE(window.IsVisible(Control::ZoomingPicture));
    EXPECT_TRUE(window.IsVisible(Control::InnerPicture));

    const auto file = ReadEmf(work.File("Identity_distribution_plot.emf"));
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->FrameWidth(), PlotPictureFrame(state).width);
    EXPECT_EQ(file->FrameHeight(), PlotPictureFrame(state).height);
    EXPECT_EQ(file->Count(testing::kEmrRectangle), 31u + 21);
    EXPECT_EQ(file->Count(testing::kEmrExtCreateFontIndirectW), 2u);
    EXPECT_EQ(file->Count(testing::kEmrLineTo), 2u + 30);
    const auto texts = file->Texts();
    ASSERT_EQ(texts.size(), 2u + 7 + 21);
    EXPECT_EQ(texts[1], "Proportion of pairwise identities");
    // Row 79 at the tick of 80 reaches the top.
    const auto lines = file->OfType(testing::kEmrLineTo);
    EXPECT_EQ(lines[2 + 9].Y(), kDown);
    EXPECT_EQ(lines[2 + 9].X(), 65 + 10 * 29);
}

}  // namespace
}  // namespace kvr
