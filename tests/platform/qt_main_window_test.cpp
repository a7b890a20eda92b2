#include "platform/qt/qt_main_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include "fakes/fake_shell.h"
#include "io/program_folder.h"
#include "platform/qt/help_window.h"
#include "platform/qt/up_down.h"
#include "support/temp_folder.h"
#include "ui/layout.h"
#include "ui/main_form.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::TempFolder;

class QtMainWindowTest : public ::testing::Test {
  protected:
    TempFolder program;
    std::string before = CurrentDirectory();
    RunState state;
    QtMainWindow window;
    FakeShell shell;
    MainForm form{state, window, shell, program.Path()};

    void SetUp() override {
        window.SetEvents(&form);
        form.Load();
    }
    void TearDown() override { ASSERT_EQ(::chdir(before.c_str()), 0); }
};

TEST_F(QtMainWindowTest, MenusHaveTheirCaptionsAndNesting) {
    struct Case {
        Control control;
        const char* caption;
        Control parent;  // frmMainForm: on the menu bar
    };
    const Case cases[] = {
        {Control::mnuOpenFile, "&Open", Control::frmMainForm},
        {Control::mnuSave, "&Save", Control::frmMainForm},
        {Control::mnuSaveSession, "Save KVR file", Control::mnuSave},
        {Control::mnuSaveSimScore, "Save identity scores", Control::mnuSave},
        {Control::mnuColumn, "Scores in column", Control::mnuSaveSimScore},
        {Control::mnuMat, "Scores in a matrix", Control::mnuSaveSimScore},
        {Control::mnuSaveMatrix, "Save matrix picture", Control::mnuSave},
        {Control::mnuEMF, "EMF format", Control::mnuSaveMatrix},
        {Control::mnuBMP, "BMP format", Control::mnuSaveMatrix},
        {Control::mnuSavePlot, "Save plot", Control::mnuSave},
        {Control::mnuEMF2, "EMF format", Control::mnuSavePlot},
        {Control::mnuBMP2, "BMP format", Control::mnuSavePlot},
        {Control::mnuPlotData, "Plot data", Control::mnuSavePlot},
        {Control::mnuCopyMat, "Copy matrix to clipboad", Control::mnuSave},
        {Control::mnuCopyMatEMF, "EMF format", Control::mnuCopyMat},
        {Control::mnuCopyMatBMP, "BMP format", Control::mnuCopyMat},
        {Control::mnuCopyPlot, "Copy plot to clipboard", Control::mnuSave},
        {Control::mnuCopyPlotEMF, "EMF format", Control::mnuCopyPlot},
        {Control::mnuCopyPlotBMP, "BMP format", Control::mnuCopyPlot},
        {Control::mnuSaveSeqs, "Create datasets [based on p-identities]", Control::mnuSave},
        {Control::mnu_Save_All, "Save all sequences [as sorted in the matrix]", Control::mnuSave},
        {Control::mnuSaveGroups, "Save groups...", Control::mnuSave},
        {Control::mnuSaveTree, "Save tree (Newick)...", Control::mnuSave},
        {Control::mnuProperties, "Properties...", Control::mnuSave},
        {Control::mnuRerun, "&Rerun", Control::frmMainForm},
        {Control::mnuAppend, "&Append", Control::frmMainForm},
        {Control::mnuStop, "&Exit", Control::frmMainForm},
    };
    for (const Case& c : cases) {
        QAction* action = window.ActionOf(c.control);
        ASSERT_NE(action, nullptr) << ControlName(c.control);
        EXPECT_EQ(action->text().toStdString(), c.caption);
        const QList<QAction*> siblings = c.parent == Control::frmMainForm
                                             ? window.menuBar()->actions()
                                             : window.ActionOf(c.parent)->menu()->actions();
        EXPECT_TRUE(siblings.contains(action)) << ControlName(c.control);
    }
}

