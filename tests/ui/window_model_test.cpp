// Random sequences of what a user does in the window (open, drop, append, rerun, run, cancel,
// close the options window, colour mode, cut-offs, zoom, plot and matrix, save), checked after
// every step against a model of what must be on display: the sequences of the last finished run
// (or session opened), under that file's name, with the controls of the window's state, and
// tables that agree with their count.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "io/file_io.h"
#include "io/session_file.h"
#include "support/analysis_state.h"
#include "support/window_fixture.h"

namespace kvr {
namespace {

using Names = std::vector<std::string>;

struct InputFile {
    std::string path;
    Names names;  // empty: refused
    bool session = false;
    Names appended = names;  // a single record is refused for opening, not for appending
};

// What must be on display, and what waits in the options window.
struct Model {
    Names shown;
    std::string shownFile;  // named by the file label
    bool awaiting = false;
    Names next;
    std::string nextFile;
};

class WindowModelTest : public testing::WindowTest, public ::testing::WithParamInterface<unsigned> {
  protected:
    std::vector<InputFile> files;

    WindowModelTest() {
        const RunState saved = testing::MakeAnalysis(5, testing::Gradient(5, 0.72f));
        files = {
            {data.Write("a.fasta", testing::kFourSequences), {">a1", ">c1", ">a2", ">c2"}},
            {data.Write("b.fasta", testing::kThreeSequences), {">b1", ">b2", ">b3"}},
            {data.Write("alike.fasta", testing::kAllAlike), {">h1", ">h2"}},
            {data.Write("one.fasta", ">only\nACGT\n"), {}, false, {">only"}},
            {data.Write("none.fasta", "no record here\n"), {}},
            {data.Write("s.kvr", FormatSession(saved.SequenceList, saved.IdentityMatrix, 5)),
             {">seq_1", ">seq_2", ">seq_3", ">seq_4", ">seq_5"},
             true},
            {data.Write("broken.kvr", "[[[>x\r\nACGT\r\n"), {}, true},
        };
    }

    // One step: does what the user does and what the model says it does.
    std::string Step(std::mt19937& random, Model& model) {
        const auto pick = [&](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
        };
        const InputFile& file = files[pick(files.size())];
        const bool showing = !model.shown.empty() && !model.awaiting;
        const auto opened = [&] {
            model.awaiting = false;
            if (file.names.empty()) return;  // refused: what was shown stays
            if (file.session) {
                model.shown = file.names;
                model.shownFile = file.path;
            } else {
                model.awaiting = true;
                model.next = file.names;
                model.nextFile = file.path;
            }
        };
        switch (pick(14)) {
            case 0:
                Open(file.path);
                opened();
                return "open " + file.path;
            case 1: {
                const Control target = pick(2) ? Control::ZoomingPicture : Control::frmMainForm;
                form.OnFilesDropped(target, {file.path});
                opened();
                return "drop " + file.path;
            }
            case 2:
                CancelledOpen();
                return "cancelled open";
            case 3:
                Append(file.path);
                if (showing && !file.session && !file.appended.empty()) {
                    model.awaiting = true;
                    model.next = model.shown;
                    model.next.insert(model.next.end(), file.appended.begin(), file.appended.end());
                    model.nextFile = file.path;
                }
                return "append " + file.path;
            case 4: {
                const bool yes = pick(3) != 0;
                AskRerun(yes);
                if (showing && yes) {
                    model.awaiting = true;
                    model.next = model.shown;
                    model.nextFile = model.shownFile;
                }
                return yes ? "rerun, Yes" : "rerun, No";
            }
            case 5:
            case 6:
                Run();
                if (model.awaiting) {
                    model.shown = model.next;
                    model.shownFile = model.nextFile;
                    model.awaiting = false;
                }
                return "run";
            case 7:
                RunAndCancel();
                model.awaiting = false;
                return "run, cancelled";
            case 8:
                CloseOptions();
                model.awaiting = false;
                return "close options";
            case 9:
                form.OnClick(Control::cmdColourScheme);
                return "colour mode";
            case 10: {
                const Control spin = pick(2) ? Control::updCutoff1 : Control::UpdCutoff2;
                const int value = 60 + static_cast<int>(pick(40));
                if (window.IsEnabled(spin)) window.SetValue(spin, value);
                return std::string(ControlName(spin)) + " " + std::to_string(value);
            }
            case 11: {
                const Control c = std::array{Control::cmdZoomIn, Control::cmdZoomOut,
                                             Control::cmdPlot, Control::cmdDrawMat}[pick(4)];
                form.OnClick(c);
                return std::string(ControlName(c));
            }
            case 12: {
                const std::string name = data.File("saved");
                window.dialogAnswers.push_back(name);
                form.OnClick(Control::mnuSaveSession);
                if (showing) {
                    const auto text = ReadWholeFile(name + ".kvr");
                    EXPECT_TRUE(text.has_value());
                    const auto records = text ? std::count(text->begin(), text->end(), '>') : 0;
                    EXPECT_EQ(static_cast<std::size_t>(records), model.shown.size());
                }
                return "save session";
            }
            default:
                form.OnClick(Control::cmdCancel);  // Esc with no run
                return "cancel";
        }
    }

