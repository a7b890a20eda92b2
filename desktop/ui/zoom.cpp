#include "ui/zoom.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "pictures/row_tree.h"
#include "ui/matrix_screen.h"

namespace kvr {

namespace {

constexpr int kPixel = 15;
constexpr int kStepsPerOctave = 4;
constexpr int kLowestLevel = -60;  // cells of a twip are reached well before

// One direction of the scroll-bar rule.
void FitScrollBar(Window& window, Control bar, double viewSize, double viewportSize) {
    if (viewSize <= viewportSize) {
        window.SetEnabled(bar, false);
        return;
    }
    const float overhang = static_cast<float>(viewSize - viewportSize);
    window.SetMaximum(bar, static_cast<int>(std::nearbyint(overhang)));
    window.SetEnabled(bar, true);
    window.SetSmallChange(bar, 100);
}

// Whole pixels, or whole twips below a pixel; never below a twip.
int CellTwips(double twips) {
    if (twips >= kPixel) return static_cast<int>(std::nearbyint(twips / kPixel)) * kPixel;
    return std::max(1, static_cast<int>(std::nearbyint(twips)));
}

void SayZoom(const RunState& state, const WindowView& shown, Window& window) {
    const CellGrid& grid = shown.drawnCells;
    std::string text =
        "Zoom " + std::to_string(ZoomPercent(state.seqCount, shown.zoomLevel)) + " %";
    if (!grid.canZoomIn)
        text += ": the largest, cells of 40 pixels";
    else if (!grid.canZoomOut)
        text += ": the whole matrix is in view";
    if (!grid.names && grid.canZoomIn) text += " (zoom in to read the names)";
    window.SetCaption(Control::lblProgress, text);
}

bool Drawn(const WindowView& shown) {
    return shown.drawnCells.cellWidth > 0;
}

// The width the pinned key's strip takes off the viewport's right side.
double KeyStripWidth(const Window& window) {
    const Rect key = window.Geometry(Control::keyPicture);
    if (!window.IsVisible(Control::keyPicture) || key.width <= 0) return 0;
    return window.Geometry(Control::OuterPicture).width - key.left;
}

// The names stay at the viewport's left edge once the cells have scrolled sideways, at the rows'
// height as the view shows them.
void PlaceFrozenNames(Window& window, const Rect& view) {
    const bool shown = view.left < 0 && window.Geometry(Control::namesPicture).width > 0;
    if (shown) {
        Rect names = window.Geometry(Control::namesPicture);
        names.left = 0;
        names.top = view.top;
        window.SetGeometry(Control::namesPicture, names);
    }
    if (window.IsVisible(Control::namesPicture) != shown)
        window.SetVisible(Control::namesPicture, shown);
}

void MoveView(Window& window, double left, double top) {
    Rect view = window.Geometry(Control::ZoomingPicture);
    view.left = left;
    view.top = top;
    window.SetGeometry(Control::ZoomingPicture, view);
    PlaceFrozenNames(window, view);
}

// A zoom about the viewport's middle keeps to the cells: a middle in the blank upper triangle
// moves to the nearest point of the diagonal, one beside or below the triangle onto its edge.
ViewPoint OnTriangle(const CellGrid& grid, ViewPoint at) {
    if (grid.cellWidth <= 0 || grid.count <= 0) return at;
    const double n = grid.count;
    double column = std::clamp((at.x - grid.left) / grid.cellWidth, 0.0, n);
    double row = std::clamp(at.y / grid.cellHeight, 0.0, n);
    if (column > row) column = row = std::min((column + row) / 2, n);
    return {grid.left + column * grid.cellWidth, row * grid.cellHeight};
}

}  // namespace

ScreenCells CellsAtZoom(int n, int level) {
    const ScreenCells base = ScreenCellsFor(n);
    if (level == 0) return base;
    const double scale = std::exp2(static_cast<double>(level) / kStepsPerOctave);
    const int width = CellTwips(std::min<double>(base.width * scale, kLargestCell));
    const int height = CellTwips(static_cast<double>(width) * base.height / base.width);
    return {width, height, base.keyOffset};
}

int ZoomPercent(int n, int level) {
    const double ratio = static_cast<double>(CellsAtZoom(n, level).width) / ScreenCellsFor(n).width;
    return static_cast<int>(std::nearbyint(ratio * 100));
}

int NextZoomLevel(int n, int level, int direction) {
    const ScreenCells now = CellsAtZoom(n, level);
    for (int next = level + direction; next >= kLowestLevel && next <= -kLowestLevel;
         next += direction) {
        const ScreenCells cells = CellsAtZoom(n, next);
        if (cells.width != now.width || cells.height != now.height) return next;
    }
    return level;
}

int OpeningZoomLevel(const RunState& state, const DrawingSurface& fonts, Size viewport) {
    constexpr int kLeastReadableCell = 4 * kPixel;
    const ScreenCells own = CellsAtZoom(state.seqCount, 0);
    if (std::min(own.width, own.height) >= kLeastReadableCell) return 0;
    return std::min(0, FitZoomLevel(state, fonts, viewport));
}

int FitZoomLevel(const RunState& state, const DrawingSurface& fonts, Size viewport) {
    const int n = state.seqCount;
    const bool tree = ShownTree(state) != nullptr;
    const auto fits = [&](int level) {
        const Size size = MatrixCanvasSize(state, fonts, viewport,
                                           ScreenChoice{CellsAtZoom(n, level), false}, tree);
        return size.width <= viewport.width + 1 && size.height <= viewport.height + 1;
    };
    // The drawing grows with the level: the largest level that fits, by halving.
    int low = kLowestLevel, high = 0;
    while (CellsAtZoom(n, high).width < kLargestCell) high += kStepsPerOctave;
    if (fits(high)) return high;
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        (fits(middle) ? low : high) = middle;
    }
    return low;
}

