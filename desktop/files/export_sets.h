// The sequences of an analysis in the orders its exports use (their rows in the identity table and
// their names as the table for pipelines writes them), and the tree with those names: what kvr's
// exports and the window's Save entries share, so that both write the same bytes.
#pragma once

#include <string>
#include <vector>

#include "state/run_state.h"

namespace kvr {

struct OrderedSet {
    std::vector<int> rows;
    std::vector<std::string> names;
};

// The order of the input (of the session, for one read from a session).
OrderedSet InputOrder(const Analysis& a);
// The order on display (the tree's after a run with the tree).
OrderedSet DisplayOrder(const Analysis& a);

// The tree that ordered the analysis as Newick with the names given in input order, ";" and a
// line end last: the run's tree, or the one its session keeps. "" and why in failure when there
// is none or it cannot be read.
std::string NewickText(const RunState& state, const std::vector<std::string>& names,
                       std::string& failure);

}  // namespace kvr
