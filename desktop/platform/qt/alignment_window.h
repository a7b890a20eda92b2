// The alignment viewer: one pair's alignment in a window of its own beside the main window, in a
// fixed-width font with different symbols and gaps coloured, copied to the clipboard or saved as
// FASTA from its buttons. Only the lines in sight are drawn, so that a whole genome's alignment
// (a 60 kb pair: 4,000 lines) opens and scrolls at once.
#pragma once

#include <QAbstractScrollArea>
#include <QWidget>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/alignment_view.h"

namespace kvr {

// Opens a viewer of the alignment, owned by parent and gone when the user closes it.
QWidget* ShowAlignmentWindow(QWidget* parent, const AlignmentView& view);

// A stretch of a row's line drawn in one colour: the kind of its columns in the match line ('|'
// the same symbol, '.' different ones, ' ' a gap), or 'n' for the name and positions around them.
struct SymbolRun {
    std::size_t start = 0, length = 0;
    char kind = 'n';
    bool operator==(const SymbolRun&) const = default;
};
std::vector<SymbolRun> RowRuns(const std::string& line, const std::string& match,
                               std::size_t rowStart);

// The blocks' lines (first row, match line, second row, a blank line between blocks), drawn as
// they come into sight.
class AlignmentRows : public QAbstractScrollArea {
  public:
    AlignmentRows(std::vector<AlignmentBlock> blocks, const QFont& font, QWidget* parent);
    int LineCount() const;
    std::string LineText(int line) const;
    int IdealWidth() const;                         // the widest line, in pixels
    int LinesDrawn() const { return linesDrawn_; }  // by the last paint

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void UpdateScrollBars();
    std::vector<AlignmentBlock> blocks_;
    int charWidth_ = 1, lineHeight_ = 1, ascent_ = 0;
    std::size_t widest_ = 0;  // symbols
    int linesDrawn_ = 0;
};

}  // namespace kvr
