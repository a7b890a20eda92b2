#include "pictures/matrix_canvas.h"

#include <algorithm>
#include <cmath>

#include "io/number_text.h"
#include "io/text.h"
#include "model/palette.h"
#include "pictures/colour_key.h"
#include "pictures/group_outlines.h"
#include "pictures/row_tree.h"

namespace kvr {

namespace {

constexpr int kKeyWidth = 975;  // W
constexpr int kMinCanvasWidth = 3500;
constexpr int kMinCanvasHeight = 3100;
constexpr int kTextHeight = 200;  // the row names are centred assuming this height
constexpr int kEdge = 150;        // room kept between the triangle and the names or the key
constexpr int kKeyEdge = 60;      // the least room between the key and the canvas's edges

// Beyond the screen's 500 sequences the cells shrink so that the triangle stays about as wide as
// 500 cells, never below two pixels; below six pixels an outline would hide the colour.
constexpr int kLargeTriangle = 500 * 220;
constexpr int kMinCell = 2 * 15;
constexpr int kMinOutlinedCell = 6 * 15;
constexpr int kPixel = 15;
// The frames of outlined groups: two pixels wide, one where cells are smaller than eight.
constexpr int kWideOutlineCell = 8 * 15;

// The tree beside the names: 150 pixels wide whatever the zoom, its root a pixel inside the edge.
constexpr int kTreeWidth = 150 * 15;
constexpr int kTreeRoom = kPixel + kTreeWidth + kEdge;

// Positions are worked out in fractions of a twip; the surface takes whole twips.
int Twips(double t) {
    return static_cast<int>(std::nearbyint(t));
}

std::string DisplayName(const Record& record) {
    return ReplaceAll(record.name, ">", "");
}

// Fill and four black edges, as the screen draws boxes.
void OutlinedFill(DrawingSurface& s, double x1, double y1, double x2, double y2, Rgb fill) {
    const int l = Twips(x1), t = Twips(y1), r = Twips(x2), b = Twips(y2);
    s.FillRect(l, t, r, b, fill);
    s.Line(l, t, r, t, kBlack);
    s.Line(l, t, l, b, kBlack);
    s.Line(r, t, r, b, kBlack);
    s.Line(l, b, r, b, kBlack);
}

// Key box width and height by the number of sequences.
void KeyBoxSize(int n, double& w, int& h) {
    if (n <= 30) {
        w = kKeyWidth / 6.0;
        h = 108;  // round-half-even(975 / 9)
    } else {
        w = kKeyWidth / 4.0;
        h = 139;  // round-half-even(975 / 7)
    }
}

// The key's texts and how far right and down they reach: the title, a label beside every odd
// box, and under the boxes the note on names left out.
struct KeyTexts {
    double right = 0, bottom = 0;
};

KeyTexts KeyReach(const std::array<KeyBox, kKeyBoxCount>& boxes, const DrawingSurface& s,
                  const CanvasLayout& at) {
    double w = 0;
    int h = 0;
    KeyBoxSize(at.n, w, h);
    const double labelX = at.keyX + w + 300;
    KeyTexts reach;
    const TextExtent title = s.MeasureText(kKeyTitle, TextTurn::Upright);
    reach.right = std::max(at.titleX + title.along, at.keyX + w + 290);
    reach.bottom = std::max(at.titleY, 0.0) + title.across;
    const double boxesBottom = Twips(at.keyY) + kKeyBoxCount * h;
    for (const KeyBox& box : boxes)
        if (box.Labelled())
            reach.right =
                std::max(reach.right, labelX + s.MeasureText(box.label, TextTurn::Upright).along);
    reach.bottom = std::max(reach.bottom, boxesBottom);
    if (!at.names) {
        const TextExtent note = s.MeasureText(kNamesLeftOut, TextTurn::Upright);
        reach.right = std::max(reach.right, at.keyX + note.along);
        reach.bottom = std::max(reach.bottom, boxesBottom + h + note.across);
    }
    return reach;
}

// The left edge of the cells.
int CellsLeft(const CanvasLayout& at) {
    return at.T + at.L + kEdge;
}

CanvasLayout LayOut(const RunState& state, const std::array<KeyBox, kKeyBoxCount>& key,
                    const DrawingSurface& s, Size viewport, const ScreenChoice& choice, bool tree) {
    CanvasLayout at;
    at.n = state.seqCount;
    at.T = tree ? kTreeRoom : 0;
    at.cells = choice.cells ? *choice.cells : ScreenCellsFor(at.n);
    at.keyShown = choice.key;
    const int A = at.cells.width, B = at.cells.height;
    // A row needs the height of a line of text to carry its name.
    at.names = B >= std::max(kTextHeight, s.MeasureText("Ay", TextTurn::Upright).across);
    if (at.names) {
        at.L = state.maxNameLen * 90;
        // Names of wide letters may need more than 90 twips a character: they must end two
        // pixels short of the cells, which start 150 twips right of L and 75 above the turned
        // names' start.
        for (const Record& record : state.SequenceList) {
            const std::string name = DisplayName(record);
            at.L = std::max({at.L, s.MeasureText(name, TextTurn::Upright).along - 120,
                             s.MeasureText(name, TextTurn::Rotated).along - 45});
        }
    }
    const int n = at.n, L = at.L;
    at.R = n * A + CellsLeft(at);
    double H = std::max(n * B + L + kEdge, kMinCanvasHeight);
    double W =
        at.keyShown ? std::max(at.R + kEdge + kKeyWidth + kEdge, kMinCanvasWidth) : at.R + kEdge;
    if (!at.keyShown) H = n * B + L + kEdge;
    H = std::max(H, viewport.height);
    W = std::max(W, viewport.width);
    if (!at.keyShown) {
        at.width = W;
        at.height = H;
        return at;
    }
    const double h = Twips(H);  // the canvas height as the surface will have it
    if (n >= 20) {
        at.titleX = at.R - 450;
        at.titleY = (h - L - at.cells.keyOffset) / 2 - 400;
        at.keyX = at.R + 300;
        at.keyY = (h - L - at.cells.keyOffset) / 2;
    } else {
        at.titleX = at.R;
        at.titleY = n * B / 2.0;
        at.keyX = at.R + 600;
        at.keyY = n * B / 2.0 + 300;
    }
    // The canvas holds its whole key, however long the names made the triangle.
    const KeyTexts reach = KeyReach(key, s, at);
    at.key = {Twips(std::min(at.titleX, at.keyX)),
              Twips(std::min(std::max(at.titleY, 0.0), at.keyY)),
              static_cast<int>(std::ceil(reach.right)) + kPixel,
              static_cast<int>(std::ceil(reach.bottom)) + kPixel};
    at.width = std::max(W, std::ceil(reach.right) + kKeyEdge);
    at.height = std::max(H, std::ceil(reach.bottom) + kKeyEdge);
    return at;
}

// The 22 boxes with ticks and labels, the first box's top-left at (x1, y1).
void DrawKeyBoxes(const std::array<KeyBox, kKeyBoxCount>& boxes, int n, DrawingSurface& s,
                  double x1, double y1) {
    double w = 0;
    int h = 0;
    KeyBoxSize(n, w, h);
    const double x2 = x1 + w;
    double y = Twips(y1);  // whole twips from here, so that every box is h high
    for (const KeyBox& box : boxes) {
        OutlinedFill(s, x1, y, x2 + 200, y + h, box.colour);
        if (box.Labelled()) {
            const double tickY = y + h / 2.0;
            s.FillRect(Twips(x2 + 200), Twips(tickY), Twips(x2 + 290), Twips(tickY + 15), kBlack);
            s.Text(Twips(x2 + 300), Twips(y), box.label);
        }
        y += h;
    }
}

// Whole cells before a twip position, rounded towards minus infinity.
int CellsBefore(int twips, int cell) {
    return twips >= 0 ? twips / cell : -((-twips + cell - 1) / cell);
}

}  // namespace

ScreenCells ScreenCellsFor(int n) {
    if (n <= 10) return {400, 380, 1255};
    if (n <= 20) return {370, 350, 800};
    if (n <= 30) return {320, 300, 3255};
    if (n <= 500) return {220, 200, 4255};
    const int side = std::max(kMinCell, kLargeTriangle / n / 15 * 15);  // whole pixels
    return {side, side, 4255};
}

MatrixDrawing::MatrixDrawing(const RunState& state, const DrawingSurface& fonts, Size viewport,
                             const ScreenChoice& choice, std::vector<CellBlock> outlined,
                             std::shared_ptr<const TreeShape> tree)
    : palette_(PaletteOf(state)),
      key_(ColourKeyBoxes(state)),
      outlined_(std::move(outlined)),
      tree_(std::move(tree)) {
    at_ = LayOut(state, key_, fonts, viewport, choice, tree_ != nullptr);
    LayOutPanel(fonts);
    const int n = at_.n;
    auto colours =
        std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(n) * (n + 1) / 2);
    std::size_t k = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i <= j; ++i)
            (*colours)[k++] =
                static_cast<std::uint8_t>(CellColourIndex(state, state.IdentityMatrix(i, j)));
    colours_ = std::move(colours);
    names_.reserve(static_cast<std::size_t>(n));
    for (const Record& record : state.SequenceList) names_.push_back(DisplayName(record));
}

