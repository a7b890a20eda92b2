#include "app/export_request.h"

#include "app/output_request.h"
#include "io/file_io.h"

namespace kvr::cli {

std::vector<std::string> ExportRequest::Paths() const {
    std::vector<std::string> paths;
    for (const std::string* path : {&groups, &newick, &square, &phylip})
        if (!path->empty()) paths.push_back(*path);
    if (const std::string names = PhylipNamesFile(phylip); !names.empty()) paths.push_back(names);
    return paths;
}

std::string PhylipNamesFile(const std::string& phylip) {
    // A device or pipe is written through: no file lies beside it.
    if (phylip.empty() || phylip == kStandardOutput || ReplacedFile(phylip).empty()) return {};
    return phylip + ".names";
}

}  // namespace kvr::cli
