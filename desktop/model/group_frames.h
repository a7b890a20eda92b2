// Where the groups lie on the matrix in display order: a group whose members the display order
// keeps together is one square on the diagonal; one that it splits into several runs of
// consecutive rows lies in a square per run and a rectangle per two runs. These are the maximal
// rectangles of cells both of whose sequences are in the group, as the pictures frame them.
#pragma once

#include <string>
#include <vector>

#include "model/analysis.h"
#include "model/threshold_groups.h"

namespace kvr {

// Cells of the lower triangle's rows firstRow..lastRow and columns firstColumn..lastColumn, display
// positions, both ends inside; firstColumn <= firstRow (on the diagonal: the same run twice).
struct CellBlock {
    int firstColumn = 0;
    int lastColumn = 0;
    int firstRow = 0;
    int lastRow = 0;
    int group = 0;  // the group's number
    bool operator==(const CellBlock&) const = default;
};

// The blocks of every group of two or more, from each display position's group number (from 1):
// group by group in the order of their numbers, and for each run of the group in display order,
// the square of that run, then the blocks of its columns and each later run's rows.
std::vector<CellBlock> GroupBlocks(const std::vector<int>& groupAtPosition);

// The groups of the analysis at threshold (percent) by the linkage, made as --groups makes them
// (in input order, with names the names in input order, which decide ties), and their blocks in
// the display order.
std::vector<CellBlock> AnalysisGroupBlocks(const Analysis& analysis,
                                           const std::vector<std::string>& names, float threshold,
                                           Linkage linkage);

}  // namespace kvr
