// The shape of the neighbour-joining tree that ordered an analysis, for drawing it beside the
// matrix's rows: its nodes with their depth from the root and their height in rows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/run_state.h"

namespace kvr {

struct TreeShape {
    struct Node {
        int parent = -1;    // the root has none
        double depth = 0;   // the branch lengths from the root, a negative one counted as 0
        double y = 0;       // in rows: a leaf's row middle, an inner node's children's middle
        double firstY = 0;  // an inner node: the first and last child's y
        double lastY = 0;
        bool leaf = true;
    };
    std::vector<Node> nodes;          // each parent before its children, leaves left to right
    std::vector<std::string> leaves;  // the leaves' names, left to right: the rows from the top
    double height = 0;                // the deepest node's depth
};

// A Newick tree as the program writes it (names plain or in single quotes with '' for a quote,
// lengths after ":"); none when it cannot be read.
std::optional<TreeShape> ReadTreeShape(std::string_view newick);

// The tree that ordered the analysis (its run's, or the one its session keeps), when its leaves
// are the rows on display in order, by name (as a session keeps names: CleanName); none otherwise.
std::optional<TreeShape> AnalysisTree(const RunState& state);

}  // namespace kvr
