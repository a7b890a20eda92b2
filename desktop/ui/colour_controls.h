// The matrix controls of the main window: the colour mode button, the two cut-off spin controls
// and the matrix button. Each checks its input, stores the new mode or threshold, rebuilds the
// palette, rewrites the work-folder picture and redraws the screen matrix when it fits.
#pragma once

#include <string>

#include "model/run_state.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

inline constexpr const char* kLargeMatrixMessage =
    "The program cannot disply very large matrix made from above 500 sequences. However you can "
    "save the matrix picture in EMF or BMP format and the identity scores using the save manu";

// Captions of cmdColourScheme: it names the mode it switches to.
inline constexpr const char* kToThreeColourCaption = "3 colour mode";
inline constexpr const char* kToFullColourCaption = "Full colour mode";

void OnColourSchemeClicked(RunState& state, WindowView& shown, Window& window,
                           const std::string& workFolder);

// Change handlers of updCutoff1 and UpdCutoff2; they act only while a matrix is shown. A refused
// value is corrected through the spin control, which runs the handler again.
void OnCutoff1Changed(RunState& state, WindowView& shown, Window& window,
                      const std::string& workFolder);
void OnCutoff2Changed(RunState& state, WindowView& shown, Window& window,
                      const std::string& workFolder);

// mnuViridis: full colour mode's steps switch between the rainbow and viridis; the matrix on
// display is coloured again.
void OnViridisClicked(RunState& state, WindowView& shown, Window& window,
                      const std::string& workFolder);

// mnuShowTree: the tree that ordered the analysis beside the names, or not, on screen and in the
// pictures the window saves; the view stays where it was.
void OnShowTreeClicked(RunState& state, WindowView& shown, Window& window,
                       const std::string& workFolder);

void OnDrawMatrixClicked(RunState& state, WindowView& shown, Window& window,
                         const std::string& workFolder);

// The cut-off labels and spin controls show the state's thresholds (a new analysis may have
// raised them to its smallest identity).
void ShowCutoffs(const RunState& state, Window& window);

}  // namespace kvr
