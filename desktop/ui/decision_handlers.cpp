#include "ui/decision_handlers.h"

#include "io/analysis_properties.h"
#include "io/export_sets.h"
#include "io/group_table.h"
#include "io/number_text.h"
#include "ui/main_form.h"
#include "ui/text_export_handlers.h"

namespace kvr {

void RegisterDecisionHandlers(MainForm& form) {
    RunState& state = form.state;
    Window& window = form.window;
    form.clickHandlers[Control::mnuSaveGroups] = [&] { OnSaveGroups(state, window); };
    form.clickHandlers[Control::mnuSaveTree] = [&] { OnSaveTree(state, window); };
    form.clickHandlers[Control::mnuGroups] = [&] { OnShowGroups(state, window); };
    form.clickHandlers[Control::mnuProperties] = [&] { OnShowProperties(state, window); };
}

void OnSaveGroups(RunState& state, Window& window) {
    ExportText(state, window, "Saving groups ...", kGroupsSuffix, false,
               [&state](std::ostream& out, const ExportProgress&) {
                   const OrderedSet input = InputOrder(state);
                   WriteGroupTable(out, IdentityView(state.IdentityMatrix, input.rows), input.names,
                                   {state.cutoff1}, Linkage::Complete);
               });
}

void OnSaveTree(RunState& state, Window& window) {
    const Result<std::string> tree = NewickText(state, InputOrder(state).names);
    if (!tree) {
        window.ShowMessage("The tree cannot be saved: " + tree.problem().message);
        return;
    }
    ExportText(state, window, "Saving tree ...", kTreeSuffix, false,
               [&tree](std::ostream& out, const ExportProgress&) { out << tree.value(); });
}

void OnShowGroups(const RunState& state, Window& window) {
    const OrderedSet input = InputOrder(state);
    const Grouping groups = GroupAtThreshold(IdentityView(state.IdentityMatrix, input.rows),
                                             input.names, state.cutoff1, Linkage::Complete);
    std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(groups.Count()));
    for (int g = 0; g < groups.Count(); ++g)
        rows[g] = {std::to_string(g + 1), std::to_string(groups.sizes[g]),
                   input.names[groups.representatives[g]], ""};
    // Members in the order of the input, as the saved table lists them.
    for (std::size_t s = 0; s < input.names.size(); ++s) {
        std::string& members = rows[groups.groupOf[s] - 1][3];
        members += (members.empty() ? "" : ", ") + input.names[s];
    }
    window.ShowTable("Groups at " + ExactSingle(state.cutoff1) +
                         " % (complete linkage): " + std::to_string(groups.Count()) + " groups",
                     {"group", "size", "representative", "members"}, rows);
}

void OnShowProperties(const RunState& state, Window& window) {
    std::vector<std::vector<std::string>> rows;
    for (auto& [key, value] : AnalysisProperties(state)) rows.push_back({key, value});
    window.ShowTable("Properties", {"key", "value"}, rows);
}

}  // namespace kvr
