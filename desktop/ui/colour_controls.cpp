#include "ui/colour_controls.h"

#include <cmath>

#include "io/number_text.h"
#include "model/palette.h"
#include "pictures/matrix_picture.h"
#include "ui/control_states.h"
#include "ui/matrix_screen.h"

namespace kvr {

namespace {

// The work-folder picture and, when it fits, the screen: the end of every recolouring.
void Recolour(RunState& state, WindowView& shown, Window& window, const std::string& workFolder,
              ViewPlace place = ViewPlace::Corner) {
    WriteMatrixPicture(state, workFolder);
    if (state.FitsOnScreen()) DrawMatrixOnScreen(state, shown, window, place);
}

void Finish(const RunState& state, const WindowView& shown, Window& window) {
    ApplyControlStates(state, shown, window);
    window.SetCaption(Control::lblProgress, "Done");
    window.SetBusy(false);
}

// A cut-off taken, shown on its label and the matrix coloured by it. The user chose the pair on
// display, raised or not: the next analysis starts from it.
void TakeCutoffs(RunState& state, WindowView& shown, Window& window, const std::string& workFolder,
                 Control label, float value) {
    state.choices.chosenCutoff1 = state.cutoff1;
    state.choices.chosenCutoff2 = state.cutoff2;
    window.SetCaption(label, PlainSingle(value));
    window.SetBusy(true);
    window.SetCaption(Control::lblProgress, "Displaying the matrix ...");
    Recolour(state, shown, window, workFolder);
    Finish(state, shown, window);
}

}  // namespace

void OnColourSchemeClicked(RunState& state, WindowView& shown, Window& window,
                           const std::string& workFolder) {
    window.SetCaption(Control::lblProgress, "Redrawing the matrix ...");
    window.SetBusy(true);
    const bool toThreeColour = state.choices.ColourMode == kFullColour;
    window.SetCaption(Control::cmdColourScheme,
                      toThreeColour ? kToFullColourCaption : kToThreeColourCaption);
    state.choices.ColourMode = toThreeColour ? kThreeColour : kFullColour;
    Recolour(state, shown, window, workFolder);
    Finish(state, shown, window);
}

void OnCutoff1Changed(RunState& state, WindowView& shown, Window& window,
                      const std::string& workFolder) {
    if (!shown.ShowsAnalysis()) return;
    const int s1 = window.Value(Control::updCutoff1);
    const int s2 = window.Value(Control::UpdCutoff2);
    if (s1 < s2) {
        window.ShowMessage("The value of cut-off1 cannot be less than the value of cut-off2 " +
                           ShortSignedText(state.cutoff2));
        window.SetValue(Control::updCutoff1, s1 + 1);  // runs this handler again
        return;
    }
    state.cutoff1 = static_cast<float>(s1);
    TakeCutoffs(state, shown, window, workFolder, Control::lblCutoff1dsply, state.cutoff1);
}

void OnCutoff2Changed(RunState& state, WindowView& shown, Window& window,
                      const std::string& workFolder) {
    if (!shown.ShowsAnalysis()) return;
    const int s2 = window.Value(Control::UpdCutoff2);
    if (state.minIdentity * 100 > s2) {
        const double lowest = NumberValue(FormatDecimals(state.minIdentity * 100, 2));
        window.ShowMessage(
            "The value of cut-off2 cannot be less than the minimun pairwise identity score " +
            ShortSignedText(lowest) + "%");
        window.SetValue(Control::UpdCutoff2, s2 + 1);  // runs this handler again
        return;
    }
    const int s1 = window.Value(Control::updCutoff1);
    if (s2 > s1) {
        window.ShowMessage("The value of cut-off2 cannot be greater than the value of cut-off1 " +
                           ShortSignedText(state.cutoff1));
        window.SetValue(Control::UpdCutoff2, s1);  // runs this handler again; then on with it
    }
    state.cutoff2 = static_cast<float>(window.Value(Control::UpdCutoff2));
    TakeCutoffs(state, shown, window, workFolder, Control::lblCutoff2dsply, state.cutoff2);
}

void OnShowTreeClicked(RunState& state, WindowView& shown, Window& window,
                       const std::string& workFolder) {
    state.choices.showTree = !state.choices.showTree;
    window.SetChecked(Control::mnuShowTree, state.choices.showTree);
    if (!shown.ShowsAnalysis() || shown.view != AnalysisView::Matrix) return;
    window.SetBusy(true);
    Recolour(state, shown, window, workFolder, ViewPlace::Kept);
    Finish(state, shown, window);
}

void OnViridisClicked(RunState& state, WindowView& shown, Window& window,
                      const std::string& workFolder) {
    state.choices.paletteKind =
        state.choices.paletteKind == kViridisPalette ? kRainbowPalette : kViridisPalette;
    window.SetChecked(Control::mnuViridis, state.choices.paletteKind == kViridisPalette);
    if (!shown.ShowsAnalysis() || shown.view != AnalysisView::Matrix) return;
    window.SetCaption(Control::lblProgress, "Redrawing the matrix ...");
    window.SetBusy(true);
    Recolour(state, shown, window, workFolder);
    Finish(state, shown, window);
}

void OnDrawMatrixClicked(RunState& state, WindowView& shown, Window& window,
                         const std::string& workFolder) {
    shown.view = AnalysisView::Matrix;
    if (!state.FitsOnScreen()) {
        ApplyControlStates(state, shown, window);
        window.ShowMessage(kLargeMatrixMessage);
        return;
    }
    window.SetCaption(Control::lblProgress, "Drawing the matrix ...");
    window.SetBusy(true);
    Recolour(state, shown, window, workFolder, ViewPlace::Opening);  // back from the plot
    Finish(state, shown, window);
}

void ShowCutoffs(const RunState& state, Window& window) {
    window.SetCaption(Control::lblCutoff1dsply, PlainSingle(state.cutoff1));
    window.SetCaption(Control::lblCutoff2dsply, PlainSingle(state.cutoff2));
    window.SetValue(Control::updCutoff1, static_cast<int>(std::nearbyint(state.cutoff1)));
    window.SetValue(Control::UpdCutoff2, static_cast<int>(std::nearbyint(state.cutoff2)));
}

}  // namespace kvr
