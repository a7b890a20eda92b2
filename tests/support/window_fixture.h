// The main form on a recording window, driven as a user drives it: files opened, dropped and
// appended, runs started with the built-in aligner (or a hanging MUSCLE that the user cancels),
// the options window closed, the rerun question answered.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fakes/fake_shell.h"
#include "fakes/recording_window.h"
#include "io/program_folder.h"
#include "support/temp_folder.h"
#include "ui/layout.h"
#include "ui/main_form.h"

namespace kvr::testing {

// Two families of two, told apart at a glance.
inline constexpr const char* kFourSequences =
    ">a1\nACGTACGTTAGCATCGATCGGATCGATTACG\n>c1\nTTGACCGATCGATCGGGCTAGCTAGCTTTAA\n"
    ">a2\nACGTACGTTAGCATCGTTCGGATCGATTACG\n>c2\nTTGACCGATCGATCGGGCTAGCAAGCTTTAA\n";
inline constexpr const char* kThreeSequences =
    ">b1\nGGCATTACGATCGATTTACGGCATCAGGCTA\n>b2\nGGCATTACGTTCGATTTACGGCATCAGGCTA\n"
    ">b3\nCCTAGGATCGATCGAATTCGCGATAGCTAGC\n";
// Different residues, and yet every gap-free column alike: "All sequences are 100% similar".
inline constexpr const char* kAllAlike = ">h1\nACGTACGTACGTTAGC\n>h2\nACGTACGTACGTTAGCTTTT\n";

class WindowTest : public ::testing::Test {
  protected:
    TempFolder program;
    TempFolder data;
    RunState state;
    RecordingWindow window;
    FakeShell::Action action;
    FakeShell shell{[this](const std::string& command, const std::string& folder) {
        return action ? action(command, folder)
                      : ShellOutcome{ShellOutcome::Status::Ended, 0, 0, {}};
    }};
    MainForm form{state, window, shell, program.Path()};
    WindowView& shown = form.shown;
    std::string before = CurrentDirectory();

    WindowTest() {
        window.screen = Size{1920 * 15.0, 1080 * 15.0};
        window.SetGeometry(Control::frmMainForm, Rect{0, 0, 18000, 13000});
        window.SetGeometry(Control::frmOptions, Rect{0, 0, 4950, 3270});
        form.Load();
        LayOutMainWindow(window);
        window.SetMaximum(Control::updCutoff1, 99);
        window.SetMaximum(Control::UpdCutoff2, 99);
        window.events = &form;
    }
    void TearDown() override { ASSERT_EQ(::chdir(before.c_str()), 0); }

    void Open(const std::string& path) {
        window.dialogAnswers.push_back(path);
        form.OnClick(Control::mnuOpenFile);
    }
    void CancelledOpen() {
        window.dialogAnswers.clear();
        form.OnClick(Control::mnuOpenFile);
    }
    void Append(const std::string& path) {
        window.dialogAnswers.push_back(path);
        form.OnClick(Control::mnuAppend);
    }
    void AskRerun(bool yes) {
        window.yesNoAnswers.push_back(yes);
        form.OnClick(Control::mnuRerun);
    }
    // Presses Run with the built-in aligner and no tree, as the options window offers it.
    void Run() {
        Choose(Control::oBuiltin);
        form.OnClick(Control::CmdRun);
    }
    // Presses Run with MUSCLE, which hangs until the user presses Cancel.
    void RunAndCancel() {
        Choose(Control::oMuscle);
        action = [this](const std::string&, const std::string&) {
            form.OnClick(Control::cmdCancel);
            return ShellOutcome{ShellOutcome::Status::Running, 0, -1, {}};
        };
        shell.finish = FakeShell::Finish::InStartOrder;
        form.OnClick(Control::CmdRun);
        action = {};
    }
    // The options window's close button.
    void CloseOptions() {
        window.CloseForm(Control::frmOptions);
        form.OnFormClosed(Control::frmOptions);
    }

    std::vector<std::string> ShownNames() const {
        std::vector<std::string> names;
        for (const Record& r : state.SequenceList) names.push_back(r.name);
        return names;
    }
    // The tables of the analysis on display agree with its count: nothing reads past them.
    void ExpectTablesAgree() const {
        EXPECT_EQ(static_cast<int>(state.SequenceList.size()), state.seqCount);
        EXPECT_EQ(state.IdentityMatrix.Size(), state.seqCount);
    }

  private:
    void Choose(Control aligner) {
        for (Control c : {Control::oMuscle, Control::oClustalw, Control::oMafft, Control::oBuiltin})
            window.SetChecked(c, c == aligner);
        window.SetChecked(Control::chkOptions, false);
    }
};

}  // namespace kvr::testing
