// Finding and selecting on the matrix view: a click selects the cell under the pointer, Find
// selects a sequence by part of its name and scrolls to it, and Copy puts the selected cell on
// the clipboard as the pair table writes it. The selected row and column are marked on the view.
#pragma once

#include <optional>
#include <string>

#include "model/run_state.h"
#include "pictures/matrix_canvas.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

inline constexpr const char* kFindQuestion = "Find a sequence by part of its name:";

// The first sequence after `after` (display order, wrapping round) whose name holds text, case
// apart; none when no name does or text is empty.
std::optional<int> FindSequence(const RunState& state, const std::string& text, int after);

// Selects a cell (column <= row) and marks its row and column with their names.
void SelectCell(RunState& state, WindowView& shown, Window& window, MatrixCell cell);

// A left click at a point of the drawing: selects the cell there, if any.
void OnMatrixClicked(RunState& state, WindowView& shown, Window& window, double x, double y);
// Asks for part of a name (starting from the last one asked), selects the next sequence that
// holds it and scrolls the view to it; the status line says what was found.
void OnFindClicked(RunState& state, WindowView& shown, Window& window, std::string& lastFind);
// "name1<TAB>name2<TAB>identity" of the selected cell, names and identity as the pair table
// writes them, on the clipboard.
void OnCopyCellClicked(const RunState& state, const WindowView& shown, Window& window);
// The clipboard text of a cell.
std::string CellText(const RunState& state, MatrixCell cell);
// What the view's tip says of the cell under a point of the drawing (twips): both names, the
// identity in percent as the pair table writes it, its row and column; "" off the cells.
std::string CellReadout(const RunState& state, const WindowView& shown, double x, double y);

}  // namespace kvr
