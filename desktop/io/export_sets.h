// The sequences of an analysis in the orders its exports use (their rows in the identity table and
// their names as the table for pipelines writes them), and the tree with those names: what kvr's
// exports and the window's Save entries share, so that both write the same bytes.
#pragma once

#include <string>
#include <vector>

#include "model/result.h"
#include "model/run_state.h"
#include "model/table_names.h"

namespace kvr {

// The tree that ordered the analysis as Newick with the names given in input order, ";" and a
// line end last: the run's tree, or the one its session keeps; or why there is none or it cannot
// be read.
Result<std::string> NewickText(const RunState& state, const std::vector<std::string>& names);

// The tree as kvr run --newick writes it, without its line end, for the record of the run to
// keep: "" when no tree ordered the analysis (or it cannot be read).
std::string KeptTree(const RunState& state);

}  // namespace kvr
