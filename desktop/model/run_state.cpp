#include "model/run_state.h"

namespace kvr {

RunState ChoicesOf(const RunState& state) {
    RunState next;
    next.lastFolder = state.lastFolder;
    next.AlignerKind = state.AlignerKind;
    next.useTree = state.useTree;
    next.skipAmbiguous = state.skipAmbiguous;
    next.chosenCutoff1 = next.cutoff1 = state.chosenCutoff1;
    next.chosenCutoff2 = next.cutoff2 = state.chosenCutoff2;
    next.ColourMode = state.ColourMode;
    next.paletteKind = state.paletteKind;
    next.showTree = state.showTree;
    next.splitMin = state.splitMin;
    next.splitMax = state.splitMax;
    return next;
}

}  // namespace kvr
