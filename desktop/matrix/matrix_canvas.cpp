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

// Positions are worked out in fractions of a twip; the surface takes whole twips.
int Twips(double t) {
    return static_cast<int>(std::nearbyint(t));
}

int NameSpace(const RunState& state) {
    return state.maxNameLen * 90;
}  // L

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
            s.Text(Twips(x2 + 300), Twips(y), PrintedWhole(box.value));
        }
        y += h;
    }
}

}  // namespace

ScreenCells ScreenCellsFor(int n) {
    if (n <= 10) return {400, 380, 1255};
    if (n <= 20) return {370, 350, 800};
    if (n <= 30) return {320, 300, 3255};
    return {220, 200, 4255};
}

Size MatrixCanvasSize(const RunState& state, Size viewport) {
    const int n = state.seqCount;
    const ScreenCells cells = ScreenCellsFor(n);
    const int names = NameSpace(state);
    const double height = std::max(n * cells.height + names + 150, kMinCanvasHeight);
    const double width =
        std::max(n * cells.width + names + 150 + 150 + kKeyWidth + 150, kMinCanvasWidth);
    return {std::max(width, viewport.width), std::max(height, viewport.height)};
}

void DrawMatrixCanvas(const RunState& state, DrawingSurface& canvas, Size viewport) {
    const int n = state.seqCount;
    const ScreenCells cells = ScreenCellsFor(n);
    const int A = cells.width, B = cells.height;
    const int L = NameSpace(state);
    const int R = n * A + L + 150;  // right edge of the triangle
    const Size size = MatrixCanvasSize(state, viewport);
    canvas.Resize(Twips(size.width), Twips(size.height));
    const double H = canvas.Height();

    for (int i = 0; i < n; ++i) {
        const int x1 = L + 150 + A * i;
        for (int j = i; j < n; ++j) {
            const int y1 = B * j;
            OutlinedFill(canvas, x1, y1, x1 + A, y1 + B,
                         state.Palette[CellColourIndex(state, state.IdentityMatrix(i, j))]);
        }
    }

    for (int i = 0; i < n; ++i) {
        const std::string name = DisplayName(state.SequenceList[i]);
        canvas.Text(0, B * i + (B - kTextHeight) / 2, name);
        canvas.RotatedText(L + A * i + A / 2, n * B + L + 75, name);
    }

    double titleX, titleY, keyX, keyY;
    if (n >= 20) {
        titleX = R - 450;
        titleY = (H - L - cells.keyOffset) / 2 - 400;
        keyX = R + 300;
        keyY = (H - L - cells.keyOffset) / 2;
    } else {
        titleX = R;
        titleY = n * B / 2.0;
        keyX = R + 600;
        keyY = n * B / 2.0 + 300;
    }
    canvas.Text(Twips(titleX), Twips(std::max(titleY, 0.0)), kKeyTitle);
    DrawKeyBoxes(state, canvas, keyX, keyY);
}

void DrawKeyPanel(const RunState& state, DrawingSurface& panel, Size panelSize) {
    panel.Resize(Twips(panelSize.width), Twips(panelSize.height));
    panel.Text(250, 250, kKeyTitle);
    DrawKeyBoxes(state, panel, 530, 530);
}

}  // namespace kvr