MatrixDrawing MatrixDrawing::Relaid(const RunState& state, const DrawingSurface& fonts,
                                    Size viewport, const ScreenChoice& choice) const {
    MatrixDrawing other = *this;
    other.at_ = LayOut(state, key_, fonts, viewport, choice, tree_ != nullptr);
    other.LayOutPanel(fonts);
    return other;
}

int MatrixDrawing::Width() const {
    return Twips(at_.width);
}

int MatrixDrawing::Height() const {
    return Twips(at_.height);
}

// Columns i0..i1 of rows j0..j1 (the triangle's part of them): one fill for every run of equal
// colour along a row, each colour's runs together, then the outlines as the grid's lines when
// the cells are large enough to show them.
void MatrixDrawing::DrawCells(DrawingSurface& s, int i0, int i1, int j0, int j1) const {
    const int A = at_.cells.width, B = at_.cells.height;
    const int left = CellsLeft(at_);
    std::array<std::vector<SurfaceBox>, kPaletteSize> runs;
    std::vector<std::uint8_t> order;  // colours by their first run, so that the output is stable
    for (int j = j0; j <= j1; ++j) {
        const int last = std::min(i1, j);
        for (int i = i0; i <= last;) {
            const std::uint8_t colour = Colour(i, j);
            int end = i + 1;
            while (end <= last && Colour(end, j) == colour) ++end;
            // Both corners belong to a fill: the run ends a pixel before the next cell, so that
            // no two runs overlap.
            if (runs[colour].empty()) order.push_back(colour);
            runs[colour].push_back(
                {left + A * i, B * j, left + A * end - kPixel, B * (j + 1) - kPixel});
            i = end;
        }
    }
    for (const std::uint8_t colour : order) s.FillRects(runs[colour], palette_[colour]);
    if (A < kMinOutlinedCell) return;

    const int n = at_.n;
    for (int j = j0; j <= j1 + 1; ++j) {  // the top edge of row j, the bottom edge of row j - 1
        const int last = std::min({i1, j, n - 1});
        if (i0 <= last) s.Line(left + A * i0, B * j, left + A * (last + 1), B * j, kBlack);
    }
    for (int i = i0; i <= i1 + 1; ++i) {  // the left edge of column i, the right edge of i - 1
        const int first = std::max(j0, i > 0 ? i - 1 : 0);
        if (first <= j1) s.Line(left + A * i, B * first, left + A * i, B * (j1 + 1), kBlack);
    }
}

