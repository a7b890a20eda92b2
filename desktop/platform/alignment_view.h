// What the alignment viewer shows: one pair's alignment behind a cell of the matrix, in a window
// of its own that stays open beside the main window.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kvr {

// One block of the pairwise view: the two rows with the match line between them ('|' the same
// symbol, '.' another, ' ' a gap), the rows' symbols starting at rowStart of each line.
struct AlignmentBlock {
    std::string first;
    std::string match;
    std::string second;
    std::size_t rowStart = 0;
};

struct AlignmentView {
    std::string title;    // the viewer's title: both names
    std::string heading;  // the names, the aligner, the identity and the coverage, a line each
    std::vector<AlignmentBlock> blocks;
    std::string text;            // heading and blocks as plain text, for the clipboard
    std::function<void()> save;  // asks for a file and writes the aligned pair as FASTA there
};

}  // namespace kvr