    void Check(const Model& model) {
        window.dialogAnswers.clear();  // a dialog that a disabled menu never opened
        window.yesNoAnswers.clear();
        const WindowState expected = model.awaiting        ? WindowState::AwaitingRun
                                     : model.shown.empty() ? WindowState::Idle
                                                           : WindowState::Analysis;
        ASSERT_EQ(shown.windowState, expected);
        EXPECT_EQ(window.IsFormShown(Control::frmOptions), model.awaiting);
        EXPECT_EQ(form.next.has_value(), model.awaiting);
        EXPECT_EQ(ShownNames(), model.shown);
        ExpectTablesAgree();

        const auto caption = [](std::size_t n) {
            return "Kavorin - version 1 | " + std::to_string(n) + " sequences";
        };
        if (model.awaiting) {
            ASSERT_TRUE(form.next.has_value());
            // A rerun runs over the sequences on display, the others over those loaded for it.
            const NextAnalysis& next = *form.next;
            Names waiting;
            for (const Record& r :
                 next.kind == RunKind::Rerun ? next.state.SequenceList : next.state.InputSequences)
                waiting.push_back(r.name);
            EXPECT_EQ(waiting, model.next);
            EXPECT_EQ(next.state.seqCount, static_cast<int>(model.next.size()));
            // The title keeps the count of the analysis on display until the run has finished.
            EXPECT_TRUE(window.Caption(Control::frmMainForm)
                            .starts_with(caption(model.shown.empty() ? model.next.size()
                                                                     : model.shown.size())))
                << window.Caption(Control::frmMainForm);
        } else if (!model.shown.empty()) {
            // After an append, followed by every file the sequences came from.
            EXPECT_TRUE(
                window.Caption(Control::frmMainForm).starts_with(caption(model.shown.size())))
                << window.Caption(Control::frmMainForm);
            EXPECT_NE(window.Caption(Control::lblFilePath).find(model.shownFile), std::string::npos)
                << window.Caption(Control::lblFilePath);
        } else {
            EXPECT_EQ(window.Caption(Control::frmMainForm), "Kavorin - version 1");
            EXPECT_EQ(window.Caption(Control::lblFilePath), "");
        }

        const bool analysis = expected == WindowState::Analysis;
        const bool matrix = analysis && shown.view == AnalysisView::Matrix;
        EXPECT_TRUE(window.IsEnabled(Control::mnuOpenFile));
        EXPECT_TRUE(window.IsDropEnabled(Control::frmMainForm));
        EXPECT_FALSE(window.IsVisible(Control::cmdCancel));
        for (Control c :
             {Control::mnuSave, Control::mnuSaveSession, Control::mnuRerun, Control::mnuAppend})
            EXPECT_EQ(window.IsEnabled(c), analysis) << ControlName(c);
        for (Control c : {Control::cmdPlot, Control::cmdZoomIn, Control::cmdColourScheme,
                          Control::mnuSaveMatrix, Control::mnuCopyMat})
            EXPECT_EQ(window.IsEnabled(c), matrix) << ControlName(c);
        EXPECT_EQ(window.IsEnabled(Control::cmdDrawMat), analysis && !matrix);
        // The key's panel only over a matrix too large for its key to be in sight beside it.
        if (!matrix) {
            EXPECT_FALSE(window.IsVisible(Control::keyPicture));
        }
        for (Control c : {Control::lblCutoff1, Control::updCutoff1, Control::lblCutoff1dsply,
                          Control::lblCutoff2, Control::UpdCutoff2, Control::lblCutoff2dsply})
            EXPECT_EQ(window.IsEnabled(c), matrix && state.choices.ColourMode == kThreeColour)
                << ControlName(c);

        if (analysis) {
            ASSERT_EQ(state.BinArray.size(), 101u);
            float highest = 0;
            double pairs = 0;
            for (const auto& row : state.BinArray) {
                highest = std::max(highest, row[1]);
                pairs += row[0];
            }
            const double n = static_cast<double>(model.shown.size());
            EXPECT_EQ(pairs, n * (n - 1) / 2);
            EXPECT_EQ(state.maxProportion, highest);  // this analysis's own scale
            EXPECT_LE(state.cutoff2, state.cutoff1);
        }
    }
};

TEST_P(WindowModelTest, RandomSessionsKeepTheDisplayTrue) {
    std::mt19937 random(GetParam());
    Model model;
    std::vector<std::string> steps;
    for (int step = 0; step < 80; ++step) {
        steps.push_back(Step(random, model));
        std::string trace;
        for (std::size_t k = steps.size() > 8 ? steps.size() - 8 : 0; k < steps.size(); ++k)
            trace += "\n  step " + std::to_string(k + 1) + ": " + steps[k];
        SCOPED_TRACE(trace);
        Check(model);
        if (HasFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, WindowModelTest, ::testing::Range(0u, 100u));

}  // namespace
}  // namespace kvr
