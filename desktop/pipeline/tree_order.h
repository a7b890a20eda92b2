// Ordering by a neighbour-joining tree: the tree program is run on "infile", the leaf order of
// "outtree" becomes the display order, and SequenceList and IdentityMatrix are rebuilt in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/result.h"
#include "model/run_state.h"
#include "pipeline/run_context.h"
#include "platform/progress.h"

namespace kvr {

inline constexpr const char* kTreeConfig = "config";
inline constexpr const char* kTreeReport = "outfile";
inline constexpr const char* kTreeFile = "outtree";

// Writes the distance file "infile" of InputIdentity and treeNames, runs the tree program on it
// and orders the sequences by its tree, or keeps the input order when
// useTree is off. A tree that cannot be used (no "outtree", a leaf that matches no taxon, ...) is
// reported through the progress when useTree is on, and the input order kept: never a wrong order.
// When the run is cancelled while the tree program runs, the outcome is Cancelled and
// SequenceList, IdentityMatrix and treeOrder are left as they were.
Result<void> OrderByTree(RunState& state, Progress& progress, const RunContext& context);

// "config": the answers to the tree program's menu that root the tree on the last taxon "out".
std::string FormatTreeConfig(int n);

// The leaf order of a Newick tree text (wrapped lines and spaces allowed) over the taxa named in
// treeNames: per leaf, left to right, the index of its entry in treeNames; or why the tree cannot
// be used. Every leaf must match one taxon, each taxon once, with the outgroup last.
Result<std::vector<int>> ReadTreeOrder(std::string_view treeText,
                                       const std::vector<std::string>& treeNames);

// SequenceList and IdentityMatrix with display position a showing input sequence order[a]. The
// table of InputIdentity becomes IdentityMatrix (InputIdentity is left empty).
void ApplyDisplayOrder(RunState& state, const std::vector<int>& order);

}  // namespace kvr
