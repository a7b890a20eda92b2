// What kvr is asked to write for other programs besides the text outputs: the groups table, the
// Newick tree, the square and PHYLIP matrices, and how the groups are made.
#pragma once

#include <string>
#include <vector>

#include "model/threshold_groups.h"

namespace kvr::cli {

struct ExportRequest {
    std::string groups;  // "": not asked
    std::string newick;
    std::string square;
    std::string phylip;             // and, when names must be shortened, phylip + ".names"
    std::vector<float> thresholds;  // percent; empty: the cut-offs in effect, upper then lower
    Linkage linkage = Linkage::Complete;
    bool displayOrder = false;  // the matrices in display order instead of the input's

    bool Any() const {
        return !groups.empty() || !newick.empty() || !square.empty() || !phylip.empty();
    }
    // The files asked for, the PHYLIP names table with them (it may be written).
    std::vector<std::string> Paths() const;
};

// The PHYLIP matrix's names table beside it; "" for standard output, a device or a pipe, which
// have none.
std::string PhylipNamesFile(const std::string& phylip);

}  // namespace kvr::cli
