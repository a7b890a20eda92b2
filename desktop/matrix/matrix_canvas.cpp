#include "matrix/matrix_canvas.h"

#include <algorithm>
#include <cmath>

#include "matrix/colour_key.h"
#include "matrix/palette.h"
#include "state/number_text.h"
#include "state/text.h"

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

// Where one drawing's parts go. Everything the canvas size needs is known before drawing.
struct CanvasLayout {
    int n = 0;
    ScreenCells cells{};
    bool names = true;  // false: too small to be read, left out (the key says so)
    int L = 0;          // room for the names, left of the cells and below them
    int R = 0;          // right edge of the triangle
    double titleX = 0, titleY = 0, keyX = 0, keyY = 0;
    double width = 0, height = 0;
};

// The key's texts and how far right and down they reach: the title, a label beside every odd
// box, and under the boxes the note on names left out.
struct KeyTexts {
    double right = 0, bottom = 0;
};

KeyTexts KeyReach(const RunState& state, const DrawingSurface& s, const CanvasLayout& at) {
    double w = 0;
    int h = 0;
    KeyBoxSize(at.n, w, h);
    const double labelX = at.keyX + w + 300;
    KeyTexts reach;
    const TextExtent title = s.MeasureText(kKeyTitle, TextTurn::Upright);
    reach.right = std::max(at.titleX + title.along, at.keyX + w + 290);
    reach.bottom = std::max(at.titleY, 0.0) + title.across;
    const double boxesBottom = Twips(at.keyY) + kKeyBoxCount * h;
    for (const KeyBox& box : ColourKeyBoxes(state))
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

CanvasLayout LayOut(const RunState& state, const DrawingSurface& s, Size viewport) {
    CanvasLayout at;
    at.n = state.seqCount;
    at.cells = ScreenCellsFor(at.n);
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
    at.R = n * A + L + kEdge;
    double H = std::max(n * B + L + kEdge, kMinCanvasHeight);
    double W = std::max(n * A + L + kEdge + kEdge + kKeyWidth + kEdge, kMinCanvasWidth);
    H = std::max(H, viewport.height);
    W = std::max(W, viewport.width);
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
    const KeyTexts reach = KeyReach(state, s, at);
    at.width = std::max(W, std::ceil(reach.right) + kKeyEdge);
    at.height = std::max(H, std::ceil(reach.bottom) + kKeyEdge);
    return at;
}

// The 22 boxes with ticks and labels, the first box's top-left at (x1, y1).
void DrawKeyBoxes(const RunState& state, DrawingSurface& s, double x1, double y1) {
    double w = 0;
    int h = 0;
    KeyBoxSize(state.seqCount, w, h);
    const double x2 = x1 + w;
    double y = Twips(y1);  // whole twips from here, so that every box is h high
    for (const KeyBox& box : ColourKeyBoxes(state)) {
        OutlinedFill(s, x1, y, x2 + 200, y + h, box.colour);
        if (box.Labelled()) {
            const double tickY = y + h / 2.0;
            s.FillRect(Twips(x2 + 200), Twips(tickY), Twips(x2 + 290), Twips(tickY + 15), kBlack);
            s.Text(Twips(x2 + 300), Twips(y), box.label);
        }
        y += h;
    }
}

// Cells too small to outline: one fill for each run of equal colour along a row, so that a large
// matrix costs what its picture costs.
void DrawPlainCells(const RunState& state, DrawingSurface& canvas, const CanvasLayout& at) {
    const int A = at.cells.width, B = at.cells.height;
    const int left = at.L + kEdge;
    for (int j = 0; j < at.n; ++j) {
        int runStart = 0;
        int runIndex = CellColourIndex(state, state.IdentityMatrix(0, j));
        for (int i = 1; i <= j + 1; ++i) {
            const int index = i <= j ? CellColourIndex(state, state.IdentityMatrix(i, j)) : -1;
            if (index == runIndex) continue;
            // Both corners belong to a fill: the run ends a pixel before the next cell.
            canvas.FillRect(left + A * runStart, B * j, left + A * i - kPixel, B * (j + 1) - kPixel,
                            state.Palette[runIndex]);
            runStart = i;
            runIndex = index;
        }
    }
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

std::optional<MatrixCell> MatrixCellAt(const RunState& state, const DrawingSurface& canvas,
                                       double x, double y) {
    const CanvasLayout at = LayOut(state, canvas, Size{});  // cells do not move with the viewport
    const double left = at.L + kEdge;
    if (x < left || y < 0) return std::nullopt;
    const int column = static_cast<int>((x - left) / at.cells.width);
    const int row = static_cast<int>(y / at.cells.height);
    if (row >= at.n || column > row) return std::nullopt;
    return MatrixCell{column, row};
}

Size MatrixCanvasSize(const RunState& state, const DrawingSurface& canvas, Size viewport) {
    const CanvasLayout at = LayOut(state, canvas, viewport);
    return {at.width, at.height};
}

void DrawMatrixCanvas(const RunState& state, DrawingSurface& canvas, Size viewport) {
    const CanvasLayout at = LayOut(state, canvas, viewport);
    const int n = at.n;
    const int A = at.cells.width, B = at.cells.height;
    const int L = at.L;
    canvas.Resize(Twips(at.width), Twips(at.height));

    if (A >= kMinOutlinedCell) {
        for (int i = 0; i < n; ++i) {
            const int x1 = L + kEdge + A * i;
            for (int j = i; j < n; ++j) {
                const int y1 = B * j;
                OutlinedFill(canvas, x1, y1, x1 + A, y1 + B,
                             state.Palette[CellColourIndex(state, state.IdentityMatrix(i, j))]);
            }
        }
    } else {
        DrawPlainCells(state, canvas, at);
    }

    if (at.names) {
        for (int i = 0; i < n; ++i) {
            const std::string name = DisplayName(state.SequenceList[i]);
            canvas.Text(0, B * i + (B - kTextHeight) / 2, name);
            canvas.RotatedText(L + A * i + A / 2, n * B + L + 75, name);
        }
    }

    canvas.Text(Twips(at.titleX), Twips(std::max(at.titleY, 0.0)), kKeyTitle);
    DrawKeyBoxes(state, canvas, at.keyX, at.keyY);
    if (!at.names) {
        double w = 0;
        int h = 0;
        KeyBoxSize(n, w, h);
        canvas.Text(Twips(at.keyX), Twips(at.keyY) + (kKeyBoxCount + 1) * h, kNamesLeftOut);
    }
}

}  // namespace kvr
