#include "io/export_sets.h"

#include "io/tree_newick.h"
#include "model/table_names.h"

namespace kvr {

std::string NewickText(const RunState& state, const std::vector<std::string>& names,
                       std::string& failure) {
    if (state.seqCount == 1 && state.choices.useTree) return NewickName(names.front()) + ";\n";
    // A session keeps the tree with the names of the run that made it.
    if (state.treeNewick.empty() && !state.provenance.tree.empty())
        return state.provenance.tree + "\n";
    if (state.treeNewick.empty()) {
        failure = "no tree was made";
        return {};
    }
    NamedTree tree = NameTreeLeaves(state.treeNewick, state.treeNames, names);
    failure = tree.failure;
    return tree.text;
}

std::string KeptTree(const RunState& state) {
    if (!state.choices.useTree) return {};
    std::string failure;
    std::string tree = NewickText(state, InputOrder(state).names, failure);
    while (!tree.empty() && (tree.back() == '\n' || tree.back() == '\r')) tree.pop_back();
    return tree;
}

}  // namespace kvr
