#include "io/export_sets.h"

#include "io/tree_newick.h"
#include "model/table_names.h"

namespace kvr {

Result<std::string> NewickText(const RunState& state, const std::vector<std::string>& names) {
    if (state.seqCount == 1 && state.choices.useTree) return NewickName(names.front()) + ";\n";
    // A session keeps the tree with the names of the run that made it.
    if (state.treeNewick.empty() && !state.provenance.tree.empty())
        return state.provenance.tree + "\n";
    if (state.treeNewick.empty()) return Problem{"no tree was made"};
    return NameTreeLeaves(state.treeNewick, state.treeNames, names);
}

std::string KeptTree(const RunState& state) {
    if (!state.choices.useTree) return {};
    Result<std::string> made = NewickText(state, InputOrder(state).names);
    if (!made) return {};
    std::string tree = std::move(made).value();
    while (!tree.empty() && (tree.back() == '\n' || tree.back() == '\r')) tree.pop_back();
    return tree;
}

}  // namespace kvr
