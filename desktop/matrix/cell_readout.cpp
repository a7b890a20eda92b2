#include "matrix/cell_readout.h"

#include "matrix/matrix_canvas.h"
#include "state/number_text.h"
#include "state/text.h"

namespace kvr {

std::string CellReadout(const RunState& state, double x, double y) {
    const std::optional<MatrixCell> cell = MatrixCellAt(state.drawnCells, x, y);
    if (!cell || cell->row >= static_cast<int>(state.SequenceList.size())) return {};
    const auto name = [&state](int k) { return ReplaceAll(state.SequenceList[k].name, ">", ""); };
    const double percent = static_cast<double>(state.IdentityMatrix(cell->row, cell->column)) * 100;
    return name(cell->row) + " / " + name(cell->column) + ": " + FormatDecimals(percent, 2) +
           " % (row " + std::to_string(cell->row + 1) + ", column " +
           std::to_string(cell->column + 1) + ")";
}

}  // namespace kvr
