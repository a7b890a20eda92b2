// The alignment viewer: one pair's alignment in a window of its own beside the main window, in a
// fixed-width font with different symbols and gaps coloured, copied to the clipboard or saved as
// FASTA from its buttons.
#pragma once

#include <QWidget>

#include "platform/alignment_view.h"

namespace kvr {

// Opens a viewer of the alignment, owned by parent and gone when the user closes it.
QWidget* ShowAlignmentWindow(QWidget* parent, const AlignmentView& view);

// The alignment's blocks as HTML: each symbol of the rows in the colour of its column's kind.
QString AlignmentHtml(const AlignmentView& view);

}  // namespace kvr
