// The window's own state of the analysis on display: what the window is doing, which view it
// shows, the zoom, the selected cell, and where it last drew the cells and the plot. It belongs to
// the window, not to an analysis: each analysis put on display starts a fresh view of it.
#pragma once

#include "pictures/matrix_canvas.h"
#include "platform/drawing_surface.h"

namespace kvr {

// What the window is doing. Every control's enabled state follows from it (ApplyControlStates).
enum class WindowState {
    Idle,         // nothing on display: only opening, dropping and leaving
    Busy,         // a file is read or written: only leaving
    AwaitingRun,  // the next analysis's sequences are loaded and the options window is open
    Running,      // a run works: only leaving and cancelling
    Analysis,     // an analysis is on display (drawn only when it fits on screen)
};

// What the analysis on display shows.
enum class AnalysisView { Matrix, Plot };

struct WindowView {
    WindowState windowState = WindowState::Idle;
    AnalysisView view = AnalysisView::Matrix;
    int zoomLevel = 0;
    // The cell the user selected (a click, Find), by its column and row in display order; -1 when
    // none. Its row and column are marked on the view.
    int selectedColumn = -1;
    int selectedRow = -1;
    // The matrix's cells as last drawn; none until it is drawn.
    CellGrid drawnCells;
    // The size (twips) the plot on screen was last drawn at: its saved pictures keep it.
    SurfaceBox shownPlot;  // from 0, 0

    bool ShowsAnalysis() const { return windowState == WindowState::Analysis; }
    // Another analysis is put on display: nothing of the last one's view stays but what the
    // window is doing.
    void NewAnalysis() {
        WindowView fresh;
        fresh.windowState = windowState;
        *this = fresh;
    }
};

}  // namespace kvr