TEST_F(QtMainWindowTest, StartsIdleWithOnlyOpenAndExit) {
    for (int i = 0; i < kControlCount; ++i) {
        const Control c = static_cast<Control>(i);
        if (c == Control::frmSplash || c == Control::InnerPicture || c == Control::keyPicture)
            continue;  // no widget of their own: the matrix picture carries its key
        EXPECT_TRUE(window.WidgetOf(c) != nullptr || window.ActionOf(c) != nullptr)
            << ControlName(c);
    }
    const QList<QAction*> bar = window.menuBar()->actions();
    for (QAction* action : bar) {
        // Besides opening and leaving, only the View menu's choice of colours.
        const bool expected = action == window.ActionOf(Control::mnuOpenFile) ||
                              action == window.ActionOf(Control::mnuStop) ||
                              action->text() == QStringLiteral("&View");
        EXPECT_EQ(action->isEnabled(), expected) << action->text().toStdString();
    }
    for (Control c : {Control::cmdDrawMat, Control::cmdPlot, Control::cmdZoomIn,
                      Control::cmdZoomOut, Control::cmdColourScheme, Control::updCutoff1,
                      Control::UpdCutoff2, Control::VScroll1, Control::HScroll1})
        EXPECT_FALSE(window.WidgetOf(c)->isEnabled()) << ControlName(c);
    EXPECT_EQ(window.windowTitle().toStdString(), "Kavorin - version 1");
    EXPECT_EQ(window.Caption(Control::cmdColourScheme), "3 colour mode");
    EXPECT_EQ(window.Caption(Control::cmdDrawMat), "&Matrix");
    EXPECT_EQ(window.Caption(Control::cmdPlot), "&Plot");
    EXPECT_EQ(window.Caption(Control::lblCutoff1), "Cut-off 1");
    EXPECT_EQ(window.Caption(Control::lblCutoff1dsply), "94");
    EXPECT_EQ(window.Caption(Control::lblCutoff2dsply), "78");
    EXPECT_EQ(window.Caption(Control::frmOptions), "Alignment programs");
    EXPECT_EQ(window.Caption(Control::chkOptions),
              "Cluster sequences using a neigbor joining tree");
    EXPECT_EQ(window.Caption(Control::chkAmbiguous), "Skip ambiguous bases (N, R, Y, ...)");
    EXPECT_FALSE(window.IsChecked(Control::chkAmbiguous));
    EXPECT_TRUE(window.IsChecked(Control::oMuscle));
    EXPECT_EQ(window.Caption(Control::frmIdentityPrct), "Create datasets");
    EXPECT_EQ(window.Caption(Control::Label2), "Minimum sequence identity  (%):");
    EXPECT_FALSE(window.IsFormShown(Control::frmOptions));
    EXPECT_FALSE(window.IsVisible(Control::keyPicture));
}

TEST_F(QtMainWindowTest, SizedCentredAndLaidOutInTwips) {
    const Size screen = window.ScreenSize();
    const Size least{std::min(MinimumMainWindowSize().width, screen.width),
                     std::min(MinimumMainWindowSize().height, screen.height)};
    const Rect frame = window.Geometry(Control::frmMainForm);
    EXPECT_NEAR(frame.width, std::min(std::max(screen.width * 0.63, least.width), screen.width),
                15);
    EXPECT_NEAR(frame.height,
                std::min(std::max(screen.height * 0.85555, least.height), screen.height), 15);
    EXPECT_NEAR(frame.left * 2 + frame.width, screen.width, 30);
    EXPECT_NEAR(frame.top * 2 + frame.height, screen.height, 30);
    const Rect outer = window.Geometry(Control::OuterPicture);
    EXPECT_DOUBLE_EQ(outer.top, 315);
    EXPECT_NEAR(outer.width, frame.width - 750, 1);
    EXPECT_EQ(window.WidgetOf(Control::OuterPicture)->geometry().top(), 21);  // 315 twips
}

