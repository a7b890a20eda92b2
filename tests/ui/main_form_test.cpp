#include "ui/main_form.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "fakes/fake_shell.h"
#include "fakes/recording_window.h"
#include "io/file_io.h"
#include "io/program_folder.h"
#include "support/temp_folder.h"
#include "ui/layout.h"

namespace kvr {
namespace {

using testing::TempFolder;

class MainFormTest : public ::testing::Test {
  protected:
    TempFolder program;
    RunState state;
    RecordingWindow window;
    FakeShell shell;
    std::string before = CurrentDirectory();
    MainForm form{state, window, shell, program.Path()};

    void TearDown() override { ASSERT_EQ(::chdir(before.c_str()), 0); }
};

TEST_F(MainFormTest, LoadPutsEveryControlInItsIdleState) {
    window.screen = Size{1600 * 15.0, 1000 * 15.0};
    state.cutoff1 = 50;  // a previous value must not survive start-up
    form.Load();

    EXPECT_EQ(CurrentDirectory(), before) << "the folders are passed, not made current";
    EXPECT_EQ(state.choices.lastFolder, program.Path());
    const Rect frame = window.Geometry(Control::frmMainForm);
    EXPECT_DOUBLE_EQ(frame.width, 1600 * 15.0 * 0.63);
    EXPECT_DOUBLE_EQ(frame.height, 1000 * 15.0 * 0.85555);
    EXPECT_DOUBLE_EQ(frame.left * 2 + frame.width, 1600 * 15.0);
    EXPECT_DOUBLE_EQ(frame.top * 2 + frame.height, 1000 * 15.0);

    const Control disabled[] = {
        Control::VScroll1,        Control::HScroll1,        Control::cmdDrawMat,
        Control::cmdPlot,         Control::cmdZoomIn,       Control::cmdZoomOut,
        Control::cmdColourScheme, Control::mnuSaveSimScore, Control::mnuSave,
        Control::mnuSaveMatrix,   Control::mnuSavePlot,     Control::mnuCopyMat,
        Control::mnuCopyPlot,     Control::mnuSaveSession,  Control::lblCutoff1,
        Control::updCutoff1,      Control::lblCutoff1dsply, Control::lblCutoff2,
        Control::UpdCutoff2,      Control::lblCutoff2dsply, Control::mnuRerun,
        Control::mnuAppend};
    for (Control c : disabled) EXPECT_FALSE(window.IsEnabled(c)) << ControlName(c);
    EXPECT_TRUE(window.IsEnabled(Control::mnuOpenFile));
    EXPECT_TRUE(window.IsEnabled(Control::mnuStop));
    EXPECT_TRUE(window.IsDropEnabled(Control::frmMainForm));
    EXPECT_TRUE(window.IsDropEnabled(Control::ZoomingPicture));

    EXPECT_EQ(window.Caption(Control::frmMainForm), "Kavorin - version 1");
    EXPECT_EQ(window.Caption(Control::cmdColourScheme), "3 colour mode");
    EXPECT_EQ(window.Caption(Control::lblCutoff1dsply), "94");
    EXPECT_EQ(window.Caption(Control::lblCutoff2dsply), "78");
    EXPECT_EQ(window.ToolTip(Control::ZoomingPicture), "Drag and drop here a file to analyse");
    EXPECT_EQ(state.cutoff1, 94.0f);
    EXPECT_EQ(state.cutoff2, 78.0f);
    EXPECT_EQ(state.choices.ColourMode, 0);
    EXPECT_EQ(state.seqCount, 0);
    EXPECT_FALSE(state.choices.useTree);
}

TEST_F(MainFormTest, LayoutFollowsTheWindowSize) {
    window.screen = Size{1600 * 15.0, 1000 * 15.0};
    form.Load();
    const Rect frame = window.Geometry(Control::frmMainForm);
    // At start-up the vertical bar starts at 3.5 % of the height; a resize puts it at the
    // viewport's top.
    EXPECT_DOUBLE_EQ(window.Geometry(Control::VScroll1).top, frame.height * 0.035);

    window.SetGeometry(Control::frmMainForm, Rect{0, 0, 20000, 9000});
    form.OnResized();
    const Rect outer = window.Geometry(Control::OuterPicture);
    EXPECT_EQ(outer, (Rect{50, 315, 20000 - 750, 9000 - 2500}));
    EXPECT_DOUBLE_EQ(window.Geometry(Control::VScroll1).top, 315);
    EXPECT_DOUBLE_EQ(window.Geometry(Control::VScroll1).left, outer.Right() + 50);
    EXPECT_DOUBLE_EQ(window.Geometry(Control::HScroll1).top, outer.Bottom() + 50);
    const double button = 20000 * 0.0988;
    const Rect draw = window.Geometry(Control::cmdDrawMat);
    EXPECT_DOUBLE_EQ(draw.width, button);
    EXPECT_DOUBLE_EQ(draw.left, (20000 - (6 * button + 100)) / 2);
    EXPECT_DOUBLE_EQ(window.Geometry(Control::cmdColourScheme).left, draw.left + 4 * (button + 25));
    EXPECT_DOUBLE_EQ(window.Geometry(Control::lblCutoff1).left,
                     draw.left + 5 * (button + 25) - 25 + 375);
    const Rect status = window.Geometry(Control::Frame2);
    EXPECT_DOUBLE_EQ(status.height, 9000 * 0.05);
    EXPECT_DOUBLE_EQ(status.width, 255 + outer.width + 50);
    EXPECT_DOUBLE_EQ(window.Geometry(Control::ProgressBar1).width, status.width * 0.78);
    EXPECT_DOUBLE_EQ(window.Geometry(Control::lblFilePath).top, status.Bottom() + 25);

    // A window smaller than the reserved margins still gets a viewport of positive size.
    window.SetGeometry(Control::frmMainForm, Rect{0, 0, 600, 2000});
    form.OnResized();
    EXPECT_EQ(window.Geometry(Control::OuterPicture), (Rect{50, 315, 150, 500}));
}

TEST_F(MainFormTest, DisabledControlsIgnoreClicks) {
    form.Load();
    int runs = 0;
    form.clickHandlers[Control::cmdDrawMat] = [&] { ++runs; };
    form.OnClick(Control::cmdDrawMat);
    EXPECT_EQ(runs, 0);
    window.SetEnabled(Control::cmdDrawMat, true);
    form.OnClick(Control::cmdDrawMat);
    EXPECT_EQ(runs, 1);
}

TEST_F(MainFormTest, ExitAsksAndStoresTheLastFolderOnYes) {
    form.Load();
    state.choices.lastFolder = "/tmp";
    form.OnClick(Control::mnuStop);  // no answer scripted: No
    EXPECT_EQ(window.questions.back(), "Are you sure you want to exit KVR?");
    EXPECT_FALSE(window.quitCalled);
    EXPECT_FALSE(ReadWholeFile(program.File("kvr.ini")));

    window.yesNoAnswers = {false};
    EXPECT_FALSE(form.OnCloseRequested());
    EXPECT_FALSE(window.quitCalled);

    window.yesNoAnswers = {true};
    EXPECT_TRUE(form.OnCloseRequested());
    EXPECT_TRUE(window.quitCalled);
    // The folder line first, as older programs read it, then the window's place.
    const Rect frame = window.Geometry(Control::frmMainForm);
    EXPECT_EQ(*ReadWholeFile(program.File("kvr.ini")),
              "\"/tmp\"\r\nwindow=" + std::to_string(int(frame.left)) + "," +
                  std::to_string(int(frame.top)) + "," + std::to_string(int(frame.width)) + "," +
                  std::to_string(int(frame.height)) + "\r\n");
}

TEST_F(MainFormTest, EveryControlFitsASmallScreen) {
    window.screen = Size{1024 * 15.0, 768 * 15.0};
    form.Load();
    const Rect frame = window.Geometry(Control::frmMainForm);
    EXPECT_EQ(window.minimumSize, MinimumMainWindowSize());  // which fits 1024 x 768
    EXPECT_GE(frame.width, window.minimumSize.width);
    EXPECT_LE(frame.Right(), 1024 * 15.0);
    // The last control of the row, and the buttons wide enough for "Full colour mode".
    EXPECT_LE(window.Geometry(Control::lblCutoff2dsply).Right(), frame.width);
    EXPECT_GE(window.Geometry(Control::cmdColourScheme).width, 110 * 15);
    // At the least size too.
    window.SetGeometry(Control::frmMainForm, Rect{0, 0, MinimumMainWindowSize().width, 8400});
    form.OnResized();
    EXPECT_LE(window.Geometry(Control::lblCutoff2dsply).Right(), MinimumMainWindowSize().width);
}

TEST_F(MainFormTest, TheWindowReturnsWhereTheUserLeftIt) {
    window.screen = Size{1600 * 15.0, 1000 * 15.0};
    form.Load();
    const Rect moved{1500, 900, 15000, 11000};
    window.SetGeometry(Control::frmMainForm, moved);
    window.yesNoAnswers = {true};
    form.OnCloseRequested();

    RunState next;
    RecordingWindow again;
    again.screen = window.screen;
    MainForm reopened{next, again, shell, program.Path()};
    reopened.Load();
    EXPECT_EQ(again.Geometry(Control::frmMainForm), moved);

    // Off a smaller screen it is placed anew.
    RecordingWindow small;
    small.screen = Size{1024 * 15.0, 768 * 15.0};
    MainForm elsewhere{next, small, shell, program.Path()};
    elsewhere.Load();
    EXPECT_LE(small.Geometry(Control::frmMainForm).Right(), 1024 * 15.0);
}

}  // namespace
}  // namespace kvr
