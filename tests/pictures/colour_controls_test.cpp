#include "ui/colour_controls.h"

#include <gtest/gtest.h>

#include "model/palette.h"
#include "support/display_fixture.h"

namespace kvr {
namespace {

using testing::ReadEmf;

constexpr Control kCutoffControls[] = {Control::lblCutoff1,      Control::updCutoff1,
                                       Control::lblCutoff1dsply, Control::lblCutoff2,
                                       Control::UpdCutoff2,      Control::lblCutoff2dsply};

class ColourControlsTest : public testing::DisplayTest {
  protected:
    bool CutoffControlsEnabled(bool expected) {
        for (Control c : kCutoffControls)
            if (window.IsEnabled(c) != expected) return false;
        return true;
    }
};

TEST_F(ColourControlsTest, ModeButtonSwitchesBothWaysAndBackToTheSamePicture) {
    Load(6);
    form.OnClick(Control::cmdDrawMat);
    const auto fullPicture = ReadWholeFile(MatrixFile());
    ASSERT_TRUE(fullPicture.has_value());
    const PaletteTable fullPalette = PaletteOf(state);

    form.OnClick(Control::cmdColourScheme);
    EXPECT_EQ(state.choices.ColourMode, kThreeColour);
    EXPECT_EQ(window.Caption(Control::cmdColourScheme), "Full colour mode");
    EXPECT_TRUE(CutoffControlsEnabled(true));
    EXPECT_EQ(PaletteOf(state)[63], (Rgb{171, 0, 0}));
    EXPECT_EQ(ReadEmf(MatrixFile())->OfType(testing::kEmrCreateBrushIndirect)[0].Colour(),
              (Rgb{171, 0, 0}));
    EXPECT_EQ(Status(), (std::vector<std::string>{"Drawing the matrix ...", "Done",
                                                  "Redrawing the matrix ...", "Done"}));
    EXPECT_FALSE(window.busy);

    form.OnClick(Control::cmdColourScheme);
    EXPECT_EQ(state.choices.ColourMode, kFullColour);
    EXPECT_EQ(window.Caption(Control::cmdColourScheme), "3 colour mode");
    EXPECT_TRUE(CutoffControlsEnabled(false));
    EXPECT_EQ(PaletteOf(state), fullPalette);
    EXPECT_EQ(ReadWholeFile(MatrixFile()), fullPicture);
}

TEST_F(ColourControlsTest, CutoffOneBelowCutoffTwoStepsBack) {
    Load(6);
    state.choices.ColourMode = kThreeColour;
    SetCutoffs(80, 80);
    window.SetValue(Control::updCutoff1, 79);  // the user steps down
    EXPECT_EQ(window.messages,
              (std::vector<std::string>{"The value of cut-off1 cannot be less than the value of "
                                        "cut-off2  80"}));
    EXPECT_EQ(window.Value(Control::updCutoff1), 80);
    EXPECT_EQ(state.cutoff1, 80.0f);
    EXPECT_EQ(window.Caption(Control::lblCutoff1dsply), "80");
    EXPECT_TRUE(ReadEmf(MatrixFile()).has_value()) << "the accepted value redraws";
}

TEST_F(ColourControlsTest, CutoffOneRedrawsWithTheNewBand) {
    Load(6, 0.5f);
    state.choices.ColourMode = kThreeColour;
    SetCutoffs(94, 78);
    window.SetValue(Control::updCutoff1, 95);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(state.cutoff1, 95.0f);
    EXPECT_EQ(window.Caption(Control::lblCutoff1dsply), "95");
    EXPECT_EQ(Status(), (std::vector<std::string>{"Displaying the matrix ...", "Done"}));
    EXPECT_EQ(window.viewDrawings, 1) << "the screen is redrawn";
    // 0.9f on screen is green now: (90 - 78) / (95 - 78) x 21 + 20 = 34.8 -> 35.
    EXPECT_EQ(CellColourIndex(state, 0.9f), 35);
}

TEST_F(ColourControlsTest, CutoffTwoAboveCutoffOneBecomesCutoffOne) {
    Load(6);
    state.choices.ColourMode = kThreeColour;
    SetCutoffs(90, 80);
    window.SetValue(Control::UpdCutoff2, 91);
    EXPECT_EQ(window.messages,
              (std::vector<std::string>{
                  "The value of cut-off2 cannot be greater than the value of cut-off1  90"}));
    EXPECT_EQ(window.Value(Control::UpdCutoff2), 90);
    EXPECT_EQ(state.cutoff2, 90.0f);
    EXPECT_EQ(window.Caption(Control::lblCutoff2dsply), "90");
}

TEST_F(ColourControlsTest, CutoffTwoBelowTheMinimumRepeatsTheMessageUntilItReachesIt) {
    struct Case {
        double minIdentity;
        int from, accepted;
        const char* message;
    };
    const Case cases[] = {
        {0.72456, 70, 73,
         "The value of cut-off2 cannot be less than the minimun pairwise identity score  72.46%"},
        {0.72, 71, 72,
         "The value of cut-off2 cannot be less than the minimun pairwise identity score  72%"},
    };
    for (const Case& c : cases) {
        Load(6);
        state.choices.ColourMode = kThreeColour;
        state.minIdentity = c.minIdentity;
        SetCutoffs(94, c.accepted);
        window.messages.clear();
        window.SetValue(Control::UpdCutoff2, c.from);
        EXPECT_EQ(window.messages, std::vector<std::string>(
                                       static_cast<std::size_t>(c.accepted - c.from), c.message));
        EXPECT_EQ(window.Value(Control::UpdCutoff2), c.accepted);
        EXPECT_EQ(state.cutoff2, static_cast<float>(c.accepted));
    }
}

TEST_F(ColourControlsTest, CutoffsActOnlyWhileAMatrixIsShown) {
    Load(6);
    shown.windowState = WindowState::Idle;
    window.SetValue(Control::updCutoff1, 50);
    window.SetValue(Control::UpdCutoff2, 99);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(state.cutoff1, 94.0f);
    EXPECT_EQ(state.cutoff2, 78.0f);
    EXPECT_FALSE(ReadWholeFile(MatrixFile()).has_value());
}

TEST_F(ColourControlsTest, LargeMatrixIsRecolouredOnScreenAndItsPictureMadeWhenCopied) {
    Load(501, 0.5f);
    WriteWholeFile(MatrixFile(), "an older analysis's picture");
    form.OnClick(Control::cmdColourScheme);
    EXPECT_EQ(state.choices.ColourMode, kThreeColour);
    EXPECT_FALSE(ReadWholeFile(MatrixFile()).has_value());  // never a stale one
    form.OnClick(Control::mnuCopyMatEMF);
    const auto picture = ReadEmf(MatrixFile());
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->Count(testing::kEmrRectangle), 501u * 502 / 2 + 22);
    EXPECT_FALSE(window.innerCanvas.ops.empty());
    EXPECT_EQ(window.viewDrawings, 1);
    EXPECT_TRUE(CutoffControlsEnabled(true));
}

TEST_F(ColourControlsTest, MatrixButtonDrawsAndSetsTheControls) {
    Load(5);
    state.choices.ColourMode = kThreeColour;
    window.SetEnabled(Control::mnuSavePlot, true);
    form.OnClick(Control::cmdDrawMat);
    EXPECT_FALSE(window.IsEnabled(Control::cmdDrawMat));
    for (Control c :
         {Control::cmdPlot, Control::cmdZoomIn, Control::cmdColourScheme, Control::mnuSaveMatrix,
          Control::mnuCopyMat, Control::mnuSaveSimScore, Control::mnuZoomFit, Control::mnuFind})
        EXPECT_TRUE(window.IsEnabled(c)) << ControlName(c);
    // Five sequences are in view whole: no zooming out.
    EXPECT_FALSE(window.IsEnabled(Control::cmdZoomOut));
    EXPECT_FALSE(window.IsEnabled(Control::mnuSavePlot));
    EXPECT_FALSE(window.IsEnabled(Control::mnuCopyPlot));
    EXPECT_TRUE(CutoffControlsEnabled(true));
    EXPECT_FALSE(window.IsVisible(Control::keyPicture));  // the picture's own key is the one
    EXPECT_EQ(PaletteOf(state)[0], (Rgb{0, 228, 255}));
    EXPECT_TRUE(ReadEmf(MatrixFile()).has_value());
    EXPECT_FALSE(window.innerCanvas.ops.empty());
}

TEST_F(ColourControlsTest, MatrixButtonDrawsAMatrixAboveFiveHundred) {
    Load(501);
    form.OnClick(Control::cmdDrawMat);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_FALSE(window.innerCanvas.ops.empty());
    for (Control c :
         {Control::cmdColourScheme, Control::cmdZoomIn, Control::cmdZoomOut, Control::mnuSaveMatrix,
          Control::mnuBMP, Control::mnuCopyMat, Control::cmdPlot})
        EXPECT_TRUE(window.IsEnabled(c)) << ControlName(c);
    EXPECT_FALSE(window.IsEnabled(Control::cmdDrawMat));
    EXPECT_FALSE(ReadWholeFile(MatrixFile()).has_value());  // made when a copy asks for it
}

}  // namespace
}  // namespace kvr