TEST_F(QtMainWindowTest, DroppedFastaLoadsIntoTheRealWidgets) {
    form.OnFilesDropped(Control::frmMainForm, {DataFile("rrna5s_48.fasta")});
    EXPECT_EQ(window.Caption(Control::lblProgress), "48 sequences loaded");
    EXPECT_EQ(window.windowTitle().toStdString(), "Kavorin - version 1 | 48 sequences");
    EXPECT_EQ(window.Caption(Control::lblFilePath), "FASTA file  - " + DataFile("rrna5s_48.fasta"));
    EXPECT_TRUE(window.ActionOf(Control::mnuOpenFile)->isEnabled());
}

TEST_F(QtMainWindowTest, ValueChangesReachTheHandlers) {
    std::vector<int> seen;
    form.changeHandlers[Control::updCutoff1] = [&](int value) { seen.push_back(value); };
    EXPECT_EQ(window.Value(Control::updCutoff1), 94);
    EXPECT_EQ(window.Value(Control::UpdCutoff2), 78);
    EXPECT_EQ(window.Maximum(Control::updCutoff1), 99);
    window.SetValue(Control::updCutoff1, 85);
    window.SetValue(Control::updCutoff1, 85);   // unchanged: no event
    window.SetValue(Control::updCutoff1, 120);  // held to the upper stop
    EXPECT_EQ(seen, (std::vector<int>{85, 99}));
    EXPECT_EQ(window.Value(Control::updCutoff1), 99);
}

// Lets the window's events run for a while, timers included.
void RunEventsFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST_F(QtMainWindowTest, AMessageStopsAHeldSpinArrow) {
    // The arrow is held down: it steps on its own. A message box, which takes the mouse's
    // release, must end the stepping, or every step past a limit would open another box.
    auto* spin = qobject_cast<UpDown*>(window.WidgetOf(Control::updCutoff1));
    ASSERT_NE(spin, nullptr);
    window.SetValue(Control::updCutoff1, 50);
    QToolButton* up = spin->findChildren<QToolButton*>().front();
    up->setDown(true);
    RunEventsFor(700);
    const int held = window.Value(Control::updCutoff1);
    ASSERT_GT(held, 50);  // it does step while held

    QTimer::singleShot(100, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    window.ShowMessage("The value of cut-off1 cannot be less than the value of cut-off2");
    const int afterMessage = window.Value(Control::updCutoff1);
    RunEventsFor(700);
    EXPECT_EQ(window.Value(Control::updCutoff1), afterMessage);
    EXPECT_LE(afterMessage, held + 1);
}

TEST_F(QtMainWindowTest, ClosingTheOptionsWindowGivesUpItsRun) {
    form.OnFilesDropped(Control::frmMainForm, {DataFile("rrna5s_48.fasta")});
    ASSERT_EQ(form.shown.windowState, WindowState::AwaitingRun);
    auto* options = qobject_cast<QDialog*>(window.WidgetOf(Control::frmOptions));
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(options->isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(options, &escape);
    EXPECT_EQ(form.shown.windowState, WindowState::Idle);
    EXPECT_FALSE(form.next.has_value());
    EXPECT_FALSE(window.IsFormShown(Control::frmOptions));
    EXPECT_EQ(window.windowTitle().toStdString(), "Kavorin - version 1");
}

TEST_F(QtMainWindowTest, HelpDefinesIdentityAndShowsThePictures) {
    ShowHelp(&window);
    const QList<QTextBrowser*> pages = window.findChildren<QTextBrowser*>();
    ASSERT_EQ(pages.size(), 1);
    const QString text = pages.front()->toPlainText();
    EXPECT_TRUE(text.contains("neither sequence has a gap")) << text.toStdString();
    for (const char* picture : {":/help/matrix_rrna5s_48.png", ":/help/plot_rrna5s_48.png"})
        EXPECT_FALSE(QImage(QString::fromLatin1(picture)).isNull()) << picture;
}

}  // namespace
}  // namespace kvr
