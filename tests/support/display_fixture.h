// A main form on a recording window, with an analysis ready to display: for tests of the matrix
// and plot handlers. Value changes made by code reach the handlers, as in the real window.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include "fakes/fake_shell.h"
#include "fakes/recording_window.h"
#include "io/program_folder.h"
#include "support/analysis_state.h"
#include "support/emf_reader.h"
#include "support/temp_folder.h"
#include "ui/layout.h"
#include "ui/main_form.h"

namespace kvr::testing {

class DisplayTest : public ::testing::Test {
  protected:
    TempFolder program;
    RunState state;
    RecordingWindow window;
    FakeShell shell;
    MainForm form{state, window, shell, program.Path()};
    WindowView& shown = form.shown;
    std::string before = CurrentDirectory();

    DisplayTest() {
        window.SetGeometry(Control::frmMainForm, Rect{0, 0, 18000, 13000});
        LayOutMainWindow(window);
        window.SetMaximum(Control::updCutoff1, 99);
        window.SetMaximum(Control::UpdCutoff2, 99);
        window.SetValue(Control::updCutoff1, 94);
        window.SetValue(Control::UpdCutoff2, 78);
        window.events = &form;
    }
    void TearDown() override { ASSERT_EQ(::chdir(before.c_str()), 0); }

    // An analysis of n sequences on display, identities from 1 down to
    // lowest.
    void Load(int n, float lowest = 0.6f) {
        state = MakeAnalysis(n, Gradient(n, lowest));
        shown.windowState = WindowState::Analysis;
    }
    // The cut-offs as stored and as the spin controls show them, without running the handlers.
    void SetCutoffs(int c1, int c2) {
        state.cutoff1 = static_cast<float>(c1);
        state.cutoff2 = static_cast<float>(c2);
        window.events = nullptr;
        window.SetValue(Control::updCutoff1, c1);
        window.SetValue(Control::UpdCutoff2, c2);
        window.events = &form;
    }
    std::string Work() const { return WorkFolder(program.Path()); }
    std::string MatrixFile() const { return JoinPath(Work(), "Identity_mat.emf"); }
    std::string PlotFile() const { return JoinPath(Work(), "Identity_distribution_plot.emf"); }
    const std::vector<std::string>& Status() { return window.captionHistory[Control::lblProgress]; }
};

}  // namespace kvr::testing