void ShowZoomLevel(RunState& state, WindowView& shown, Window& window, int level,
                   std::optional<ViewPoint> anchor) {
    const Rect view = window.Geometry(Control::ZoomingPicture);
    const Rect viewport = window.Geometry(Control::OuterPicture);
    const CellGrid grid = shown.drawnCells;
    const double middleX = (viewport.width - KeyStripWidth(window)) / 2;
    const ViewPoint at =
        anchor ? *anchor : OnTriangle(grid, {middleX - view.left, viewport.height / 2 - view.top});
    // The anchor's place on the screen, and in cells, so that the same part of the matrix stays
    // there whatever the names' column does.
    const double screenX = anchor ? at.x + view.left : middleX;
    const double screenY = anchor ? at.y + view.top : viewport.height / 2;
    const double column = Drawn(shown) ? (at.x - grid.left) / grid.cellWidth : 0;
    const double row = Drawn(shown) ? at.y / grid.cellHeight : 0;
    shown.zoomLevel = level;
    DrawMatrixOnScreen(state, shown, window, ViewPlace::Kept);
    const CellGrid& now = shown.drawnCells;
    ScrollViewTo(window, now.left + column * now.cellWidth - screenX,
                 row * now.cellHeight - screenY);
    SayZoom(state, shown, window);
}

void OnZoomIn(RunState& state, WindowView& shown, Window& window, std::optional<ViewPoint> anchor) {
    if (!shown.drawnCells.canZoomIn) return;
    ShowZoomLevel(state, shown, window, NextZoomLevel(state.seqCount, shown.zoomLevel, +1), anchor);
}

void OnZoomOut(RunState& state, WindowView& shown, Window& window,
               std::optional<ViewPoint> anchor) {
    if (!shown.drawnCells.canZoomOut) return;
    ShowZoomLevel(state, shown, window, NextZoomLevel(state.seqCount, shown.zoomLevel, -1), anchor);
}

void OnZoomToFit(RunState& state, WindowView& shown, Window& window) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    const int level = FitZoomLevel(state, window.Canvas(Control::InnerPicture),
                                   Size{viewport.width, viewport.height});
    shown.zoomLevel = level;
    DrawMatrixOnScreen(state, shown, window, ViewPlace::Corner);
    SayZoom(state, shown, window);
}

void OnZoomTo100(RunState& state, WindowView& shown, Window& window) {
    ShowZoomLevel(state, shown, window, 0, std::nullopt);
}

void ShowCanvasAtSize(Window& window, double width, double height, bool stretch) {
    window.SetGeometry(Control::ZoomingPicture, Rect{0, 0, width, height});
    window.SetGeometry(Control::namesPicture, Rect{});  // no names to freeze
    window.SetVisible(Control::namesPicture, false);
    // The view is back in the corner; the scroll bars say so too.
    window.SetValue(Control::HScroll1, 0);
    window.SetValue(Control::VScroll1, 0);
    window.ShowCanvasInView(stretch);
    OnZoomingPictureResized(window);
}

void OnZoomingPictureResized(Window& window) {
    const Rect view = window.Geometry(Control::ZoomingPicture);
    const Rect viewport = window.Geometry(Control::OuterPicture);
    FitScrollBar(window, Control::VScroll1, view.height, viewport.height);
    FitScrollBar(window, Control::HScroll1, view.width, viewport.width - KeyStripWidth(window));
}

void ScrollViewTo(Window& window, double x, double y) {
    const auto reach = [&window](Control bar, double v) {
        if (!window.IsEnabled(bar)) return 0;
        return std::clamp(static_cast<int>(std::nearbyint(v)), 0, window.Maximum(bar));
    };
    const int h = reach(Control::HScroll1, x), v = reach(Control::VScroll1, y);
    window.SetValue(Control::HScroll1, h);
    window.SetValue(Control::VScroll1, v);
    MoveView(window, -h, -v);
}

void OnHorizontalScroll(Window& window) {
    MoveView(window, -window.Value(Control::HScroll1),
             window.Geometry(Control::ZoomingPicture).top);
}

void OnVerticalScroll(Window& window) {
    MoveView(window, window.Geometry(Control::ZoomingPicture).left,
             -window.Value(Control::VScroll1));
}

void OnPictureMouseDown(Window& window, bool rightButton) {
    if (!rightButton) return;
    if (window.IsEnabled(Control::mnuSavePlot)) window.PopUpMenu(Control::mnuSave);
    if (window.IsEnabled(Control::mnuSaveMatrix)) window.PopUpMenu(Control::mnuSave);
}

}  // namespace kvr
