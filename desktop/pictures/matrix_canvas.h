// The matrix as drawn for the screen, in twips: the lower-left triangle of cells, the names along
// the left and (turned) below, and the colour key beside it, whole: the one key on screen.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/tree_shape.h"
#include "model/group_frames.h"
#include "model/run_state.h"
#include "pictures/colour_key.h"
#include "platform/drawing_surface.h"
#include "platform/geometry.h"

namespace kvr {

// Cell width A, height B and key offset K by the number of sequences. Beyond 500 sequences the
// cells shrink with n to a least size of two pixels.
struct ScreenCells {
    int width;
    int height;
    int keyOffset;
};
ScreenCells ScreenCellsFor(int n);

// How the screen shows a drawing: its cells (the zoom; the picture's own by default) and whether
// the key goes beside the triangle or, kept in sight elsewhere, is left out of it.
struct ScreenChoice {
    std::optional<ScreenCells> cells;
    bool key = true;
};

// Where one drawing's parts go. Everything the canvas size needs is known before drawing.
struct CanvasLayout {
    int n = 0;
    ScreenCells cells{};
    bool names = true;     // false: too small to be read, left out (the key says so)
    bool keyShown = true;  // false: the key is shown elsewhere (KeyPanelSize)
    int T = 0;             // room for the tree left of the names; 0 without one
    int L = 0;             // room for the names, left of the cells and below them
    int R = 0;             // right edge of the triangle
    double titleX = 0, titleY = 0, keyX = 0, keyY = 0;
    SurfaceBox key;  // what the key's title, boxes, labels and note cover
    double width = 0, height = 0;
};

// Where the matrix on screen has its cells (twips), as it was last drawn: for the read-out of the
// cell under the pointer.
struct CellGrid {
    double left = 0;  // the first column's left edge; rows start at 0
    int cellWidth = 0, cellHeight = 0;
    int count = 0;
    bool names = false;  // the rows and columns carry their names
    // The zoom can go further that way (the buttons are enabled so).
    bool canZoomIn = false, canZoomOut = false;
};

// One colouring of the screen matrix, laid out in a surface's font and independent of the
// RunState it was made from: drawn whole into a canvas, or a region at a time as a view shows
// it. Cells of equal colour are filled together, row runs at a time, and the outlines are the
// grid's lines, so that a vector file of a large matrix stays small.
class MatrixDrawing {
  public:
    // Texts are measured in fonts' font. The blocks of the groups to outline (AnalysisGroupBlocks)
    // are framed over the cells; the tree, when given, is drawn left of the names, its leaves at
    // the rows.
    MatrixDrawing(const RunState& state, const DrawingSurface& fonts, Size viewport,
                  const ScreenChoice& choice = {}, std::vector<CellBlock> outlined = {},
                  std::shared_ptr<const TreeShape> tree = nullptr);
    // The same colouring laid out anew (another zoom, the key elsewhere): its cells' colours are
    // shared, not worked out again.
    MatrixDrawing Relaid(const RunState& state, const DrawingSurface& fonts, Size viewport,
                         const ScreenChoice& choice) const;

    const CanvasLayout& Layout() const { return at_; }
    // Where its cells are, for the read-out of the cell under the pointer.
    CellGrid Cells() const;
    // The canvas size in whole twips.
    int Width() const;
    int Height() const;

    // Draws what lies in region (canvas twips) onto a surface with the canvas's coordinates.
    void Draw(DrawingSurface& surface, const SurfaceBox& region) const;
    // Resizes the canvas (white) and draws all of it.
    void DrawWhole(DrawingSurface& canvas) const;

    // The key alone on a white panel with an edge, for a view whose key beside the triangle
    // would be out of sight: its size (twips) and its drawing, from 0, 0.
    Size KeyPanelSize() const;
    void DrawKeyPanel(DrawingSurface& surface) const;

  private:
    std::uint8_t Colour(int column, int row) const {
        return (*colours_)[static_cast<std::size_t>(row) * (row + 1) / 2 + column];
    }
    void DrawCells(DrawingSurface& s, int i0, int i1, int j0, int j1) const;
    void DrawNames(DrawingSurface& s, const SurfaceBox& region, int i0, int i1, int j0,
                   int j1) const;
    void DrawKey(DrawingSurface& s, const CanvasLayout& at) const;
    // Cells smaller than a pixel: one sample a pixel, at its middle.
    void DrawSampledCells(DrawingSurface& s, const SurfaceBox& region) const;
    void LayOutPanel(const DrawingSurface& fonts);

    CanvasLayout at_;
    CanvasLayout panel_;  // the key on a panel of its own
    Size panelSize_;
    // Palette index of cell (i, j), i <= j, row by row.
    std::shared_ptr<const std::vector<std::uint8_t>> colours_;
    PaletteTable palette_{};
    std::vector<std::string> names_;  // without ">"
    std::array<KeyBox, kKeyBoxCount> key_{};
    std::vector<CellBlock> outlined_;
    std::shared_ptr<const TreeShape> tree_;
};

// The canvas size for the current matrix: the drawing's own extent, at least 3500 x 3100 twips,
// at least the viewport (a zero viewport adds nothing), and always room for the whole key in the
// canvas's font; room for a tree beside the names when tree is set.
Size MatrixCanvasSize(const RunState& state, const DrawingSurface& canvas, Size viewport,
                      const ScreenChoice& choice = {}, bool tree = false);

// Resizes the canvas (white) and draws the matrix and its key under the current ColourMode.
// Names too long for 90 twips a character widen their margin; rows lower than a line of text carry
// no names, and the key says so. The blocks outlined are framed over the cells; the tree, when
// given, is drawn beside the names.
void DrawMatrixCanvas(const RunState& state, DrawingSurface& canvas, Size viewport,
                      std::vector<CellBlock> outlined = {},
                      std::shared_ptr<const TreeShape> tree = nullptr);

// The cell under a point of the drawn canvas (twips): the sequences of its column and its row in
// display order (column <= row), none off the triangle.
struct MatrixCell {
    int column = 0;
    int row = 0;
};
std::optional<MatrixCell> MatrixCellAt(const CellGrid& grid, double x, double y);

}  // namespace kvr
