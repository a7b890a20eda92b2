#include "ui/run_command.h"

#include "model/provenance.h"
#include "pipeline/external_programs.h"
#include "ui/control_states.h"

namespace kvr {

namespace {

Aligner ChosenAligner(const Window& window) {
    if (window.IsChecked(Control::oMuscle)) return Aligner::Muscle;
    if (window.IsChecked(Control::oClustalw)) return Aligner::Clustalw;
    if (window.IsChecked(Control::oBuiltin)) return Aligner::Builtin;
    return Aligner::Mafft;
}

}  // namespace

void ShowRunOptions(Window& window, const RunState& state, RunKind kind) {
    const bool ran = state.choices.AlignerKind.has_value();
    Aligner aligner = state.choices.AlignerKind.value_or(Aligner::Builtin);
    bool skip = ran && state.choices.skipAmbiguous;
    if (kind == RunKind::Append) {
        const std::vector<std::string> recorded =
            NamedValues(state.provenance.Get(provenance_key::kAligner));
        if (recorded.size() == 1) aligner = AlignerNamed(recorded.front()).value_or(aligner);
        const std::string rule = RecordedAmbiguityRule(state.provenance);
        if (rule == AmbiguityRuleName(AmbiguityRule::Skip)) skip = true;
        if (rule == AmbiguityRuleName(AmbiguityRule::Count)) skip = false;
    }
    window.SetChecked(Control::oMuscle, aligner == Aligner::Muscle);
    window.SetChecked(Control::oClustalw, aligner == Aligner::Clustalw);
    window.SetChecked(Control::oMafft, aligner == Aligner::Mafft);
    window.SetChecked(Control::oBuiltin, aligner == Aligner::Builtin);
    window.SetChecked(Control::chkOptions, ran ? state.choices.useTree : true);
    window.SetChecked(Control::chkAmbiguous, skip);
    CentreForm(window, Control::frmOptions);
    window.ShowForm(Control::frmOptions);
}

std::optional<RunChoice> ReadRunChoice(Window& window, const std::string& programFolder) {
    RunChoice choice;
    choice.aligner = ChosenAligner(window);
    choice.useTree = window.IsChecked(Control::chkOptions);
    choice.ambiguous =
        window.IsChecked(Control::chkAmbiguous) ? AmbiguityRule::Skip : AmbiguityRule::Count;
    AlignerConfigLoad programs = LoadAlignerConfig(programFolder);
    std::vector<std::string> problems = programs.problems;
    if (problems.empty())
        problems = CheckRunPrograms(programs.config, choice.aligner, choice.useTree);
    if (!problems.empty()) {
        std::string message;
        for (const std::string& problem : problems)
            message += (message.empty() ? "" : "\n") + problem;
        window.ShowMessage(message);
        return std::nullopt;
    }
    choice.programs = std::move(programs.config);
    return choice;
}

void PrepareMainWindowForRun(Window& window) {
    window.BlankPicture(Control::InnerPicture);
    const Rect main = window.Geometry(Control::frmMainForm);
    for (Control picture : {Control::InnerPicture, Control::ZoomingPicture}) {
        Rect geometry = window.Geometry(picture);
        geometry.height = 0.6683 * main.height;
        geometry.width = 0.646112 * main.width;
        window.SetGeometry(picture, geometry);
    }
}

RunOutcome RunOfKind(RunKind kind, RunState& state, WindowView& shown, Window& window,
                     const RunSetup& setup) {
    switch (kind) {
        case RunKind::Rerun:
            return RunRerun(state, shown, window, setup);
        case RunKind::Append:
            return RunAppend(state, shown, window, setup);
        case RunKind::Fresh:
            break;
    }
    return RunFresh(state, shown, window, setup);
}

}  // namespace kvr
