#include "ui/open_handlers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "fakes/fake_shell.h"
#include "fakes/recording_window.h"
#include "io/program_folder.h"
#include "support/temp_folder.h"
#include "ui/control_states.h"
#include "ui/main_form.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::TempFolder;

class OpenHandlersTest : public ::testing::Test {
  protected:
    TempFolder program;
    TempFolder data;
    RunState state;
    RecordingWindow window;
    FakeShell shell;
    std::string before = CurrentDirectory();
    MainForm form{state, window, shell, program.Path()};
    int optionsShown = 0;
    std::vector<std::string> sessionsLoaded;

    void SetUp() override {
        form.Load();
        form.showRunOptions = [this] { ++optionsShown; };
    }
    void TearDown() override { ASSERT_EQ(::chdir(before.c_str()), 0); }

    std::string Fasta(const std::string& name) {
        return data.Write(name, ">a\nACGT\n>b\nAGGT\n>c\nAGGA\n");
    }
};

TEST_F(OpenHandlersTest, OpenLoadsFastaAndOffersTheRun) {
    const std::string path = Fasta("three.fas");
    window.dialogAnswers = {path};
    form.OnClick(Control::mnuOpenFile);

    EXPECT_EQ(window.dialogFolders.back(), program.Path());
    ASSERT_TRUE(form.next.has_value());
    EXPECT_EQ(form.next->state.inputPath, path);
    EXPECT_EQ(window.Caption(Control::lblFilePath), "FASTA file   - " + path);
    EXPECT_EQ(window.captionHistory[Control::frmMainForm].end()[-2],
              "Kavorin - version 1 | " + path);
    EXPECT_EQ(window.Caption(Control::frmMainForm), "Kavorin - version 1 | 3 sequences");
    EXPECT_EQ(window.Caption(Control::lblProgress), "3 sequences loaded");
    EXPECT_EQ(form.next->kind, RunKind::Fresh);
    EXPECT_EQ(form.shown.windowState, WindowState::AwaitingRun);
    EXPECT_EQ(optionsShown, 1);
    EXPECT_TRUE(window.IsEnabled(Control::mnuOpenFile));
    EXPECT_TRUE(window.IsDropEnabled(Control::frmMainForm));
    EXPECT_EQ(state.choices.lastFolder, data.Path());  // the folder the dialog ended in
    EXPECT_EQ(window.ToolTip(Control::ZoomingPicture), "Drag and drop here a file to analyse");
}

TEST_F(OpenHandlersTest, CancelledOpenChangesNothingOnDisplay) {
    window.dialogAnswers = {Fasta("three.fas")};
    form.OnClick(Control::mnuOpenFile);
    const RecordTable loaded = form.next->state.InputSequences;
    const std::string caption = window.Caption(Control::frmMainForm);
    window.dialogAnswers.clear();
    form.OnClick(Control::mnuOpenFile);
    EXPECT_EQ(window.Caption(Control::frmMainForm), caption);
    EXPECT_EQ(window.Caption(Control::lblProgress), "3 sequences loaded");
    EXPECT_EQ(window.ToolTip(Control::ZoomingPicture), "Drag and drop here a file to analyse");
    ASSERT_TRUE(form.next.has_value());
    EXPECT_EQ(form.next->state.InputSequences, loaded);
    EXPECT_EQ(optionsShown, 1);
}

TEST_F(OpenHandlersTest, FailedOpenLeavesOpeningAvailable) {
    window.dialogAnswers = {data.Write("one.fas", ">only\nACGT\n")};
    form.OnClick(Control::mnuOpenFile);
    EXPECT_EQ(window.messages.back(), "Only one record found, add more sequences and try again.");
    EXPECT_FALSE(form.next.has_value());
    EXPECT_EQ(form.shown.windowState, WindowState::Idle);
    EXPECT_TRUE(window.IsEnabled(Control::mnuOpenFile));
    EXPECT_TRUE(window.IsDropEnabled(Control::ZoomingPicture));
    EXPECT_EQ(optionsShown, 0);
}

TEST_F(OpenHandlersTest, DropsNameTheirTargetAndRefuseSeveralFiles) {
    const std::string path = Fasta("three.fas");
    form.OnFilesDropped(Control::frmMainForm, {path, path});
    form.OnFilesDropped(Control::ZoomingPicture, {path, path});
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_EQ(window.messages[0],
              "You cannot process more than one file at once. Please drag and drop only one FASTA "
              "file or one .KVR file.");
    EXPECT_EQ(window.messages[1],
              "You cannot process more than one file. Please drag and drop only one FASTA file or "
              "one .KVR file.");
    EXPECT_FALSE(form.next.has_value());

    form.OnFilesDropped(Control::frmMainForm, {path});
    EXPECT_EQ(window.Caption(Control::lblFilePath), "FASTA file  - " + path);
    EXPECT_EQ(window.Caption(Control::lblProgress), "3 sequences loaded");
    ASSERT_TRUE(form.next.has_value());
    EXPECT_EQ(form.next->state.inputPath, path);

    form.OnFilesDropped(Control::ZoomingPicture, {path});
    EXPECT_EQ(window.captionHistory[Control::frmMainForm].end()[-2], "Kavorin - version 1");
    EXPECT_EQ(window.ToolTip(Control::ZoomingPicture), "");  // cleared, not restored
    EXPECT_EQ(optionsShown, 2);
}

TEST_F(OpenHandlersTest, SessionFilesAreToldApartByTheirName) {
    form.loadSession = [this](const std::string& path) {
        sessionsLoaded.push_back(path);
        form.shown.windowState = WindowState::Analysis;  // as a session on display
        ApplyControlStates(state, form.shown, window);
        return true;
    };
    const std::string upper = data.Write("x.KVR", ">a\nACGT\n>b\nAGGT\n");
    form.OnFilesDropped(Control::frmMainForm, {upper});  // drops ignore letter case
    ASSERT_EQ(sessionsLoaded.size(), 1u);
    EXPECT_EQ(window.Caption(Control::lblFilePath), "KVR file | " + upper);
    EXPECT_EQ(state.inputPath, upper);

    window.dialogAnswers = {upper};  // the menu compares case-sensitively: read as FASTA
    form.OnClick(Control::mnuOpenFile);
    EXPECT_EQ(sessionsLoaded.size(), 1u);
    EXPECT_EQ(window.Caption(Control::lblFilePath), "FASTA file   - " + upper);

    std::filesystem::create_directory(data.File("results.kvr.d"));
    const std::string inFolder = data.Write("results.kvr.d/seqs.fas", ">a\nA\n>b\nC\n");
    form.OnFilesDropped(Control::ZoomingPicture, {inFolder});
    ASSERT_EQ(sessionsLoaded.size(), 2u);
    EXPECT_EQ(window.Caption(Control::lblFilePath), "KVR file - " + inFolder);
}

TEST_F(OpenHandlersTest, DropsAreIgnoredWhileSwitchedOff) {
    window.SetDropEnabled(Control::frmMainForm, false);
    form.OnFilesDropped(Control::frmMainForm, {Fasta("three.fas")});
    EXPECT_FALSE(form.next.has_value());
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(OpenHandlersTest, LoadsARealDataSet) {
    form.OnFilesDropped(Control::frmMainForm, {DataFile("rrna5s_48.fasta")});
    EXPECT_EQ(window.Caption(Control::lblProgress), "48 sequences loaded");
    ASSERT_TRUE(form.next.has_value());
    EXPECT_EQ(form.next->state.seqCount, 48);
}

}  // namespace
}  // namespace kvr