// The names of rows j0..j1 along the left, and those of columns i0..i1 turned below.
void MatrixDrawing::DrawNames(DrawingSurface& s, const SurfaceBox& region, int i0, int i1, int j0,
                              int j1) const {
    const int n = at_.n, A = at_.cells.width, B = at_.cells.height, L = at_.L, T = at_.T;
    if (region.left < CellsLeft(at_))
        for (int i = j0; i <= j1; ++i) s.Text(T, B * i + (B - kTextHeight) / 2, names_[i]);
    if (region.bottom > n * B)
        for (int i = i0; i <= i1; ++i)
            s.RotatedText(T + L + A * i + A / 2, n * B + L + 75, names_[i]);
}

void MatrixDrawing::DrawKey(DrawingSurface& s, const CanvasLayout& at) const {
    s.Text(Twips(at.titleX), Twips(std::max(at.titleY, 0.0)), kKeyTitle);
    DrawKeyBoxes(key_, at.n, s, at.keyX, at.keyY);
    if (!at.names) {
        double w = 0;
        int h = 0;
        KeyBoxSize(at.n, w, h);
        s.Text(Twips(at.keyX), Twips(at.keyY) + (kKeyBoxCount + 1) * h, kNamesLeftOut);
    }
}

void MatrixDrawing::LayOutPanel(const DrawingSurface& fonts) {
    panel_ = at_;
    panel_.titleX = kKeyEdge;
    panel_.titleY = kKeyEdge;
    panel_.keyX = kKeyEdge + kEdge;
    panel_.keyY = kKeyEdge + kTextHeight + 2 * kEdge;
    const KeyTexts reach = KeyReach(key_, fonts, panel_);
    panelSize_ = {std::ceil(reach.right) + kKeyEdge + kPixel,
                  std::ceil(reach.bottom) + kKeyEdge + kPixel};
}

Size MatrixDrawing::KeyPanelSize() const {
    return panelSize_;
}

void MatrixDrawing::DrawKeyPanel(DrawingSurface& s) const {
    OutlinedFill(s, 0, 0, panelSize_.width - kPixel, panelSize_.height - kPixel, kWhite);
    DrawKey(s, panel_);
}

