// The writers of the exports for other programs (export_request.h): each sequence's group, the
// tree with the sequences' names, and the identity matrix as a square table and for PHYLIP. Each
// goes through the one text writer of kvr's outputs.
#pragma once

#include <ostream>

#include "app/export_request.h"
#include "model/group_frames.h"
#include "model/result.h"
#include "model/run_state.h"

namespace kvr::cli {

// --newick asks for a tree that only --tree makes.
Result<void> CheckExportRequest(const ExportRequest& request, bool useTree);

// kvr show --newick of a session that keeps no tree.
Result<void> CheckKeptTree(const ExportRequest& request, const RunState& session,
                           const std::string& sessionPath);

// Writes every export asked for (the tree: the run's, or the one a session keeps). The groups and,
// unless displayOrder is set, the matrices are in the order of the input (of the session for kvr
// show), the names as the table for pipelines writes them. False, with one message per failure on
// err, when one was not written.
bool WriteExports(const RunState& state, const ExportRequest& request, std::ostream& err);

// The blocks of the groups that --outline-groups frames on the matrix pictures: the groups of
// --groups at its first threshold (the upper cut-off in effect when none is given), by its
// linkage, in the display order.
std::vector<CellBlock> OutlinedGroupBlocks(const RunState& state, const ExportRequest& request);

}  // namespace kvr::cli
