// Where the main window's controls go for a given window size (twips): the viewport takes the
// width less 750 and the height less 2500, the buttons scale with the width.
#pragma once

#include "platform/window.h"

namespace kvr {

// Lays out every control of the main window from its outer size. At start-up the vertical
// scroll bar's top is 0.035 of the window height; on a resize it is the viewport's top.
void LayOutMainWindow(Window& window, bool atStartUp = false);

// The least window size at which every control is inside the window, the cut-off arrows
// included, and the viewport keeps room for a picture.
Size MinimumMainWindowSize();

}  // namespace kvr
