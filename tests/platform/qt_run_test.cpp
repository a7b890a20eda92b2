// The desktop program end to end in its real Qt window (offscreen): a real FASTA file dropped on
// the window, MUSCLE and neighbor run through the Qt shell, the matrix drawn; a rerun writes
// "LastRun.kvr"; a cancelled run ends its aligner.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QTimer>
#include <filesystem>
#include <set>

#include "io/export_sets.h"
#include "io/file_io.h"
#include "io/program_folder.h"
#include "io/session_file.h"
#include "io/tree_newick.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/qimage_surface.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_shell.h"
#include "support/temp_folder.h"
#include "ui/main_form.h"
#include "ui/run_command.h"
#include "ui/window_states.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::TempFolder;

class QtRunTest : public ::testing::Test {
  protected:
    TempFolder program;
    TempFolder data;
    RunState state;
    QtMainWindow window;
    QtShell shell;
    MainForm form{state, window, shell, program.Path()};

    void SetUp() override {
        // The tree script and the aligner settings live beside the program.
        for (const char* file : {"RunNeighbor.sh", "aligners.conf"})
            std::filesystem::copy_file(std::string(KVR_BIN_DIR) + "/" + file, program.File(file));
        window.SetEvents(&form);
        form.Load();
        window.show();
    }
    // The first three 5S rRNAs: three pairs, a second or so for MUSCLE.
    std::string ThreeSequences() {
        const std::string text = *ReadWholeFile(DataFile("rrna5s_48.fasta"));
        std::size_t end = 0;
        for (int k = 0; k < 3; ++k) end = text.find('>', end + 1);
        return data.Write("three.fasta", text.substr(0, end));
    }
    void RunWith(Control aligner, bool tree) {
        ASSERT_TRUE(window.IsFormShown(Control::frmOptions));
        window.SetChecked(aligner, true);
        window.SetChecked(Control::chkOptions, tree);
        form.OnClick(Control::CmdRun);
    }
};

TEST_F(QtRunTest, MuscleWithTheTreeDrawsTheMatrixAndARerunWritesLastRun) {
    form.OnFilesDropped(Control::frmMainForm, {ThreeSequences()});
    ASSERT_TRUE(form.next.has_value());
    ASSERT_EQ(form.next->state.seqCount, 3);
    RunWith(Control::oMuscle, true);
    ASSERT_TRUE(form.shown.ShowsAnalysis()) << window.Caption(Control::lblProgress);
    EXPECT_EQ(state.seqCount, 3);
    EXPECT_EQ(state.choices.AlignerKind, Aligner::Muscle);
    EXPECT_TRUE(window.IsEnabled(Control::mnuRerun));
    EXPECT_TRUE(window.IsEnabled(Control::mnuOpenFile));
    EXPECT_FALSE(window.IsVisible(Control::cmdCancel));
    // The run made the tree: it can be saved, with the sequences' own names and no outgroup.
    EXPECT_TRUE(window.IsEnabled(Control::mnuSaveTree));
    const OrderedSet input = InputOrder(state);
    const Result<std::string> made = NewickText(state, input.names);
    ASSERT_TRUE(made) << made.problem().message;
    const std::string& tree = made.value();
    EXPECT_TRUE(tree.ends_with(");\n")) << tree;
    for (const std::string& name : input.names)
        EXPECT_NE(tree.find(NewickName(name)), std::string::npos) << name << " in " << tree;
    EXPECT_EQ(tree.find("out:"), std::string::npos) << tree;
    // The canvas holds a drawing, not the blank button face.
    const QImage canvas =
        static_cast<PictureView*>(window.WidgetOf(Control::ZoomingPicture))->shownImage();
    EXPECT_GT(canvas.width(), 100);
    std::set<QRgb> colours;
    for (int y = 0; y < canvas.height(); y += 2)
        for (int x = 0; x < canvas.width(); x += 2) colours.insert(canvas.pixel(x, y));
    EXPECT_GT(colours.size(), 4u);  // cells, names and the key, not one blank colour

    // As if Yes had been answered to the rerun question.
    AwaitRun(form, RunKind::Rerun, state, GiveUpNextAnalysis(form));
    RunWith(Control::oMuscle, true);
    EXPECT_FALSE(form.next.has_value());
    // With the record of the rerun: MUSCLE's own word on its version, and the tree it ordered by.
    EXPECT_EQ(state.provenance.Get("command"), "rerun");
    EXPECT_EQ(state.provenance.Get("aligner"), "muscle");
    EXPECT_TRUE(state.provenance.Get("aligner-version").starts_with("muscle 5"))
        << state.provenance.Get("aligner-version");
    EXPECT_EQ(state.provenance.Get("tree-order"), "yes");
    EXPECT_EQ(state.provenance.tree + "\n", tree);
    EXPECT_EQ(ReadWholeFile(JoinPath(WorkFolder(program.Path()), kLastRunName)),
              FormatSession(state.SequenceList, state.IdentityMatrix, 3, state.provenance));
}

TEST_F(QtRunTest, CancelEndsTheRunningAlignerAndTheWindowGoesOn) {
    // An aligner that would run for a minute; Cancel is pressed as soon as the run waits on it.
    const std::string marker = data.File("started");
    ::setenv("KVR_MUSCLE", ("touch " + marker + "; sleep 60; cp {in} {out}").c_str(), 1);
    form.OnFilesDropped(Control::frmMainForm, {ThreeSequences()});
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
        if (std::filesystem::exists(marker)) {
            press.stop();
            form.OnClick(Control::cmdCancel);
        }
    });
    press.start(20);
    const auto started = std::chrono::steady_clock::now();
    RunWith(Control::oMuscle, false);
    ::unsetenv("KVR_MUSCLE");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_EQ(window.Caption(Control::lblProgress), "Cancelled");
    EXPECT_EQ(form.shown.windowState, WindowState::Idle);  // nothing was on display before
    EXPECT_FALSE(form.next.has_value());
    EXPECT_TRUE(window.IsEnabled(Control::mnuOpenFile));
    for (const auto& entry : std::filesystem::directory_iterator(WorkFolder(program.Path())))
        EXPECT_FALSE(entry.path().filename().string().starts_with("run-")) << entry.path();
}

}  // namespace
}  // namespace kvr
