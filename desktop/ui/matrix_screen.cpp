#include "ui/matrix_screen.h"

#include <algorithm>
#include <memory>

#include "model/group_frames.h"
#include "model/table_names.h"
#include "pictures/matrix_canvas.h"
#include "pictures/row_tree.h"
#include "ui/zoom.h"

namespace kvr {

namespace {

RegionDrawing Drawer(std::shared_ptr<const MatrixDrawing> drawing) {
    return [drawing = std::move(drawing)](DrawingSurface& s, const SurfaceBox& region) {
        drawing->Draw(s, region);
    };
}

bool Within(double size, double room) {
    return size <= room + 1;  // a twip for the rounding of the viewport's size
}

// The key of a view whose key beside the triangle is out of sight (none: hidden) on a strip of
// its own down the whole of the viewport's right side: the key's panel at the top, white below
// it, an edge on its left.
void ShowKeyStrip(Window& window, const std::shared_ptr<const MatrixDrawing>& view,
                  const Rect& viewport) {
    if (!view) {
        window.SetVisible(Control::keyPicture, false);
        return;
    }
    const Size panel = view->KeyPanelSize();
    const int width = static_cast<int>(panel.width);
    const int height = std::max(static_cast<int>(panel.height), static_cast<int>(viewport.height));
    window.SetPanelDrawing(Control::keyPicture, width, height,
                           [view, width, height](DrawingSurface& s, const SurfaceBox&) {
                               s.FillRect(0, 0, width, height, kWhite);
                               s.Line(0, 0, 0, height, kBlack);
                               view->DrawKeyPanel(s);
                           });
    window.SetGeometry(Control::keyPicture,
                       Rect{viewport.width - width, 0, double(width), double(height)});
    window.SetVisible(Control::keyPicture, true);
}

}  // namespace

bool HasSelection(const RunState& state, const WindowView& shown) {
    return shown.selectedRow >= 0 && shown.selectedRow < state.seqCount &&
           shown.selectedColumn >= 0 && shown.selectedColumn <= shown.selectedRow;
}

void MarkSelection(const RunState& state, const WindowView& shown, Window& window) {
    const CellGrid& grid = shown.drawnCells;
    if (!HasSelection(state, shown) || grid.cellWidth <= 0) {
        window.SetViewMarks({});
        return;
    }
    const int i = shown.selectedColumn, j = shown.selectedRow;
    const int A = grid.cellWidth, B = grid.cellHeight;
    const int left = static_cast<int>(grid.left);
    // The row from its name to the diagonal, the column from the diagonal to its turned name.
    window.SetViewMarks({{0, B * j, left + A * (j + 1), B * (j + 1)},
                         {left + A * i, B * i, left + A * (i + 1), B * grid.count + left}});
}

void ShowEmptyView(Window& window) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    const int width = std::max(15, static_cast<int>(viewport.width));
    const int height = std::max(15, static_cast<int>(viewport.height));
    DrawingSurface& canvas = window.Canvas(Control::InnerPicture);
    canvas.Resize(width, height);
    const TextExtent hint = canvas.MeasureText(kEmptyViewHint, TextTurn::Upright);
    canvas.Text(std::max(0, (width - hint.along) / 2), std::max(0, (height - hint.across) / 2),
                kEmptyViewHint);
    ShowCanvasAtSize(window, width, height, false);
    window.SetViewMarks({});
    window.SetVisible(Control::keyPicture, false);
}

void DrawMatrixOnScreen(const RunState& state, WindowView& shown, Window& window, ViewPlace place) {
    const Rect viewport = window.Geometry(Control::OuterPicture);
    const Size room{viewport.width, viewport.height};
    const Rect before = window.Geometry(Control::ZoomingPicture);
    const DrawingSurface& fonts = window.Canvas(Control::InnerPicture);
    if (place == ViewPlace::Opening) shown.zoomLevel = OpeningZoomLevel(state, fonts, room);
    // Laid out and coloured once; the window draws them by regions as they are shown, long after
    // this analysis may have been replaced.
    // The groups at the first cut-off (complete linkage, as "Save groups..." writes them) framed
    // over their cells, worked out from the analysis on display at each drawing.
    // The tree beside the names when the View menu shows it.
    std::shared_ptr<const TreeShape> tree = ShownTree(state);
    const bool withTree = tree != nullptr;
    const auto picture = std::make_shared<const MatrixDrawing>(
        state, fonts, room, ScreenChoice{},
        AnalysisGroupBlocks(state, InputOrder(state).names, state.cutoff1, Linkage::Complete),
        std::move(tree));
    window.SetCanvasDrawing(picture->Width(), picture->Height(), Drawer(picture));

    const ScreenCells cells = CellsAtZoom(state.seqCount, shown.zoomLevel);
    const Size withKey = MatrixCanvasSize(state, fonts, room, ScreenChoice{cells, true}, withTree);
    const bool keyBeside = Within(withKey.width, room.width) && Within(withKey.height, room.height);
    auto view = picture;
    double strip = 0;  // the pinned key's, off the viewport's right side
    if (shown.zoomLevel != 0 || !keyBeside) {
        view = std::make_shared<const MatrixDrawing>(
            picture->Relaid(state, fonts, room, ScreenChoice{cells, keyBeside}));
        if (!keyBeside) {
            strip = view->KeyPanelSize().width;
            view = std::make_shared<const MatrixDrawing>(picture->Relaid(
                state, fonts, Size{room.width - strip, room.height}, ScreenChoice{cells, false}));
        }
    }
    const int width = view->Width(), height = view->Height();
    window.ShowDrawingInView(width, height, Drawer(view));
    window.SetVisible(Control::InnerPicture, false);

    shown.drawnCells = view->Cells();
    shown.drawnCells.names = view->Layout().names;
    shown.drawnCells.canZoomIn = cells.width < kLargestCell;
    const bool allInSight = Within(width, room.width - strip) && Within(height, room.height);
    shown.drawnCells.canZoomOut =
        !allInSight && NextZoomLevel(state.seqCount, shown.zoomLevel, -1) != shown.zoomLevel;
    window.SetEnabled(Control::cmdZoomIn, shown.drawnCells.canZoomIn);
    window.SetEnabled(Control::cmdZoomOut, shown.drawnCells.canZoomOut);

    ShowKeyStrip(window, keyBeside ? nullptr : view, viewport);
    // The names column, frozen when the cells scroll sideways: the view's own drawing, as far as
    // the cells' left edge, over the rows; long names are cut at half the room, so that the cells
    // keep the other half.
    const CellGrid& grid = shown.drawnCells;
    const int namesWidth = static_cast<int>(std::min(grid.left, (room.width - strip) / 2));
    const int rowsHeight = grid.cellHeight * grid.count;
    if (grid.names)
        window.SetPanelDrawing(Control::namesPicture, namesWidth, rowsHeight, Drawer(view));
    window.SetGeometry(Control::namesPicture,
                       grid.names ? Rect{0, 0, double(namesWidth), double(rowsHeight)} : Rect{});

    window.SetGeometry(Control::ZoomingPicture, Rect{0, 0, double(width), double(height)});
    OnZoomingPictureResized(window);
    if (place == ViewPlace::Kept)
        ScrollViewTo(window, -before.left, -before.top);
    else
        ScrollViewTo(window, 0, 0);
    MarkSelection(state, shown, window);
}

}  // namespace kvr
