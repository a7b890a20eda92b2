#include "ui/window_states.h"

#include <filesystem>

#include "io/program_folder.h"
#include "model/bounded_pairs.h"
#include "model/pair_order.h"
#include "model/palette.h"
#include "ui/control_states.h"
#include "ui/matrix_screen.h"
#include "ui/plot_handlers.h"
#include "ui/run_command.h"

namespace kvr {

ShownBefore GiveUpNextAnalysis(MainForm& form) {
    if (form.next) {
        ShownBefore before = std::move(form.next->before);
        form.next.reset();
        form.window.CloseForm(Control::frmOptions);
        return before;
    }
    return {form.shown.windowState, form.window.Caption(Control::frmMainForm),
            form.window.Caption(Control::lblFilePath)};
}

void PutBack(MainForm& form, const ShownBefore& before) {
    RunState& state = form.state;
    WindowView& shown = form.shown;
    Window& window = form.window;
    shown.windowState =
        before.windowState == WindowState::Analysis ? WindowState::Analysis : WindowState::Idle;
    window.SetCaption(Control::frmMainForm, before.caption);
    window.SetCaption(Control::lblFilePath, before.fileLabel);
    if (shown.ShowsAnalysis())
        DrawShownView(state, shown, window, ViewPlace::Opening);
    else
        ShowEmptyView(window);
    ApplyControlStates(state, shown, window);
}

void DrawShownView(RunState& state, WindowView& shown, Window& window, ViewPlace place) {
    if (shown.view == AnalysisView::Plot) {
        ShowPlot(state, shown, window);
    } else if (state.FitsOnScreen()) {
        DrawMatrixOnScreen(state, shown, window, place);
    } else {
        BlankMatrixView(window);
    }
}

void ShowRunResult(MainForm& form, RunKind kind) {
    const RunState& state = form.state;
    Window& window = form.window;
    const std::string count = std::to_string(state.seqCount) + " sequences";
    // Identities a user may set thresholds on that are not exact are told at once.
    if (!state.boundedPairs.empty())
        window.SetCaption(Control::lblProgress,
                          BoundedPairsNote(static_cast<long long>(state.boundedPairs.size()),
                                           PairCount(state.seqCount)));
    if (kind != RunKind::Append || state.sourceFiles.size() < 2) {
        window.SetCaption(Control::frmMainForm, std::string(kMainCaption) + " | " + count);
        return;
    }
    // Every file the sequences came from, and the pairs of all of them: not only the file and
    // the pairs this run added.
    std::string paths, names;
    for (const std::string& path : state.sourceFiles) {
        paths += (paths.empty() ? "" : " + ") + path;
        names += (names.empty() ? "" : " + ") + std::filesystem::path(path).filename().string();
    }
    const long long n = state.seqCount;
    window.SetCaption(Control::frmMainForm,
                      std::string(kMainCaption) + " | " + count + " | " + names);
    window.SetCaption(Control::lblFilePath, "Files - " + paths + "  |  " + count + ", " +
                                                std::to_string(n * (n - 1) / 2) + " pairs");
}

void AwaitRun(MainForm& form, RunKind kind, RunState loaded, const ShownBefore& before) {
    // The run raises the cut-offs the user chose to its own smallest identity, not an earlier
    // analysis's.
    loaded.cutoff1 = loaded.choices.chosenCutoff1;
    loaded.cutoff2 = loaded.choices.chosenCutoff2;
    form.next = NextAnalysis{kind, std::move(loaded), before};
    // The analysis on display stays, under its own title and count, until the run of the next
    // one has finished; the file label names the file loaded for it.
    if (before.windowState == WindowState::Analysis) {
        DrawShownView(form.state, form.shown, form.window);
        form.window.SetCaption(Control::frmMainForm, before.caption);
    }
    form.shown.windowState = WindowState::AwaitingRun;
    ApplyControlStates(form.state, form.shown, form.window);
    if (form.showRunOptions) form.showRunOptions();
}

bool MixingAgreed(Window& window, const Provenance& shown, Aligner kind, AmbiguityRule rule) {
    const std::string aligner(AlignerName(kind));
    if (WouldMixAligners(shown, aligner) &&
        !window.AskYesNo("The identities on display were made with the aligner " +
                         shown.Get(provenance_key::kAligner) +
                         ", and this append would align its new pairs with " + aligner +
                         ". Identities of two aligners differ, so the analysis would mix "
                         "them. Append with " +
                         aligner + " all the same?"))
        return false;
    const std::string name = AmbiguityRuleName(rule);
    return !WouldMixAmbiguityRules(shown, name) ||
           window.AskYesNo("The identities on display were made with the ambiguity rule " +
                           RecordedAmbiguityRule(shown) +
                           ", and this append would compare its new pairs with " + name +
                           ". Identities of two ambiguity rules differ, so the analysis would "
                           "mix them. Append with " +
                           name + " all the same?");
}

void OnRunClicked(MainForm& form) {
    Window& window = form.window;
    if (!form.next || form.shown.windowState != WindowState::AwaitingRun) {
        window.ShowMessage("Please laod input file in FASTA format");
        window.CloseForm(Control::frmOptions);
        return;
    }
    const std::optional<RunChoice> choice = ReadRunChoice(window, form.programFolder);
    if (!choice) return;  // said; the options window stays open
    if (form.next->kind == RunKind::Append &&
        !MixingAgreed(window, form.next->state.provenance, choice->aligner, choice->ambiguous)) {
        PutBack(form, GiveUpNextAnalysis(form));
        return;
    }

    RunState& next = form.next->state;
    next.choices.useTree = choice->useTree;
    next.choices.AlignerKind = choice->aligner;
    next.choices.skipAmbiguous = choice->ambiguous == AmbiguityRule::Skip;
    window.SetToolTip(Control::ZoomingPicture, "");
    form.shown.windowState = WindowState::Running;
    ApplyControlStates(form.state, form.shown, window);
    const bool showing = form.next->before.windowState == WindowState::Analysis;
    if (!showing) PrepareMainWindowForRun(window);
    window.CloseForm(Control::frmOptions);

    RunSetup setup{form.shell, choice->programs, WorkFolder(form.programFolder)};
    setup.ambiguous = choice->ambiguous;
    setup.pairMemoryMegabytes = form.pairMemoryMegabytes;
    window.SetBusy(true);  // the busy pointer for as long as the run works
    const RunOutcome outcome = RunOfKind(form.next->kind, next, form.shown, window, setup);
    window.SetBusy(false);
    window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
    if (outcome.aligned) {
        // The run path has put it on display with its controls; it becomes the analysis shown.
        const RunKind kind = form.next->kind;
        form.state = std::move(next);
        form.next.reset();
        ShowRunResult(form, kind);
        form.SaveSettings();  // the run's aligner, tree and ambiguity rule
        return;
    }
    if (outcome.cancelled) {
        // The user stopped it: the analysis shown before comes back.
        PutBack(form, GiveUpNextAnalysis(form));
        window.SetCaption(Control::lblProgress, "Cancelled");
        return;
    }
    // An aligner failed: the sequences stay loaded and the options window offers the run again,
    // with another aligner if need be, without opening the file again.
    form.shown.windowState = WindowState::AwaitingRun;
    ApplyControlStates(form.state, form.shown, window);
    if (!showing) BlankMatrixView(window);
    window.SetCaption(Control::lblProgress, "Failed");
    if (form.showRunOptions) form.showRunOptions();
}

void OnOptionsClosed(MainForm& form) {
    if (form.shown.windowState != WindowState::AwaitingRun) return;
    PutBack(form, GiveUpNextAnalysis(form));
}

void OnCancelClicked(MainForm& form) {
    form.shell.Stop().Raise();
}

}  // namespace kvr
