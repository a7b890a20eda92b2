#include "app/analysis_exports.h"

#include "app/kvr_outputs.h"
#include "app/output_request.h"
#include "io/export_sets.h"
#include "io/group_table.h"
#include "io/matrix_formats.h"
#include "pipeline/pair_table.h"

namespace kvr::cli {

namespace {

bool Write(const std::string& path, std::ostream& err,
           const std::function<bool(std::ostream&)>& write) {
    return WriteTextOutput(path, write, err);
}

}  // namespace

Result<void> CheckExportRequest(const ExportRequest& request, bool useTree) {
    if (!request.newick.empty() && !useTree)
        return Problem{"--newick needs --tree, which makes the tree"};
    return {};
}

Result<void> CheckKeptTree(const ExportRequest& request, const RunState& session,
                           const std::string& sessionPath) {
    if (request.newick.empty() || !session.provenance.tree.empty()) return {};
    return Problem{"--newick: " + sessionPath +
                   " keeps no tree (only the sessions of kvr run, append or merge with --tree "
                   "do), so nothing was written"};
}

std::vector<CellBlock> OutlinedGroupBlocks(const RunState& state, const ExportRequest& request) {
    const float threshold = request.thresholds.empty() ? state.cutoff1 : request.thresholds.front();
    return AnalysisGroupBlocks(state, InputOrder(state).names, threshold, request.linkage);
}

bool WriteExports(const RunState& state, const ExportRequest& request, std::ostream& err) {
    if (!request.Any()) return true;
    const OrderedSet input = InputOrder(state);
    const OrderedSet& matrixSet = request.displayOrder ? DisplayOrder(state) : input;
    const IdentityView inInput(state.IdentityMatrix, input.rows);
    const IdentityView forMatrix(state.IdentityMatrix, matrixSet.rows);
    bool written = true;

    if (!request.groups.empty()) {
        const std::vector<float> thresholds = DistinctThresholds(
            request.thresholds.empty() ? std::vector<float>{state.cutoff1, state.cutoff2}
                                       : request.thresholds);
        written &= Write(request.groups, err, [&](std::ostream& out) {
            return WriteGroupTable(out, inInput, input.names, thresholds, request.linkage);
        });
    }
    if (!request.newick.empty()) {
        const Result<std::string> tree = NewickText(state, input.names);
        if (!tree) {
            err << "--newick " << request.newick << ": " << tree.problem().message
                << ", so it was not written\n";
            written = false;
        } else {
            written &= Write(request.newick, err, [&](std::ostream& out) {
                out << tree.value();
                return static_cast<bool>(out);
            });
        }
    }
    if (!request.square.empty())
        written &= Write(request.square, err, [&](std::ostream& out) {
            return WriteSquareMatrix(out, forMatrix, matrixSet.names);
        });
    if (!request.phylip.empty()) {
        const PhylipNames phylip = MakePhylipNames(matrixSet.names);
        const std::string namesFile = PhylipNamesFile(request.phylip);
        if (phylip.changed && namesFile.empty()) {
            err << "--phylip " << request.phylip
                << ": names must be shortened for PHYLIP, and their table needs a file beside "
                   "it: give --phylip a file name\n";
            return false;
        }
        written &= Write(request.phylip, err, [&](std::ostream& out) {
            return WritePhylipMatrix(out, forMatrix, phylip.shortNames);
        });
        if (phylip.changed)
            written &= Write(namesFile, err, [&](std::ostream& out) {
                return WritePhylipNames(out, phylip, matrixSet.names);
            });
    }
    return written;
}

}  // namespace kvr::cli