// Every pixel of the region on the triangle takes the colour of the cell under its middle: a
// view of the whole of a large matrix costs a fill a pixel run, not one a cell.
void MatrixDrawing::DrawSampledCells(DrawingSurface& s, const SurfaceBox& region) const {
    const int n = at_.n, A = at_.cells.width, B = at_.cells.height;
    const int left = CellsLeft(at_);
    const int px0 = std::max(region.left, left) / kPixel;
    const int px1 = (std::min(region.right, left + n * A) - 1) / kPixel;
    const int py0 = std::max(region.top, 0) / kPixel;
    const int py1 = (std::min(region.bottom, n * B) - 1) / kPixel;
    std::array<std::vector<SurfaceBox>, kPaletteSize> runs;
    std::vector<std::uint8_t> order;
    const auto cellAt = [&](int px, int j) {
        const int x = px * kPixel + kPixel / 2 - left;
        const int i = x < 0 ? -1 : x / A;
        return i >= 0 && i <= j ? i : -1;
    };
    for (int py = py0; py <= py1; ++py) {
        const int j = (py * kPixel + kPixel / 2) / B;
        if (j >= n) break;
        for (int px = px0; px <= px1;) {
            const int i = cellAt(px, j);
            if (i < 0) {
                if (px * kPixel + kPixel / 2 - left >= 0) break;  // above the diagonal
                ++px;
                continue;
            }
            const std::uint8_t colour = Colour(i, j);
            int end = px + 1;
            while (end <= px1) {
                const int next = cellAt(end, j);
                if (next < 0 || Colour(next, j) != colour) break;
                ++end;
            }
            if (runs[colour].empty()) order.push_back(colour);
            runs[colour].push_back({px * kPixel, py * kPixel, (end - 1) * kPixel, py * kPixel});
            px = end;
        }
    }
    for (const std::uint8_t colour : order) s.FillRects(runs[colour], palette_[colour]);
}

void MatrixDrawing::Draw(DrawingSurface& surface, const SurfaceBox& region) const {
    const int n = at_.n, A = at_.cells.width, B = at_.cells.height;
    const int left = CellsLeft(at_);
    if (tree_ && region.left < at_.T)
        DrawRowTree(surface, *tree_, {kPixel, kTreeWidth, 0, B}, region);
    // A cell's fill and lines reach a pixel beyond its corner: one more cell each way.
    const int j0 = std::max(0, CellsBefore(region.top, B) - 1);
    if (A < kPixel || B < kPixel) {
        DrawSampledCells(surface, region);
        if (at_.keyShown && region.Overlaps(at_.key)) DrawKey(surface, at_);
        return;
    }
    const int j1 = std::min(n - 1, CellsBefore(region.bottom, B) + 1);
    const int i0 = std::max(0, CellsBefore(region.left - left, A) - 1);
    const int i1 = std::min(n - 1, CellsBefore(region.right - left, A) + 1);
    if (j0 <= j1 && i0 <= i1 && i0 <= j1) DrawCells(surface, i0, i1, std::max(j0, i0), j1);
    if (!outlined_.empty())
        DrawGroupOutlines(surface, outlined_,
                          {left, A, B, kPixel, std::min(A, B) >= kWideOutlineCell ? 2 : 1}, region);
    if (at_.names) {
        // Turned names reach a line's height right of their column's middle.
        const int nameI0 = std::max(0, CellsBefore(region.left - left, A) - 1);
        DrawNames(surface, region, nameI0, i1, j0, j1);
    }
    if (at_.keyShown && region.Overlaps(at_.key)) DrawKey(surface, at_);
}

void MatrixDrawing::DrawWhole(DrawingSurface& canvas) const {
    canvas.Resize(Width(), Height());
    Draw(canvas, {0, 0, Width(), Height()});
}

Size MatrixCanvasSize(const RunState& state, const DrawingSurface& canvas, Size viewport,
                      const ScreenChoice& choice, bool tree) {
    const CanvasLayout at = LayOut(state, ColourKeyBoxes(state), canvas, viewport, choice, tree);
    return {at.width, at.height};
}

void DrawMatrixCanvas(const RunState& state, DrawingSurface& canvas, Size viewport,
                      std::vector<CellBlock> outlined, std::shared_ptr<const TreeShape> tree) {
    MatrixDrawing(state, canvas, viewport, {}, std::move(outlined), std::move(tree))
        .DrawWhole(canvas);
}

CellGrid MatrixDrawing::Cells() const {
    return {static_cast<double>(CellsLeft(at_)), at_.cells.width, at_.cells.height, at_.n};
}

std::optional<MatrixCell> MatrixCellAt(const CellGrid& grid, double x, double y) {
    if (grid.cellWidth <= 0 || grid.cellHeight <= 0 || x < grid.left || y < 0) return std::nullopt;
    const int column = static_cast<int>((x - grid.left) / grid.cellWidth);
    const int row = static_cast<int>(y / grid.cellHeight);
    if (row >= grid.count || column > row) return std::nullopt;
    return MatrixCell{column, row};
}

}  // namespace kvr
