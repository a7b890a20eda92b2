#include "io/tree_shape.h"

#include <algorithm>
#include <charconv>

#include "io/text.h"
#include "io/tree_newick.h"
#include "model/table_names.h"

namespace kvr {

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A label at pos: quoted, or up to the next character Newick reads otherwise.
bool ReadLabel(std::string_view text, std::size_t& pos, std::string& label) {
    label.clear();
    if (text[pos] != '\'') {
        while (pos < text.size() &&
               std::string_view("(),:;").find(text[pos]) == std::string::npos && !Blank(text[pos]))
            label += text[pos++];
        return true;
    }
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] != '\'') {
            label += text[pos];
        } else if (pos + 1 < text.size() && text[pos + 1] == '\'') {
            label += '\'';
            ++pos;
        } else {
            ++pos;
            return true;
        }
    }
    return false;  // no closing quote
}

// A leaf names a row when the names agree as a session keeps them (CleanName): a tree kept with
// the names of the run that made it names the rows of the session read back.
bool SameName(std::string_view leaf, std::string_view row) {
    return leaf == row || CleanName(leaf) == CleanName(row);
}

}  // namespace

std::optional<TreeShape> ReadTreeShape(std::string_view text) {
    // Read without recursion: a caterpillar tree of thousands of leaves nests that deep.
    TreeShape tree;
    std::vector<double> lengths;
    std::vector<std::string> labels;
    const auto add = [&](int parent) {
        tree.nodes.push_back({parent});
        lengths.push_back(0);
        labels.emplace_back();
        if (parent >= 0) tree.nodes[static_cast<std::size_t>(parent)].leaf = false;
        return static_cast<int>(tree.nodes.size()) - 1;
    };
    int at = add(-1);
    bool ended = false;
    for (std::size_t pos = 0; pos < text.size() && !ended;) {
        const char c = text[pos];
        if (Blank(c)) {
            ++pos;
        } else if (c == '(') {
            at = add(at);
            ++pos;
        } else if (c == ',') {
            const int parent = tree.nodes[static_cast<std::size_t>(at)].parent;
            if (parent < 0) return std::nullopt;
            at = add(parent);
            ++pos;
        } else if (c == ')') {
            at = tree.nodes[static_cast<std::size_t>(at)].parent;
            if (at < 0) return std::nullopt;
            ++pos;
        } else if (c == ':') {
            ++pos;
            while (pos < text.size() && Blank(text[pos])) ++pos;
            double length = 0;
            const auto [end, error] =
                std::from_chars(text.data() + pos, text.data() + text.size(), length);
            if (error != std::errc()) return std::nullopt;
            lengths[static_cast<std::size_t>(at)] = length;
            pos = static_cast<std::size_t>(end - text.data());
        } else if (c == ';') {
            ended = true;
        } else if (!ReadLabel(text, pos, labels[static_cast<std::size_t>(at)])) {
            return std::nullopt;
        }
    }
    if (!ended || at != 0) return std::nullopt;

    int row = 0;
    for (std::size_t k = 0; k < tree.nodes.size(); ++k) {
        TreeShape::Node& node = tree.nodes[k];
        if (node.parent >= 0)
            node.depth =
                tree.nodes[static_cast<std::size_t>(node.parent)].depth + std::max(0.0, lengths[k]);
        tree.height = std::max(tree.height, node.depth);
        if (!node.leaf) continue;
        if (labels[k].empty()) return std::nullopt;
        node.y = node.firstY = node.lastY = row++ + 0.5;
        tree.leaves.push_back(std::move(labels[k]));
    }
    // Children come after their parent: backwards, every child is placed before its parent.
    std::vector<bool> placed(tree.nodes.size(), false);
    for (std::size_t k = tree.nodes.size(); k-- > 1;) {
        TreeShape::Node& node = tree.nodes[k];
        if (!node.leaf) node.y = (node.firstY + node.lastY) / 2;
        const auto p = static_cast<std::size_t>(node.parent);
        TreeShape::Node& parent = tree.nodes[p];
        // The first child in order is met last going backwards.
        parent.firstY = node.y;
        if (!placed[p]) parent.lastY = node.y;
        placed[p] = true;
    }
    TreeShape::Node& root = tree.nodes.front();
    if (!root.leaf) root.y = (root.firstY + root.lastY) / 2;
    return tree;
}

std::optional<TreeShape> AnalysisTree(const RunState& state) {
    if (state.seqCount < 2) return std::nullopt;
    const OrderedSet input = InputOrder(state);
    std::string text = state.provenance.tree;
    if (!state.treeNewick.empty()) {
        Result<std::string> named = NameTreeLeaves(state.treeNewick, state.treeNames, input.names);
        if (!named) return std::nullopt;
        text = std::move(named).value();
    }
    if (text.empty()) return std::nullopt;
    std::optional<TreeShape> tree = ReadTreeShape(text);
    if (!tree || tree->leaves.size() != static_cast<std::size_t>(state.seqCount))
        return std::nullopt;
    for (int d = 0; d < state.seqCount; ++d)
        if (!SameName(tree->leaves[static_cast<std::size_t>(d)], TableName(state.SequenceList[d])))
            return std::nullopt;
    return tree;
}

}  // namespace kvr
