// The entries that help a decision about the analysis on display: its groups at the first cut-off
// (saved as kvr run --groups writes them, or listed), its tree (saved as kvr run --newick writes
// it) and the record of how its identities were made. Each is worked out from the analysis on
// display when asked, so nothing of an earlier one is shown.
#pragma once

#include "model/run_state.h"
#include "platform/window.h"

namespace kvr {

class MainForm;

inline constexpr const char* kGroupsSuffix = "_groups.tsv";
inline constexpr const char* kTreeSuffix = "_tree.nwk";

void RegisterDecisionHandlers(MainForm& form);

// mnuSaveGroups: the groups table at the first cut-off in effect, complete linkage.
void OnSaveGroups(RunState& state, Window& window);
// mnuSaveTree: the tree that ordered the analysis, as Newick with the sequences' names.
void OnSaveTree(RunState& state, Window& window);
// mnuGroups: each group at the first cut-off with its size, representative and members.
void OnShowGroups(const RunState& state, Window& window);
// mnuProperties: the counts and the record of the analysis ("unknown" for what it does not say).
void OnShowProperties(const RunState& state, Window& window);

}  // namespace kvr
