// Drawing the matrix on screen: the full-size canvas InnerPicture, the key panel keyPicture, and
// the view ZoomingPicture at 1:1 or at the present zoom.
#pragma once

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// The largest matrix drawn on screen; larger ones are only written to files.
inline constexpr int kMaxScreenSequences = 500;
inline bool FitsOnScreen(const RunState& state) {
    return state.seqCount <= kMaxScreenSequences;
}

// The six cut-off controls: enabled exactly while three colour mode is on screen.
void SetCutoffControlsEnabled(Window& window, bool enabled);

// Draws the current matrix under the current ColourMode (Palette built by the caller) into the
// canvas and the key panel and shows it: 1:1 at zoom level 0, else stretched into the present
// view. Sets the zoom, scroll, colour scheme, cut-off and matrix menu controls. Callers check
// FitsOnScreen first.
void DrawMatrixOnScreen(RunState& state, Window& window);

}  // namespace kvr
