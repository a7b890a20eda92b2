#include "ui/matrix_selection.h"

#include <array>

#include "io/text.h"
#include "model/bounded_pairs.h"
#include "pipeline/pair_table.h"
#include "ui/matrix_screen.h"
#include "ui/zoom.h"

namespace kvr {

namespace {

std::string ShownName(const RunState& state, int k) {
    return ReplaceAll(state.SequenceList[k].name, ">", "");
}

}  // namespace

std::optional<int> FindSequence(const RunState& state, const std::string& text, int after) {
    const int n = static_cast<int>(state.SequenceList.size());
    if (text.empty() || n == 0) return std::nullopt;
    for (int step = 1; step <= n; ++step) {
        const int k = ((after + step) % n + n) % n;
        if (ContainsTextIgnoreCase(ShownName(state, k), text)) return k;
    }
    return std::nullopt;
}

void SelectCell(RunState& state, WindowView& shown, Window& window, MatrixCell cell) {
    shown.selectedColumn = cell.column;
    shown.selectedRow = cell.row;
    MarkSelection(state, shown, window);
}

namespace {

// The first fields of the pair table's row of a cell: both names and the identity as a fraction
// and in percent.
std::array<std::string, 4> TableFields(const RunState& state, MatrixCell cell) {
    // The pair as the table writes it: the sequence first in display order first.
    const std::string row =
        PairTableRow(state.SequenceList[cell.column], state.SequenceList[cell.row],
                     state.IdentityMatrix(cell.row, cell.column));
    std::array<std::string, 4> fields;
    std::size_t start = 0;
    for (std::string& field : fields) {
        const std::size_t end = row.find('\t', start);
        field = row.substr(start, end - start);
        start = end + 1;
    }
    return fields;
}

}  // namespace

std::string CellText(const RunState& state, MatrixCell cell) {
    const auto fields = TableFields(state, cell);
    return fields[0] + "\t" + fields[1] + "\t" + fields[2];
}

std::string CellReadout(const RunState& state, const WindowView& shown, double x, double y) {
    const std::optional<MatrixCell> cell = MatrixCellAt(shown.drawnCells, x, y);
    if (!cell || cell->row >= static_cast<int>(state.SequenceList.size())) return {};
    const auto fields = TableFields(state, *cell);
    return fields[0] + " / " + fields[1] + ": " + fields[3] + " % (row " +
           std::to_string(cell->row + 1) + ", column " + std::to_string(cell->column + 1) + ")" +
           (IsBoundedPair(state, cell->row, cell->column)
                ? std::string(" (") + kBoundedPairMark + ")"
                : std::string());
}

void OnMatrixClicked(RunState& state, WindowView& shown, Window& window, double x, double y) {
    const std::optional<MatrixCell> cell = MatrixCellAt(shown.drawnCells, x, y);
    if (!cell || cell->row >= static_cast<int>(state.SequenceList.size())) return;
    SelectCell(state, shown, window, *cell);
    window.SetCaption(Control::lblProgress, CellReadout(state, shown, x, y));
}

void OnFindClicked(RunState& state, WindowView& shown, Window& window, std::string& lastFind) {
    const std::string text = window.AskText(kFindQuestion, lastFind);
    if (text.empty()) return;
    lastFind = text;
    const std::optional<int> found =
        FindSequence(state, text, HasSelection(state, shown) ? shown.selectedRow : -1);
    if (!found) {
        window.SetCaption(Control::lblProgress, "No sequence name holds \"" + text + "\"");
        return;
    }
    const int k = *found;
    SelectCell(state, shown, window, MatrixCell{k, k});
    // Its row in the middle of the viewport, and as far left as its diagonal cell allows, so
    // that its name is in sight beside it where the viewport is wide enough.
    const CellGrid& grid = shown.drawnCells;
    const Rect viewport = window.Geometry(Control::OuterPicture);
    ScrollViewTo(window, grid.left + (k + 2) * grid.cellWidth - viewport.width,
                 (k + 0.5) * grid.cellHeight - viewport.height / 2);
    window.SetCaption(Control::lblProgress, "Found " + ShownName(state, k) + " (sequence " +
                                                std::to_string(k + 1) + " of " +
                                                std::to_string(state.seqCount) + ")");
}

void OnCopyCellClicked(const RunState& state, const WindowView& shown, Window& window) {
    if (!HasSelection(state, shown)) {
        window.SetCaption(Control::lblProgress, "Click a cell to select it, then copy it");
        return;
    }
    window.CopyText(CellText(state, MatrixCell{shown.selectedColumn, shown.selectedRow}));
    window.SetCaption(Control::lblProgress, "Copied");
}

}  // namespace kvr
